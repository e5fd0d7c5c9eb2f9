// The floor any Qt program pays: one empty fixed-size window with a menu bar, ended right after
// its first paint. Prints microseconds as StartupProbe does.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

#include <cstdio>
#include <string>

#include "NowNs.h"

namespace {

class FirstPaint : public QObject {
public:
  explicit FirstPaint(long long started) : started_(started) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, [this] {
        std::printf("%lld\n", (NowNs() - started_) / 1000);
        QApplication::quit();
      });
    }
    return false;
  }

private:
  long long started_;
};
} // namespace

int main(int argc, char* argv[]) {
  const long long started = argc > 1 ? std::stoll(argv[1]) : NowNs();
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  QMainWindow window;
  window.menuBar()->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Close"));
  auto* client = new QWidget;
  client->setFixedSize(606, 526);
  window.setCentralWidget(client);
  FirstPaint watch(started);
  window.installEventFilter(&watch);
  window.show();
  return QApplication::exec();
}
