// Prints the texts of the main window that its manual page names, one per line as KIND<TAB>TEXT:
// the window title, the tab caption of each page, each menu with its items, the entries of the
// round-duct grid's context menu and the first key of the copy shortcut. The window is built as
// the program builds it but never shown, so any Qt platform does, offscreen included.
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTextStream>

#include "Duct.h"
#include "TextGrid.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  TQuellbornDuct window;
  QTextStream out(stdout);
  const auto print = [&out](const char* kind, const QString& text) {
    out << kind << '\t' << text << '\n';
  };

  print("title", window.windowTitle());
  for (int page = 0; page < window.PageControl->count(); ++page) {
    print("page", window.PageControl->tabText(page));
  }
  for (const QAction* menu : window.menuBar()->actions()) {
    print("menu", menu->text());
    if (menu->menu() != nullptr) {
      for (const QAction* item : menu->menu()->actions()) {
        print("item", item->text());
      }
    }
  }

  // The context menu opens as the Menu key opens it; it is a child of the grid while it is open.
  QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(10, 10), QPoint(10, 10));
  QCoreApplication::sendEvent(window.SGRoundDuct, &request);
  for (const QMenu* popup : window.SGRoundDuct->findChildren<QMenu*>()) {
    for (const QAction* entry : popup->actions()) {
      print("grid-menu", entry->text());
    }
  }
  print("copy-key", QKeySequence(QKeySequence::Copy).toString());
  return 0;
}
