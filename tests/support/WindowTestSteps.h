#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;
class TextGrid;
class TQuellbornDuct;

// Steps the window tests share (QtTest, any Qt platform).

// The texts of one grid row, column by column; of every row, row after row.
QStringList RowOf(const TextGrid* grid, int row);
QStringList AllCells(const TextGrid* grid);

// The main window's item called `name`: a control's object name ("EditRoundVolume"), or a duct
// type choice's caption ("Flexible"); nullptr when there is none.
QWidget* Item(const TQuellbornDuct& window, const QString& name);

// Shows a top-level widget and waits until the window system has exposed it, or made it the
// active window; false when that never happens. The window tests' usual start:
// `window_ = std::make_unique<TQuellbornDuct>(); QVERIFY(ShowAndWait(*window_));`
enum class Shown { Exposed, Active };
[[nodiscard]] bool ShowAndWait(QWidget& window, Shown until = Shown::Exposed);
// Shows `widget`'s window, activates it and gives `widget` the keyboard focus; false when it
// never gets the focus.
[[nodiscard]] bool ShowWithFocus(QWidget& widget);

// Looks, while it lives, for the application-modal window that a step of the test opens (the
// failure box, the About window), which runs an event loop of its own until it is closed. Once
// the window is on screen, runs `whileOpen` with it inside that loop, then closes it unless
// `whileOpen` did, so the step returns. After `timeoutMs` without one it gives up and closes
// every dialog, so a step waiting in one still returns.
// Example: ModalWatch box([&](QWidget* modal) { shown = qobject_cast<QMessageBox*>(modal)->text();
// });
//          ReportFailure(gustrule::EOverflow());
//          QVERIFY2(box.Seen(), "no failure box");
class ModalWatch : public QObject {
public:
  explicit ModalWatch(std::function<void(QWidget* modal)> whileOpen, int timeoutMs = 5000);
  bool Seen() const { return seen_; }

private:
  void Look();

  std::function<void(QWidget*)> whileOpen_;
  QTimer poll_;
  int pollsLeft_;
  bool seen_ = false;
};
