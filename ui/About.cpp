#include "About.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextOption>

namespace {

// The window is laid out in fixed pixels.
constexpr QSize ClientSize(315, 92);
constexpr QRect MemoGeometry(8, 8, 297, 73);
constexpr int MemoBorderWidth = 2;
constexpr int FontPixelSize = 11;
const QColor Silver(192, 192, 192);

QString WebAddress() {
  return QStringLiteral("www.quellborn.example");
}

QStringList AboutLines() {
  return {QStringLiteral("The Gustrule developers"), QStringLiteral("Quellborn Ltd"), WebAddress(),
          QStringLiteral("Small Projects Duct Calculations")};
}

} // namespace

TFormAbout::TFormAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      MemoAbout(new QTextEdit(this)) {
  setWindowTitle(WebAddress());
  setWindowModality(Qt::ApplicationModal);
  setFixedSize(ClientSize);

  // Only the roles and attributes set here are fixed; the rest follow the parent, which a
  // window does not do unless asked to.
  setAttribute(Qt::WA_WindowPropagation);
  QPalette palette;
  palette.setColor(QPalette::Window, Silver);
  setPalette(palette);
  QFont font;
  font.setPixelSize(FontPixelSize);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  setFont(font);

  MemoAbout->setGeometry(MemoGeometry);
  MemoAbout->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  MemoAbout->setLineWidth(MemoBorderWidth);
  MemoAbout->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MemoAbout->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MemoAbout->setLineWrapMode(QTextEdit::WidgetWidth);
  // Pasted text comes in plain, so it cannot bring an alignment of its own.
  MemoAbout->setAcceptRichText(false);
  // Centring as the document's default, rather than per paragraph, also centres every paragraph
  // the user adds.
  QTextOption centred = MemoAbout->document()->defaultTextOption();
  centred.setAlignment(Qt::AlignHCenter);
  MemoAbout->document()->setDefaultTextOption(centred);
  MemoAbout->setPlainText(AboutLines().join(QLatin1Char('\n')));
}

void TFormAbout::ShowModal() {
  // Once placed, the window keeps its place: an explicitly moved dialog is not re-centred by Qt.
  if (!placed_) {
    CentreOnParentWindow();
    placed_ = true;
  }
  MemoAbout->setFocus(Qt::OtherFocusReason);
  exec();
}

// Before its first showing the window has no frame yet, so its frame is taken to be as thick
// as the parent window's: the same window manager draws both.
void TFormAbout::CentreOnParentWindow() {
  if (parentWidget() == nullptr) {
    return;
  }
  const QWidget* main = parentWidget()->window();
  const QRect mainFrame = main->frameGeometry();
  QRect frame(QPoint(), size() + (mainFrame.size() - main->size()));
  frame.moveCenter(mainFrame.center());
  move(frame.topLeft());
}
