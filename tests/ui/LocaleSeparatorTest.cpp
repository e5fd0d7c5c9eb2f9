// Runs once with a "," locale and once with a "." locale in the environment (LC_ALL), with
// GUSTRULE_EXPECTED_SEPARATOR naming the separator that locale must give, so that a missing
// locale fails instead of quietly testing "." twice.
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "DecimalSeparator.h"
#include "Duct.h"
#include "FailureReport.h"
#include "NumberText.h"
#include "TextGrid.h"
#include "WindowTestSteps.h"

namespace {

QString Separator() {
  const char32_t separator = gustrule::DecimalSeparator();
  return QString::fromUcs4(&separator, 1);
}

// What a "." locale shows at start for 183.7 l/s, 1 m, spiral duct, 212 x 212 mm.
const QString kFirstRoundRow =
    QStringLiteral("80|36.55|222.5|222.5|804.0|578.9|176.9|451.5|138.0|347.3|106.1|260.5|79.6");
const QString kRectangularRow = QStringLiteral("233|4.09|1.0|1.0|10.1");

} // namespace

class LocaleSeparatorTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    ReadDecimalSeparator();
    QCOMPARE(Separator(), qEnvironmentVariable("GUSTRULE_EXPECTED_SEPARATOR"));
    SetFailurePresenter([](const QString&, const QString&) {});
  }
  void cleanupTestCase() { SetFailurePresenter({}); }

  void startTextsUseTheSeparatorAndGiveTheDesignedResults() {
    TQuellbornDuct window;
    const QString flow = QStringLiteral("183") + Separator() + QStringLiteral("7");
    QCOMPARE(window.EditRoundVolume->text(), flow);
    QCOMPARE(window.EditRectAirVol->text(), flow);
    QCOMPARE(window.EditVolConv->text(), flow);
    QCOMPARE(window.EditRoundLength->text(), QStringLiteral("1"));
    QCOMPARE(window.EditRectSideA->text(), QStringLiteral("212"));
    QCOMPARE(RowOf(window.SGRoundDuct, 2).join(u'|'), kFirstRoundRow);
    QCOMPARE(RowOf(window.SGRectDuct, 2).join(u'|'), kRectangularRow);
    window.ComboBoxVFUnits->setFocus();
    QTest::keyClick(window.ComboBoxVFUnits, Qt::Key_Down); // "l/s"
    QCOMPARE(RowOf(window.SGconversions, 2).join(u'|'), QStringLiteral("183.70|0.18|11.02|661.32"));
  }

  void typedNumbersReadOnlyWithTheSeparator_data() {
    QTest::addColumn<QString>("separator"); // typed between 183 and 7; empty: the user's own
    QTest::addColumn<bool>("reads");
    QTest::newRow("the user's separator") << QString() << true;
    const bool comma = qEnvironmentVariable("GUSTRULE_EXPECTED_SEPARATOR") == QStringLiteral(",");
    QTest::newRow("the other one") << (comma ? QStringLiteral(".") : QStringLiteral(",")) << false;
  }
  void typedNumbersReadOnlyWithTheSeparator() {
    QFETCH(QString, separator);
    QFETCH(bool, reads);
    TQuellbornDuct window;
    window.EditRoundVolume->selectAll();
    const QString typed = separator.isEmpty() ? Separator() : separator;
    QTest::keyClicks(window.EditRoundVolume, QStringLiteral("183") + typed + QStringLiteral("7"));
    // Unreadable, the flow falls back to 0.0001 l/s: no velocity worth showing.
    QCOMPARE(window.SGRoundDuct->Cell(1, 2),
             reads ? QStringLiteral("36.55") : QStringLiteral("0.00"));
  }
};

QTEST_MAIN(LocaleSeparatorTest)
#include "LocaleSeparatorTest.moc"
