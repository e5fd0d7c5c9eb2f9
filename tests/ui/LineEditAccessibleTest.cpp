// What screen readers read of a line edit (LineEditAccessible.h), against Qt's own interface for
// the same box, which is made before the program's factory is installed: every answer is Qt's,
// but for the attribute run and the word or sentence at the end, where Qt fails.
#include <QAccessible>
#include <QLineEdit>
#include <QtTest>

#include <utility>

#include "LineEditAccessible.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QAccessible::TextBoundaryType kBoundaries[] = {
    QAccessible::CharBoundary,      QAccessible::WordBoundary, QAccessible::SentenceBoundary,
    QAccessible::ParagraphBoundary, QAccessible::LineBoundary, QAccessible::NoBoundary};

bool AtTheEnd(const QLineEdit& edit, int offset) {
  const int end = static_cast<int>(edit.text().size());
  return offset == end || offset == -1 || (offset == -2 && edit.cursorPosition() == end);
}

// Everything a reader can ask the box's interface, but what Qt never answers.
QStringList Answers(QLineEdit& edit) {
  QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&edit);
  QAccessibleTextInterface* text = box->textInterface();
  const QAccessible::State state = box->state();
  const QPoint origin = edit.mapToGlobal(QPoint(0, 0));
  QStringList answers = {box->text(QAccessible::Value), box->text(QAccessible::Description),
                         QString::number(box->role()),
                         QString::number(state.editable + 2 * state.readOnly +
                                         4 * state.passwordEdit + 8 * state.selectableText)};
  int start = 0;
  int end = 0;
  text->selection(0, &start, &end);
  answers << u"selection %1 %2 of %3, caret %4"_s.arg(start)
                 .arg(end)
                 .arg(text->selectionCount())
                 .arg(text->cursorPosition());
  const int count = text->characterCount();
  for (int offset = -2; offset <= count + 1; ++offset) {
    answers << text->text(offset, count) << text->text(0, offset)
            << QString::number(text->offsetAtPoint(origin + QPoint(offset * 4, 10)));
    const QRect rect = text->characterRect(offset);
    answers << u"%1 %2 %3 %4"_s.arg(rect.isNull() ? 0 : rect.x() - origin.x())
                   .arg(rect.isNull() ? 0 : rect.y() - origin.y())
                   .arg(rect.width())
                   .arg(rect.height());
    for (const QAccessible::TextBoundaryType boundary : kBoundaries) {
      answers << text->textBeforeOffset(offset, boundary, &start, &end)
              << u"%1 %2"_s.arg(start).arg(end)
              << text->textAfterOffset(offset, boundary, &start, &end)
              << u"%1 %2"_s.arg(start).arg(end);
      if ((boundary != QAccessible::WordBoundary && boundary != QAccessible::SentenceBoundary) ||
          !AtTheEnd(edit, offset)) {
        answers << text->textAtOffset(offset, boundary, &start, &end)
                << u"%1 %2"_s.arg(start).arg(end);
      }
    }
  }
  return answers;
}

} // namespace

class LineEditAccessibleTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    QVERIFY(QAccessible::queryAccessibleInterface(&qtBox_) != nullptr);
    InstallLineEditAccessible();
  }

  void answersAsQtDoes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<QLineEdit::EchoMode>("echo");
    QTest::newRow("a flow, part selected") << u"183.7"_s << 1 << 2 << QLineEdit::Normal;
    QTest::newRow("words and trailing spaces") << u"12 3.5  x  "_s << 11 << 0 << QLineEdit::Normal;
    QTest::newRow("hidden") << u"250"_s << 0 << 3 << QLineEdit::Password;
  }
  void answersAsQtDoes() {
    QFETCH(QString, text);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    QFETCH(QLineEdit::EchoMode, echo);
    for (QLineEdit* edit : {&qtBox_, &box_}) {
      edit->setPlaceholderText(u"l/s"_s);
      edit->setEchoMode(echo);
      edit->setText(text);
      edit->setSelection(selectionStart, selectionLength);
    }
    QCOMPARE(Answers(box_), Answers(qtBox_));
  }

  // The run around every offset is the whole text; the word or sentence at the end (-1 stands for
  // it, -2 for the caret, there) is the one the text ends with. Qt answers an empty run at the
  // offset, and never returns from the rest.
  void answersWhereQtFails() {
    box_.setEchoMode(QLineEdit::Normal);
    box_.setText(u"183.7"_s);
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(&box_)->textInterface();
    int start = 0;
    int end = 0;
    for (int at = 0; at <= 5; ++at) {
      QVERIFY(text->attributes(at, &start, &end).isEmpty());
      QCOMPARE(QPoint(start, end), QPoint(0, 5));
    }
    for (const auto& [offset, boundary] : {std::pair{5, QAccessible::WordBoundary},
                                           {-1, QAccessible::SentenceBoundary},
                                           {-2, QAccessible::WordBoundary}}) {
      QCOMPARE(text->textAtOffset(offset, boundary, &start, &end), u"183.7"_s);
      QCOMPARE(QPoint(start, end), QPoint(0, 5));
    }
  }

private:
  QLineEdit qtBox_; // its interface is Qt's, asked for before the factory is installed
  QLineEdit box_;
};

QTEST_MAIN(LineEditAccessibleTest)
#include "LineEditAccessibleTest.moc"
