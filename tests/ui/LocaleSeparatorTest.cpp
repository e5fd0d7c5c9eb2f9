// Runs with a German locale in the environment: the decimal separator comes from it.
#include <QLineEdit>
#include <QtTest>

#include "DecimalSeparator.h"
#include "Duct.h"
#include "FailureReport.h"
#include "NumberText.h"
#include "TextGrid.h"

class LocaleSeparatorTest : public QObject {
  Q_OBJECT

private slots:
  void commaFromTheLocaleIsReadAndPointIsWritten() {
    ReadDecimalSeparator();
    QCOMPARE(gustrule::DecimalSeparator(), U',');
    SetFailurePresenter([](const QString&, const QString&) {});
    TQuellbornDuct window;
    // "183.7" no longer reads: the fallback 0.0001 l/s gives zero velocities.
    QCOMPARE(window.SGRoundDuct->Cell(1, 2), QStringLiteral("0.00"));
    window.EditRoundVolume->selectAll();
    QTest::keyClicks(window.EditRoundVolume, QStringLiteral("183,7"));
    QCOMPARE(window.SGRoundDuct->Cell(1, 2), QStringLiteral("36.55"));
    SetFailurePresenter({});
  }
};

QTEST_MAIN(LocaleSeparatorTest)
#include "LocaleSeparatorTest.moc"
