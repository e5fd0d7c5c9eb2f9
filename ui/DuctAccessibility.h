#pragma once

#include <QWidget>

class TQuellbornDuct;

// A page of the main window's page control. Screen readers see it as a panel, whose name they
// announce as the focus moves into it; a plain widget is a filler that they pass over.
class TabSheet : public QWidget {
  Q_OBJECT

public:
  explicit TabSheet(QWidget* parent = nullptr);
};

// Names the main window's controls for screen readers, from the window's own texts so the names
// cannot drift from what is shown: each page takes its tab's caption; each number box says what
// it holds and in which unit ("Air Volume Flow (l/s)", its group box's caption and the unit label
// beside it); the hints over a box become the descriptions of the box and of the number boxes
// inside it; each result grid takes its page's caption. The velocities picture gets a name and,
// as its description, every value it shows, and so does its page, which takes the focus there.
// Every input of the rectangular and conversions pages, whose grids take no focus, is described
// by the results its page shows, heading and value ("Eqiv Ø (mm) 233, Vel (m/s) 4.09, ..."),
// kept current as the grid changes.
void DescribeForScreenReaders(TQuellbornDuct& window);
