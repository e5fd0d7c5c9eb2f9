#pragma once

class TQuellbornDuct;

// Names the main window's controls for screen readers, from the window's own texts so the names
// cannot drift from what is shown: each number box says what it holds and in which unit ("Air
// Volume Flow (l/s)", its group box's caption and the unit label beside it), the hints over a box
// become the descriptions of the inputs inside it, each result grid takes its page's caption, and
// the velocities picture gets a name and, as its description, every value it shows.
void DescribeForScreenReaders(TQuellbornDuct& window);
