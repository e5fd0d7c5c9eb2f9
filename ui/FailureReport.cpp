#include "FailureReport.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "ApplicationTitle.h"

namespace {

FailurePresenter& Presenter() {
  static FailurePresenter presenter;
  return presenter;
}

void ShowFailureBox(const QString& caption, const QString& text) {
  QPointer<QWidget> active = QApplication::activeWindow();
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, active);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
  if (active) {
    active->activateWindow();
  }
}

} // namespace

void ReportFailure(const gustrule::Exception& failure) {
  if (QWidget* grabber = QWidget::mouseGrabber()) {
    grabber->releaseMouse();
  }
  const QString text = QString::fromStdString(gustrule::FailureText(failure.Message()));
  if (Presenter()) {
    Presenter()(ApplicationTitle(), text);
  } else {
    ShowFailureBox(ApplicationTitle(), text);
  }
}

FailurePresenter SetFailurePresenter(FailurePresenter presenter) {
  return std::exchange(Presenter(), std::move(presenter));
}
