#include "FailureReport.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "NumberText.h"

namespace {

// Titles longer than this are cut.
constexpr qsizetype kMaxTitleLength = 255;

QString& Title() {
  static QString title;
  return title;
}

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

QString DeriveApplicationTitle(const QString& programPath) {
  QString name = QFileInfo(programPath).fileName();
  name.truncate(name.indexOf(QLatin1Char('.')) < 0 ? name.size() : name.indexOf(QLatin1Char('.')));
  if (name.size() > 1) {
    name = name.left(1) + name.mid(1).toLower();
  }
  name.truncate(kMaxTitleLength);
  return name;
}

void SetApplicationTitle(const QString& title) {
  Title() = title;
}

QString ApplicationTitle() {
  return Title();
}

QString FailureText(const QString& message) {
  return QString::fromStdString(gustrule::FailureText(message.toStdString()));
}

void ReportFailure(const gustrule::Exception& failure) {
  if (QWidget* grabber = QWidget::mouseGrabber()) {
    grabber->releaseMouse();
  }
  const QString text = FailureText(QString::fromStdString(failure.Message()));
  if (Presenter()) {
    Presenter()(ApplicationTitle(), text);
  } else {
    ShowFailureBox(ApplicationTitle(), text);
  }
}

FailurePresenter SetFailurePresenter(FailurePresenter presenter) {
  return std::exchange(Presenter(), std::move(presenter));
}

void ReadDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  const bool single = point.size() == 1 && !point.front().isSurrogate();
  gustrule::SetDecimalSeparator(single ? point.front().unicode() : u'.');
}
