#pragma once

// What assistive technologies see of every QLineEdit of the program: what Qt 6.4 shows them of
// a line edit (name, state, text, selection, caret, character geometry and editing, answer for
// answer), but for two questions that Qt answers wrongly over the accessibility bus:
// - The run of text attributes around an offset. A line edit has no text attributes, so the run
//   around any offset is the whole text: for "183.7", the run at 2 spans 0 to 5. Qt answers an
//   empty run at the offset itself (2 to 2); a screen reader that joins the runs to read a line
//   then stops where the last run starts, one character short ("183." for "183.7").
// - The word or sentence at the end of the text: at offset characterCount(), or -1 or -2 (the end
//   and the caret) while the caret is there. Qt's search for it never returns, and the program
//   hangs. The answer here is the word or sentence the last character belongs to, as for the
//   offset before: "183.7", 0 to 5, for "183.7".
// Installs the factory that makes these interfaces, once. Call it before the first line edit is
// made: a widget keeps the interface it was first given.
void InstallLineEditAccessible();
