#pragma once

// Hands the user's decimal separator to the number reader: the locale's decimal point when it is
// exactly one character, "." otherwise. Read at start-up and again when the platform announces a
// change of the regional settings.
void ReadDecimalSeparator();
