#pragma once

#include <QDialog>

class QTextEdit;

// The About window: four centred lines about the program and its maker in a box the user may
// edit. One instance is made, hidden, at start-up; closing it only hides it, so whatever the user
// typed is there again at the next showing, until the program ends.
//
// The window takes its font family from the parent's font and sets only the size (11 px,
// regular), so the family chosen for the main window reaches it, even when chosen later.
class TFormAbout : public QDialog {
  Q_OBJECT

public:
  explicit TFormAbout(QWidget* parent);

  // Shows the window application-modal with the keyboard focus in MemoAbout; returns when the
  // user closes it. The first showing centres it on the parent's window frame; every later one
  // leaves it where it was when last closed.
  void ShowModal();

  QTextEdit* const MemoAbout;

private:
  void CentreOnParentWindow();

  bool placed_ = false;
};
