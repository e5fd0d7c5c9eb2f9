#include "About.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QWindow>

#include <cmath>
#include <functional>
#include <memory>

#include "WindowTestSteps.h"
namespace {

const QStringList InitialLines = {
    QStringLiteral("The Gustrule developers"), QStringLiteral("Quellborn Ltd"),
    QStringLiteral("www.quellborn.example"), QStringLiteral("Small Projects Duct Calculations")};

// Runs `whileShown` inside ShowModal's event loop once the window is on screen, then closes the
// window unless `whileShown` closed it already.
void ShowModalThen(TFormAbout& about, const std::function<void()>& whileShown) {
  const ModalWatch watch([&whileShown](QWidget*) { whileShown(); });
  about.ShowModal();
}

// Every line of the text box, as laid out, has as much room on its left as on its right.
bool EveryLineCentred(const QTextEdit& memo) {
  for (QTextBlock block = memo.document()->begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      const QRectF text = line.naturalTextRect();
      const qreal leftRoom = text.left() - line.x();
      const qreal rightRoom = line.x() + line.width() - text.right();
      if (leftRoom < 10 || std::abs(leftRoom - rightRoom) > 1.5) {
        return false;
      }
    }
  }
  return true;
}

enum class CloseBy { TitleBar, Escape };

} // namespace

Q_DECLARE_METATYPE(CloseBy)

class AboutTest : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();
  void looksAsDesigned();
  void takesFontFamilyFromMainWindow_data();
  void takesFontFamilyFromMainWindow();
  void everyLineIsCentredTypedOnesToo();
  void isModalWithFocusInText();
  void closingHidesAndKeepsEdits_data();
  void closingHidesAndKeepsEdits();
  void firstShowingIsCentredOnMainWindow();
  void laterShowingsKeepTheLastPlace_data();
  void laterShowingsKeepTheLastPlace();

private:
  // Through the window system, as a user's click comes, so that modality applies.
  void ClickMainButton() {
    QTest::mouseClick(main_->windowHandle(), Qt::LeftButton, {}, mainButton_->geometry().center());
  }

  std::unique_ptr<QWidget> main_;
  QPushButton* mainButton_ = nullptr;
};

void AboutTest::init() {
  main_ = std::make_unique<QWidget>();
  main_->setGeometry(100, 40, 606, 526);
  mainButton_ = new QPushButton(QStringLiteral("Calculate"), main_.get());
  QVERIFY(ShowAndWait(*main_));
}

void AboutTest::cleanup() {
  main_.reset();
}

void AboutTest::looksAsDesigned() {
  TFormAbout about(main_.get());
  QCOMPARE(about.windowTitle(), QStringLiteral("www.quellborn.example"));
  QCOMPARE(about.MemoAbout->toPlainText(), InitialLines.join(QLatin1Char('\n')));
  QVERIFY(!about.MemoAbout->isReadOnly());
  QVERIFY(about.isWindow());

  ShowModalThen(about, [&] {
    QCOMPARE(about.size(), QSize(315, 92));
    QCOMPARE(about.minimumSize(), about.maximumSize());
  });
}

void AboutTest::takesFontFamilyFromMainWindow_data() {
  QTest::addColumn<bool>("fontSetBeforeWindowMade");
  QTest::newRow("font set before the window is made") << true;
  QTest::newRow("font set after the window is made") << false;
}

void AboutTest::takesFontFamilyFromMainWindow() {
  QFETCH(bool, fontSetBeforeWindowMade);
  QFont mainFont(QStringLiteral("DejaVu Serif"));
  mainFont.setPixelSize(13);
  mainFont.setBold(true);
  mainFont.setItalic(true);

  if (fontSetBeforeWindowMade) {
    main_->setFont(mainFont);
  }
  TFormAbout about(main_.get());
  if (!fontSetBeforeWindowMade) {
    main_->setFont(mainFont);
  }

  for (const QFont& font : {about.font(), about.MemoAbout->font()}) {
    QCOMPARE(font.family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(font.pixelSize(), 11);
    QCOMPARE(font.weight(), QFont::Normal);
    QVERIFY(!font.italic());
  }
}

void AboutTest::everyLineIsCentredTypedOnesToo() {
  TFormAbout about(main_.get());
  bool initialCentred = false;
  bool typedCentred = false;
  ShowModalThen(about, [&] {
    initialCentred = EveryLineCentred(*about.MemoAbout);
    QTest::keyClick(about.MemoAbout, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(about.MemoAbout, Qt::Key_Return);
    QTest::keyClicks(about.MemoAbout, QStringLiteral("typed"));
    typedCentred = EveryLineCentred(*about.MemoAbout);
  });
  QVERIFY(initialCentred);
  QCOMPARE(about.MemoAbout->document()->blockCount(), 5);
  QVERIFY(typedCentred);
}

void AboutTest::isModalWithFocusInText() {
  TFormAbout about(main_.get());
  QSignalSpy mainClicks(mainButton_, &QPushButton::clicked);
  bool focusInMemo = false;
  QWidget* modal = nullptr;
  ShowModalThen(about, [&] {
    focusInMemo = QTest::qWaitFor([&] { return about.MemoAbout->hasFocus(); });
    modal = QApplication::activeModalWidget();
    ClickMainButton();
  });
  QVERIFY(focusInMemo);
  QCOMPARE(modal, static_cast<QWidget*>(&about));
  QCOMPARE(mainClicks.count(), 0);

  ClickMainButton();
  QCOMPARE(mainClicks.count(), 1);
}

void AboutTest::closingHidesAndKeepsEdits_data() {
  QTest::addColumn<CloseBy>("closeBy");
  QTest::newRow("title-bar close") << CloseBy::TitleBar;
  QTest::newRow("Escape") << CloseBy::Escape;
}

void AboutTest::closingHidesAndKeepsEdits() {
  QFETCH(CloseBy, closeBy);
  const QString edited = InitialLines.join(QLatin1Char('\n')) + QStringLiteral("\nedited");

  // The check that closing only hides needs a guarded pointer; the window is used through a
  // plain one, which the compiler can see is never null.
  auto* const about = new TFormAbout(main_.get());
  const QPointer<TFormAbout> alive(about);
  ShowModalThen(*about, [&] {
    QTest::keyClick(about->MemoAbout, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(about->MemoAbout, Qt::Key_Return);
    QTest::keyClicks(about->MemoAbout, QStringLiteral("edited"));
    if (closeBy == CloseBy::TitleBar) {
      about->windowHandle()->close();
    } else {
      QTest::keyClick(about->MemoAbout, Qt::Key_Escape);
    }
  });
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(!alive.isNull());
  QVERIFY(about->isHidden());

  QString shownAgain;
  ShowModalThen(*about, [&] { shownAgain = about->MemoAbout->toPlainText(); });
  QCOMPARE(shownAgain, edited);
}

void AboutTest::firstShowingIsCentredOnMainWindow() {
  TFormAbout about(main_.get());
  QRect shownAt;
  ShowModalThen(about, [&] { shownAt = about.frameGeometry(); });
  const QPoint offCentre = shownAt.center() - main_->frameGeometry().center();
  QVERIFY2(offCentre.manhattanLength() <= 1,
           qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
}

void AboutTest::laterShowingsKeepTheLastPlace_data() {
  QTest::addColumn<bool>("movedByWindowSystem");
  QTest::newRow("moved by the program") << false;
  QTest::newRow("dragged by the user") << true;
}

void AboutTest::laterShowingsKeepTheLastPlace() {
  QFETCH(bool, movedByWindowSystem);
  const QPoint place(40, 50);

  TFormAbout about(main_.get());
  bool moved = false;
  ShowModalThen(about, [&] {
    if (movedByWindowSystem) {
      // The window system reports the new place asynchronously, as after a drag.
      about.windowHandle()->setFramePosition(place);
    } else {
      about.move(place);
    }
    moved = QTest::qWaitFor([&] { return about.frameGeometry().topLeft() == place; });
  });
  QVERIFY(moved);
  main_->move(150, 60);

  QPoint shownAt;
  ShowModalThen(about, [&] { shownAt = about.frameGeometry().topLeft(); });
  QCOMPARE(shownAt, place);
}

QTEST_MAIN(AboutTest)
#include "AboutTest.moc"
