#include "WindowTestSteps.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

#include "Duct.h"
#include "TextGrid.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kPollMs = 10;

} // namespace

QStringList RowOf(const TextGrid* grid, int row) {
  QStringList cells;
  for (int column = 0; column < grid->ColumnCount(); ++column) {
    cells << grid->Cell(column, row);
  }
  return cells;
}

QStringList AllCells(const TextGrid* grid) {
  QStringList cells;
  for (int row = 0; row < grid->RowCount(); ++row) {
    cells << RowOf(grid, row);
  }
  return cells;
}

QWidget* Item(const TQuellbornDuct& window, const QString& name) {
  for (int index = 0; QRadioButton* choice = window.RadioGroupDTChoice(index); ++index) {
    if (choice->text() == name) {
      return choice;
    }
  }
  return window.findChild<QWidget*>(name);
}

bool ShowAndWait(QWidget& window, Shown until) {
  window.show();
  if (until == Shown::Exposed) {
    return QTest::qWaitForWindowExposed(&window);
  }
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

bool ShowWithFocus(QWidget& widget) {
  if (!ShowAndWait(*widget.window(), Shown::Active)) {
    return false;
  }
  widget.setFocus();
  return QTest::qWaitFor([&widget] { return widget.hasFocus(); });
}

ModalWatch::ModalWatch(std::function<void(QWidget*)> whileOpen, int timeoutMs)
    : whileOpen_(std::move(whileOpen)), pollsLeft_(std::max(timeoutMs / kPollMs, 1)) {
  connect(&poll_, &QTimer::timeout, this, &ModalWatch::Look);
  poll_.start(kPollMs);
}

void ModalWatch::Look() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr) {
    if (--pollsLeft_ == 0) {
      poll_.stop();
      for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(top); dialog != nullptr && dialog->isVisible()) {
          dialog->reject();
        }
      }
    }
    return;
  }
  poll_.stop();
  seen_ = true;
  const QPointer<QWidget> open(modal);
  if (QTest::qWaitForWindowExposed(modal)) {
    whileOpen_(modal);
  }
  if (open && open->isVisible()) {
    open->close();
  }
}
