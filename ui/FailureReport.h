#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <utility>

#include "Failures.h"

// The application title: the program's file name without its directory, cut at its first ".",
// every character after the first in lower case. "SIZER.EXE" gives "Sizer", "My.Tool.exe" gives
// "My", "/usr/bin/gustrule" gives "gustrule". At most 255 characters.
QString DeriveApplicationTitle(const QString& programPath);

// Set once at start-up from the program's file name; the caption of the failure report.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

// The text a failure is shown with: a "." is appended when the message is not empty and its last
// character's code is above that of "." (so letters get one, while ".", "!", ")" or a blank
// end the message as they are).
QString FailureText(const QString& message);

// Shows a failure in a modal box: mouse capture released, the failure text, the application
// title as caption, a stop icon and one OK button; every window is disabled until it is closed
// and the window that was active before becomes active again.
void ReportFailure(const gustrule::Exception& failure);

// Replaces how ReportFailure shows the text (tests record it instead of opening a box); an empty
// function restores the message box. Returns the previous one.
using FailurePresenter = std::function<void(const QString& caption, const QString& text)>;
FailurePresenter SetFailurePresenter(FailurePresenter presenter);

// Runs one handler and reports any failure that escapes it, so that no exception ever crosses
// Qt's own frames (Qt is built without exception support). The one place failures are caught.
template <typename Handler> void Guarded(Handler&& handler) noexcept {
  try {
    std::forward<Handler>(handler)();
  } catch (const gustrule::Exception& failure) {
    ReportFailure(failure);
  } catch (const std::exception& failure) {
    ReportFailure(gustrule::Exception(failure.what()));
  }
}

// The decimal separator from the user's regional settings: the locale's decimal point when it is
// exactly one character, "." otherwise.
void ReadDecimalSeparator();
