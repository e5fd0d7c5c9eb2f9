#include "BoxHint.h"

#include <QEvent>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace {

// Shows the box's hint for every hint request that reaches the box, naming the item under the
// pointer as the hint's owner. Crossing into another item hides a showing hint after a short
// delay; the request that follows names a new owner, which makes Qt show the hint afresh and
// cancels the hiding.
class BoxHintFilter : public QObject {
public:
  explicit BoxHintFilter(QWidget* box) : QObject(box), box_(box) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != box_ || event->type() != QEvent::ToolTip) {
      return false;
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    QWidget* under = box_->childAt(help->pos());
    QToolTip::showText(help->globalPos(), box_->toolTip(), under != nullptr ? under : box_, {},
                       box_->toolTipDuration());
    return true;
  }

private:
  QWidget* box_;
};

} // namespace

void SetBoxHint(QWidget* box, const QString& text, int durationMs) {
  box->setToolTip(text);
  box->setToolTipDuration(durationMs);
  box->installEventFilter(new BoxHintFilter(box));
}
