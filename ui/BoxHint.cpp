#include "BoxHint.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QHelpEvent>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

namespace {

// Follows the pointer's visits to one box. The first hint request of a visit (Qt sends one to
// the item under the pointer once it has rested, and it reaches the box because no item has a
// hint of its own) shows the hint there; every later one is answered without showing anything.
//
// Qt hides a showing hint 300 ms after the pointer leaves any widget, and so also when it only
// crosses from one item of the box into another. After each such leave, once Qt has handled it,
// the filter looks where the pointer is: still over the box, it puts the hint back as it was, in
// the same place and with the time it has left; off the box, the visit has ended and Qt's hiding
// goes on.
class BoxHintFilter : public QObject {
public:
  explicit BoxHintFilter(QWidget* box) : QObject(box), box_(box) {
    box->installEventFilter(this);
    for (QWidget* item : box->findChildren<QWidget*>()) {
      item->installEventFilter(this);
    }
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
    case QEvent::ToolTip:
      if (watched == box_) {
        ShowOncePerVisit(static_cast<QHelpEvent*>(event)->globalPos());
        return true;
      }
      break;
    case QEvent::Leave:
      QTimer::singleShot(0, this, &BoxHintFilter::AfterLeave);
      break;
    case QEvent::Enter:
      // Back from outside: from the hint window, which may cover the box, only while it shows.
      if (watched == box_ && !Showing()) {
        visiting_ = false;
      }
      break;
    default:
      break;
    }
    return false;
  }

private:
  void ShowOncePerVisit(QPoint at) {
    if (visiting_) {
      return;
    }
    visiting_ = true;
    shownAt_ = at;
    shownFor_.start();
    Show(box_->toolTipDuration());
  }

  void AfterLeave() {
    if (!visiting_) {
      return;
    }
    if (!box_->rect().contains(box_->mapFromGlobal(QCursor::pos()))) {
      visiting_ = false;
      return;
    }
    const qint64 left = box_->toolTipDuration() - shownFor_.elapsed();
    if (left > 0 && Showing()) {
      Show(static_cast<int>(left));
    }
  }

  // Qt places a hint afresh and restarts its time only for another text or another owner, so
  // the owner alternates between the box and its parent; the place is always the first one.
  void Show(int forMs) {
    ownerIsBox_ = !ownerIsBox_;
    QWidget* owner = ownerIsBox_ || box_->parentWidget() == nullptr ? box_ : box_->parentWidget();
    QToolTip::showText(shownAt_, box_->toolTip(), owner, {}, forMs);
  }

  bool Showing() const { return QToolTip::isVisible() && QToolTip::text() == box_->toolTip(); }

  QWidget* box_;
  bool visiting_ = false; // the hint has shown since the pointer last came onto the box
  bool ownerIsBox_ = false;
  QPoint shownAt_;
  QElapsedTimer shownFor_;
};

} // namespace

void SetBoxHint(QWidget* box, const QString& text, int durationMs) {
  box->setToolTip(text);
  box->setToolTipDuration(durationMs);
  new BoxHintFilter(box);
}
