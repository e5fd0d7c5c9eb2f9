#include "JpegPicture.h"

#include <QAccessibleWidget>
#include <QDebug>
#include <QPainter>

#include <csetjmp>
#include <cstdio>
#include <mutex>
#include <utility>

#include <jpeglib.h>

namespace {

// A decompressor whose errors come back to us instead of ending the process. libjpeg's default
// error_exit calls exit(); ours formats the message into a plain buffer and longjmps to the
// setjmp of the function that made the libjpeg call. Warnings (corrupt or truncated data, which
// libjpeg would otherwise paint grey) take the same way.
//
// Between a setjmp and its jump live only C objects, so the jump skips no destructor: the
// functions below destroy the decompressor and report false, and their callers, above the setjmp,
// throw.
struct Decompressor {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  std::jmp_buf failed;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpBack(j_common_ptr info) {
  auto* decompressor = static_cast<Decompressor*>(info->client_data);
  (*info->err->format_message)(info, decompressor->message);
  std::longjmp(decompressor->failed, 1);
}

// Level -1 is a warning; levels 0 and above are trace messages, which are dropped.
void FailOnWarning(j_common_ptr info, int level) {
  if (level < 0) {
    JumpBack(info);
  }
}

// Creates the decompressor and reads the header; with `startDecoding`, also starts decoding
// into RGB. On failure the decompressor is already destroyed.
bool Open(Decompressor& d, const unsigned char* data, unsigned long size, bool startDecoding) {
  d.info.err = jpeg_std_error(&d.errors);
  d.errors.error_exit = JumpBack;
  d.errors.emit_message = FailOnWarning;
  d.info.client_data = &d; // jpeg_create_decompress keeps err and client_data
  if (setjmp(d.failed) != 0) {
    jpeg_destroy_decompress(&d.info);
    return false;
  }
  jpeg_create_decompress(&d.info);
  jpeg_mem_src(&d.info, data, size);
  jpeg_read_header(&d.info, TRUE);
  if (startDecoding) {
    d.info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d.info);
  }
  return true;
}

// Reads every scanline into rows of `stride` bytes from `pixels`, then finishes and destroys the
// decompressor, whether it succeeds or not.
bool ReadScanlines(Decompressor& d, unsigned char* pixels, qsizetype stride) {
  if (setjmp(d.failed) != 0) {
    jpeg_destroy_decompress(&d.info);
    return false;
  }
  while (d.info.output_scanline < d.info.output_height) {
    JSAMPROW row = pixels + static_cast<qsizetype>(d.info.output_scanline) * stride;
    jpeg_read_scanlines(&d.info, &row, 1);
  }
  jpeg_finish_decompress(&d.info);
  jpeg_destroy_decompress(&d.info);
  return true;
}

bool Open(Decompressor& d, QByteArrayView jpeg, bool startDecoding) {
  return Open(d, reinterpret_cast<const unsigned char*>(jpeg.data()),
              static_cast<unsigned long>(jpeg.size()), startDecoding);
}

// Screen readers see the picture as an image, with the widget's accessible name and description.
QAccessibleInterface* PictureFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(JpegPicture::staticMetaObject.className()) &&
      object->isWidgetType()) {
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
  }
  return nullptr;
}

} // namespace

QSize ReadJpegSize(QByteArrayView jpeg) {
  Decompressor d{};
  if (!Open(d, jpeg, false)) {
    throw JpegError(d.message);
  }
  const QSize size(static_cast<int>(d.info.image_width), static_cast<int>(d.info.image_height));
  jpeg_destroy_decompress(&d.info);
  return size;
}

QImage DecodeJpeg(QByteArrayView jpeg) {
  Decompressor d{};
  if (!Open(d, jpeg, true)) {
    throw JpegError(d.message);
  }
  QImage image(static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height),
               QImage::Format_RGB888);
  if (image.isNull()) {
    std::snprintf(d.message, sizeof d.message, "Not enough memory for a %ux%u picture",
                  d.info.output_width, d.info.output_height);
    jpeg_destroy_decompress(&d.info);
    throw JpegError(d.message);
  }
  if (!ReadScanlines(d, image.bits(), image.bytesPerLine())) {
    throw JpegError(d.message);
  }
  return image;
}

JpegPicture::JpegPicture(QByteArray jpeg, QWidget* parent)
    : QWidget(parent), jpeg_(std::move(jpeg)) {
  static std::once_flag accessible;
  std::call_once(accessible, [] { QAccessible::installFactory(PictureFactory); });
  try {
    pictureSize_ = ReadJpegSize(jpeg_);
    resize(pictureSize_);
  } catch (const JpegError& error) {
    Fail(error.what());
  }
}

void JpegPicture::paintEvent(QPaintEvent* /*event*/) {
  if (!IsDecoded() && failure_.isEmpty()) {
    // Exceptions must not cross into Qt's event dispatch, so every one ends here.
    try {
      ++decodeCount_;
      picture_ = DecodeJpeg(jpeg_);
      jpeg_.clear();
    } catch (const std::exception& error) {
      Fail(error.what());
    }
  }
  if (IsDecoded()) {
    QPainter(this).drawImage(0, 0, picture_);
  }
}

void JpegPicture::Fail(const char* message) {
  failure_ = QString::fromUtf8(message);
  qWarning().noquote() << "JPEG picture not shown:" << failure_;
}
