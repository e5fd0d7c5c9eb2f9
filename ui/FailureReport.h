#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <utility>

#include "Failures.h"

// Shows a failure in a modal box: mouse capture released, the failure's text (FailureText), the
// application title as caption, a stop icon and one OK button; every window is disabled until it
// is closed and the window that was active before becomes active again.
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
  } catch (...) {
    ReportFailure(gustrule::Exception("Unexpected failure"));
  }
}
