#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>

#include <stdexcept>

// JPEG data that libjpeg cannot read, or reads only with a warning. what() is libjpeg's own
// message, e.g. "Not a JPEG file: starts with 0x89 0x50" or "Premature end of JPEG file".
class JpegError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The picture's size from the JPEG header alone; the compressed data is not decoded.
// Throws JpegError on a damaged or missing header ("Empty input file" for no bytes at all).
QSize ReadJpegSize(QByteArrayView jpeg);

// The whole picture as QImage::Format_RGB888, whatever the JPEG's colour space.
// Throws JpegError on any error or warning, so damaged or truncated data never yields a
// half-grey picture.
QImage DecodeJpeg(QByteArrayView jpeg);

// Shows a JPEG at its natural size from the widget's top-left corner. Only the header is read
// when the widget is made; the picture is decoded the first time the widget is painted and kept
// for every later paint. If the data cannot be read the widget stays empty, the failure is
// logged once with qWarning() and never retried.
class JpegPicture : public QWidget {
  Q_OBJECT

public:
  JpegPicture(QByteArray jpeg, QWidget* parent);

  // Empty if the header could not be read.
  QSize PictureSize() const { return pictureSize_; }
  // libjpeg's message for the first failure; empty while nothing has failed.
  QString FailureMessage() const { return failure_; }
  // How often decoding was attempted: 0 before the first paint, 1 after it.
  int DecodeCount() const { return decodeCount_; }
  bool IsDecoded() const { return !picture_.isNull(); }

  QSize sizeHint() const override { return pictureSize_; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void Fail(const char* message);

  QByteArray jpeg_; // released once decoded
  QSize pictureSize_;
  QImage picture_;
  QString failure_;
  int decodeCount_ = 0;
};
