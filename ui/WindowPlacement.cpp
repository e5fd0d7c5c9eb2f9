#include "WindowPlacement.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>

QPoint CentredFramePosition(QSize frame, const QRect& available) {
  const int x = available.left() + std::max(available.width() - frame.width(), 0) / 2;
  const int y = available.top() + std::max(available.height() - frame.height(), 0) / 2;
  return {x, y};
}

namespace {

// Places a window centred before it is shown, and again once its window manager's frame is
// known. A window manager adds the frame only after the window is mapped; on X11 it then moves
// the window into the frame (a Move event) and publishes the frame's size as the property
// _NET_FRAME_EXTENTS (seen here as a property change of the window). Either is a moment to look
// at the frame again. A child of the window; deletes itself after the second placement, and its
// native event filter goes with it.
class FramePlacement : public QObject, public QAbstractNativeEventFilter {
public:
  explicit FramePlacement(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
    // Before the window exists, a position given to move() is where the window manager puts the
    // frame's top-left corner, whatever size the frame turns out to have.
    window->move(CentredFramePosition(window->size(), Available()));
  }
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "xcb_generic_event_t" || !window_->testAttribute(Qt::WA_WState_Created)) {
      return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    constexpr std::uint8_t kSentByClient = 0x80; // marks events sent with SendEvent
    if ((event->response_type & ~kSentByClient) == XCB_PROPERTY_NOTIFY &&
        reinterpret_cast<const xcb_property_notify_event_t*>(event)->window ==
            window_->internalWinId()) {
      // Qt reads the new frame size only when it handles this event itself, after this filter.
      QMetaObject::invokeMethod(this, &FramePlacement::PlaceInFrame, Qt::QueuedConnection);
    }
    return false;
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Move) {
      PlaceInFrame();
    }
    return false;
  }

private:
  QRect Available() const { return window_->screen()->availableGeometry(); }

  void PlaceInFrame() {
    const QWindow* handle = window_->windowHandle();
    if (placed_ || handle == nullptr || handle->frameMargins().isNull()) {
      return; // no frame yet, or a desktop without frames: the first placement stands
    }
    const QMargins frame = handle->frameMargins();
    const QSize frameSize = window_->size().grownBy(frame);
    const QPoint client =
        CentredFramePosition(frameSize, Available()) + QPoint(frame.left(), frame.top());
    if (window_->geometry().topLeft() != client) {
      window_->setGeometry(QRect(client, window_->size()));
    }
    placed_ = true;
    window_->removeEventFilter(this);
    deleteLater();
  }

  QWidget* const window_;
  bool placed_ = false;
};

} // namespace

void CentreOnScreen(QWidget* window) {
  // The layout fixes the window's size; settle it so that the first placement uses that size.
  if (QLayout* layout = window->layout()) {
    layout->activate();
  }
  new FramePlacement(window);
}
