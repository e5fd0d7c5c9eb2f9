#include "JpegPicture.h"

#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

enum class Colour { Blue, White, Black };

bool Is(Colour colour, QRgb pixel) {
  switch (colour) {
  case Colour::Blue:
    return qBlue(pixel) > 150 && qRed(pixel) < 100 && qGreen(pixel) < 100;
  case Colour::White:
    return qRed(pixel) > 240 && qGreen(pixel) > 240 && qBlue(pixel) > 240;
  case Colour::Black:
    return qRed(pixel) < 100 && qGreen(pixel) < 100 && qBlue(pixel) < 100;
  }
  return false;
}

bool IsUniform(const QImage& image) {
  const QRgb first = image.pixel(0, 0);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != first) {
        return false;
      }
    }
  }
  return true;
}

// The message of the JpegError that `read` throws; empty if it throws none.
template <typename Read> QString FailureOf(Read read) {
  try {
    read();
  } catch (const JpegError& error) {
    return QString::fromUtf8(error.what());
  }
  return {};
}

QByteArray Damaged(QByteArray jpeg, qsizetype at, QByteArrayView bytes) {
  jpeg.replace(at, bytes.size(), bytes.toByteArray());
  return jpeg;
}

// Where a segment's marker (0xFF, code) starts.
qsizetype MarkerAt(const QByteArray& jpeg, char code) {
  const char marker[] = {'\xff', code};
  return jpeg.indexOf(QByteArrayView(marker, 2));
}

QByteArray RandomBytes() {
  QRandomGenerator random(20240611);
  QByteArray bytes(4096, '\0');
  for (char& byte : bytes) {
    byte = static_cast<char>(random.bounded(256));
  }
  return bytes;
}

} // namespace

Q_DECLARE_METATYPE(Colour)

class JpegPictureTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void decodesCommittedPicture();
  void readsSizeFromHeaderAlone();
  void rejectsUnreadableData_data();
  void rejectsUnreadableData();
  void decodesOnFirstPaintOnly();
  void unreadablePictureStaysEmpty_data();
  void unreadablePictureStaysEmpty();
  void showsFrameRuleAndTable_data();
  void showsFrameRuleAndTable();

private:
  QByteArray jpeg_;
};

void JpegPictureTest::initTestCase() {
  QFile file(QFINDTESTDATA("../../ui/velocities.jpg"));
  QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
  jpeg_ = file.readAll();
}

void JpegPictureTest::decodesCommittedPicture() {
  const QImage picture = DecodeJpeg(jpeg_);
  QCOMPARE(picture.size(), QSize(600, 500));
  QCOMPARE(picture.format(), QImage::Format_RGB888);
}

// The first half of the file holds the whole header but not all the compressed data, so only a
// reader that stops after the header can give its size.
void JpegPictureTest::readsSizeFromHeaderAlone() {
  QCOMPARE(ReadJpegSize(jpeg_), QSize(600, 500));
  const QByteArray firstHalf = jpeg_.left(jpeg_.size() / 2);
  QCOMPARE(ReadJpegSize(firstHalf), QSize(600, 500));
  QVERIFY(!FailureOf([&] { DecodeJpeg(firstHalf); }).isEmpty());
}

void JpegPictureTest::rejectsUnreadableData_data() {
  QTest::addColumn<QByteArray>("data");
  QTest::addColumn<bool>("headerReadable");
  QTest::addColumn<QString>("message");

  const QByteArray random = RandomBytes();
  QVERIFY(!random.startsWith("\xff\xd8"));
  QTest::newRow("random bytes are not a JPEG")
      << random << false
      << QString::asprintf("Not a JPEG file: starts with 0x%02x 0x%02x",
                           static_cast<unsigned char>(random[0]),
                           static_cast<unsigned char>(random[1]));
  QTest::newRow("no bytes at all") << QByteArray() << false << QStringLiteral("Empty input file");
  QTest::newRow("damaged start-of-image marker")
      << Damaged(jpeg_, 0, QByteArray(2, '\0')) << false
      << QStringLiteral("Not a JPEG file: starts with 0x00 0x00");

  const qsizetype frame = MarkerAt(jpeg_, '\xc0');
  QVERIFY(frame > 0);
  QTest::newRow("frame header with a height of 0")
      << Damaged(jpeg_, frame + 5, QByteArray(2, '\0')) << false
      << QStringLiteral("Empty JPEG image (DNL not supported)");

  const qsizetype huffman = MarkerAt(jpeg_, '\xc4');
  QVERIFY(huffman > 0);
  QTest::newRow("Huffman table with impossible code counts")
      << Damaged(jpeg_, huffman + 5, QByteArray(16, '\xff')) << false
      << QStringLiteral("Bogus Huffman table definition");

  // The next two are only warnings to libjpeg, which would go on and paint grey or garbage.
  QTest::newRow("first half of the file")
      << jpeg_.left(jpeg_.size() / 2) << true << QStringLiteral("Premature end of JPEG file");
  QTest::newRow("end-of-image marker inside the compressed data")
      << Damaged(jpeg_, jpeg_.size() / 2, "\xff\xd9") << true
      << QStringLiteral("Corrupt JPEG data: premature end of data segment");
}

void JpegPictureTest::rejectsUnreadableData() {
  QFETCH(QByteArray, data);
  QFETCH(bool, headerReadable);
  QFETCH(QString, message);

  QCOMPARE(FailureOf([&] { DecodeJpeg(data); }), message);
  QCOMPARE(FailureOf([&] { ReadJpegSize(data); }), headerReadable ? QString() : message);
}

void JpegPictureTest::decodesOnFirstPaintOnly() {
  JpegPicture picture(jpeg_, nullptr);
  QCOMPARE(picture.PictureSize(), QSize(600, 500));
  QCOMPARE(picture.DecodeCount(), 0);
  QVERIFY(!picture.IsDecoded());

  picture.grab();
  picture.grab();
  QCOMPARE(picture.DecodeCount(), 1);
  QVERIFY(picture.IsDecoded());
  QVERIFY(picture.FailureMessage().isEmpty());
}

void JpegPictureTest::unreadablePictureStaysEmpty_data() {
  QTest::addColumn<QByteArray>("data");
  QTest::addColumn<QString>("message");
  QTest::addColumn<QSize>("pictureSize");
  QTest::addColumn<int>("decodeCount");

  QTest::newRow("truncated: fails at the first paint")
      << jpeg_.left(jpeg_.size() / 2) << QStringLiteral("Premature end of JPEG file")
      << QSize(600, 500) << 1;
  QTest::newRow("not a JPEG: fails when made, never decoded")
      << Damaged(jpeg_, 0, QByteArray(2, '\0'))
      << QStringLiteral("Not a JPEG file: starts with 0x00 0x00") << QSize() << 0;
}

void JpegPictureTest::unreadablePictureStaysEmpty() {
  QFETCH(QByteArray, data);
  QFETCH(QString, message);
  QFETCH(QSize, pictureSize);
  QFETCH(int, decodeCount);

  // Exactly one warning, however often the widget is painted.
  QTest::ignoreMessage(QtWarningMsg,
                       qPrintable(QStringLiteral("JPEG picture not shown: ") + message));
  QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));

  JpegPicture picture(data, nullptr);
  picture.resize(600, 500);
  const QImage painted = picture.grab().toImage();
  picture.grab();

  QCOMPARE(picture.FailureMessage(), message);
  QCOMPARE(picture.PictureSize(), pictureSize);
  QCOMPARE(picture.DecodeCount(), decodeCount);
  QVERIFY(!picture.IsDecoded());
  QVERIFY(IsUniform(painted));
}

void JpegPictureTest::showsFrameRuleAndTable_data() {
  QTest::addColumn<QPoint>("at");
  QTest::addColumn<Colour>("colour");

  QTest::newRow("frame, top-left corner") << QPoint(1, 1) << Colour::Blue;
  QTest::newRow("frame, right edge") << QPoint(598, 250) << Colour::Blue;
  QTest::newRow("frame, bottom edge") << QPoint(300, 498) << Colour::Blue;
  QTest::newRow("rule between the halves") << QPoint(300, 246) << Colour::Blue;
  QTest::newRow("background beside the upper title") << QPoint(590, 30) << Colour::White;
  QTest::newRow("background above the lower title") << QPoint(300, 260) << Colour::White;
  QTest::newRow("empty cell of the upper Main Duct row") << QPoint(300, 91) << Colour::White;
  QTest::newRow("empty cell of the lower Branch Duct row") << QPoint(540, 426) << Colour::White;
  QTest::newRow("top line of the upper table") << QPoint(60, 47) << Colour::Black;
  QTest::newRow("top line of the lower table") << QPoint(60, 298) << Colour::Black;
  QTest::newRow("line after the label column") << QPoint(120, 150) << Colour::Black;
  QTest::newRow("bottom line of the lower table") << QPoint(60, 496) << Colour::Black;
}

// Through the widget, so the check also covers the channel order of decoding and drawing. The
// widget is larger than the picture: a centred or stretched picture would miss the frame.
void JpegPictureTest::showsFrameRuleAndTable() {
  QFETCH(QPoint, at);
  QFETCH(Colour, colour);

  JpegPicture picture(jpeg_, nullptr);
  picture.resize(640, 540);
  const QRgb pixel = picture.grab().toImage().pixel(at);
  QVERIFY2(Is(colour, pixel), qPrintable(QColor(pixel).name()));
}

QTEST_MAIN(JpegPictureTest)
#include "JpegPictureTest.moc"
