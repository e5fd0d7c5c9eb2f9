#include "LineEditAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTextLayout>
#include <QValidator>

#include <mutex>

namespace {

// Offsets with a meaning of their own in the text interface's offset questions.
constexpr int kEndOffset = -1;
constexpr int kCaretOffset = -2;

// Qt's own interface for a line edit is private to Qt and cannot be derived from, so this one
// gives the same answers from QLineEdit's public functions, but for the two that are put right.
class LineEditAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
  explicit LineEditAccessible(QLineEdit* edit)
      : QAccessibleWidget(edit, QAccessible::EditableText) {
    addControllingSignal(QStringLiteral("textChanged(QString)"));
    addControllingSignal(QStringLiteral("returnPressed()"));
  }

  QString text(QAccessible::Text type) const override {
    QString text;
    if (type == QAccessible::Value) {
      if (Edit()->echoMode() == QLineEdit::Normal) {
        text = Edit()->text();
      } else if (Edit()->echoMode() != QLineEdit::NoEcho) {
        text = QString(Edit()->text().size(), u'*');
      }
    }
    if (text.isEmpty()) {
      text = QAccessibleWidget::text(type);
    }
    if (text.isEmpty() && type == QAccessible::Description) {
      text = Edit()->placeholderText();
    }
    return text;
  }

  void setText(QAccessible::Text type, const QString& text) override {
    if (type != QAccessible::Value) {
      QAccessibleWidget::setText(type, text);
      return;
    }
    QString checked = text;
    int position = 0;
    if (Edit()->validator() != nullptr &&
        Edit()->validator()->validate(checked, position) != QValidator::Acceptable) {
      return;
    }
    Edit()->setText(checked);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    if (Edit()->isReadOnly()) {
      state.readOnly = true;
    } else {
      state.editable = true;
    }
    state.passwordEdit = Edit()->echoMode() != QLineEdit::Normal;
    state.selectableText = true;
    return state;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) {
      return static_cast<QAccessibleTextInterface*>(this);
    }
    if (type == QAccessible::EditableTextInterface) {
      return static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
  }

  void selection(int index, int* start, int* end) const override {
    *start = *end = 0;
    if (index == 0) {
      *start = Edit()->selectionStart();
      *end = *start + static_cast<int>(Edit()->selectedText().size());
    }
  }
  int selectionCount() const override { return Edit()->hasSelectedText() ? 1 : 0; }
  void addSelection(int start, int end) override { setSelection(0, start, end); }
  void removeSelection(int index) override {
    if (index == 0) {
      Edit()->deselect();
    }
  }
  void setSelection(int index, int start, int end) override {
    if (index == 0) {
      Edit()->setSelection(start, end - start);
    }
  }
  int cursorPosition() const override { return Edit()->cursorPosition(); }
  void setCursorPosition(int position) override { Edit()->setCursorPosition(position); }

  // A hidden text (a password) is not read out.
  QString text(int start, int end) const override {
    if (start > end || Edit()->echoMode() != QLineEdit::Normal) {
      return {};
    }
    return Edit()->text().mid(start, end - start);
  }
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                           int* end) const override {
    return QAccessibleTextInterface::textBeforeOffset(Caret(offset), boundary, start, end);
  }
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                          int* end) const override {
    return QAccessibleTextInterface::textAfterOffset(Caret(offset), boundary, start, end);
  }
  QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                       int* end) const override {
    offset = Caret(offset);
    const int count = characterCount();
    if (offset == kEndOffset) {
      offset = count;
    }
    if (offset == count && count > 0 &&
        (boundary == QAccessible::WordBoundary || boundary == QAccessible::SentenceBoundary)) {
      offset = count - 1; // Qt would look past the end for the item's end, for ever
    }
    return QAccessibleTextInterface::textAtOffset(offset, boundary, start, end);
  }
  int characterCount() const override { return static_cast<int>(Edit()->text().size()); }

  // Where Qt places a character: across from the box's left edge by the text before it, as the
  // box lays its text out, and down by the top text margin.
  QRect characterRect(int offset) const override {
    const QString character = text(offset, offset + 1);
    if (character.isEmpty()) {
      return {};
    }
    QTextLayout layout(Edit()->text(), Edit()->font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QFontMetrics metrics(Edit()->font());
    QRect rect(static_cast<int>(line.cursorToX(offset)), Edit()->textMargins().top(),
               metrics.horizontalAdvance(character), metrics.height());
    rect.moveTo(Edit()->mapToGlobal(rect.topLeft()));
    return rect;
  }
  int offsetAtPoint(const QPoint& point) const override {
    return Edit()->cursorPositionAt(Edit()->mapFromGlobal(point));
  }
  void scrollToSubstring(int start, int end) override {
    Edit()->setCursorPosition(end);
    Edit()->setCursorPosition(start);
  }
  // No text attributes: one run, the whole text.
  QString attributes(int /*offset*/, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

  void deleteText(int start, int end) override {
    Edit()->setText(Edit()->text().remove(start, end - start));
  }
  void insertText(int offset, const QString& text) override {
    Edit()->setText(Edit()->text().insert(offset, text));
  }
  void replaceText(int start, int end, const QString& text) override {
    Edit()->setText(Edit()->text().replace(start, end - start, text));
  }

private:
  QLineEdit* Edit() const { return static_cast<QLineEdit*>(widget()); }
  int Caret(int offset) const { return offset == kCaretOffset ? cursorPosition() : offset; }
};

QAccessibleInterface* LineEditFactory(const QString& className, QObject* object) {
  // A spin box's own line edit is left to Qt, which treats it apart.
  auto* edit = qobject_cast<QLineEdit*>(object);
  if (edit != nullptr && className == QLatin1String(QLineEdit::staticMetaObject.className()) &&
      edit->objectName() != QLatin1String("qt_spinbox_lineedit")) {
    return new LineEditAccessible(edit);
  }
  return nullptr;
}

} // namespace

void InstallLineEditAccessible() {
  static std::once_flag installed;
  std::call_once(installed, [] { QAccessible::installFactory(LineEditFactory); });
}
