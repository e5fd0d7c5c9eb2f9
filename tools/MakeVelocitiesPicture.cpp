// Draws the picture of the Recommended Velocities page and writes it as a baseline JFIF JPEG:
//
//   make-velocities-picture ui/velocities.jpg
//
// The picture is a fixed reference table; this program is how it is made again after a change.
// Its texts and values are in ui/VelocitiesTable.h, its layout below.

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "VelocitiesTable.h"

namespace {

// The tables themselves are shared with the window, which reads them out to screen readers.
using Velocities::GroupRow;
using Velocities::Headings;
using Velocities::RowLabel;
using Velocities::Rows;
using Velocities::Tables;
using Velocities::VelocityTable;

// Geometry in pixels from the picture's top-left corner. The lower half repeats the upper
// one HalfOffset lower. The table's outer columns end at the picture's edges, so the frame
// is also the table's left and right border.
constexpr int Width = 600;
constexpr int Height = 500;
constexpr int FrameWidth = 3;
constexpr int RuleTop = 245; // rows 245 to 247
constexpr int RuleThickness = 3;
constexpr int HalfOffset = 251;
constexpr int TitleLeft = 8;
constexpr int TitleTop = 25; // the title's letters fill rows 25 to 40
constexpr int TableTop = 47;
constexpr int ColumnWidth = 120; // the label column and each of the four value columns
constexpr int HeadingHeight = 30;
constexpr int RowHeight = 28;
constexpr int GroupLabelLeft = 8;
constexpr int ItemLabelLeft = 20;

// The picture has room for exactly what the tables hold: a row, a heading or a table more would be
// drawn over the rule or past the picture's edge.
static_assert(TableTop + HeadingHeight + static_cast<int>(Rows.size()) * RowHeight <= RuleTop,
              "Velocities::Rows: the picture (600 x 500 px) has no room below the rows' table "
              "for one more row");
static_assert(static_cast<int>(Headings.size() + 1) * ColumnWidth <= Width,
              "Velocities::Headings: the picture (600 px wide) has no room for one more column");
static_assert(static_cast<int>(Tables.size() - 1) * HalfOffset + RuleTop <= Height - FrameWidth,
              "Velocities::Tables: the picture (500 px high) has no room for one more table");

const QColor FrameBlue(0, 0, 255);
const QColor TitleBlue(0, 0, 205);
const QColor LineBlack(0, 0, 0);
const QColor TextBlack(0, 0, 0);

constexpr int JpegQuality = 92;

QFont PictureFont(int pixelSize, bool bold) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

// Bold, widely spaced; 17 px DejaVu Sans Bold puts capitals and brackets 16 px tall.
QFont TitleFont() {
  QFont font = PictureFont(17, true);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 3);
  return font;
}

void DrawTitle(QPainter& painter, int top, const QString& title) {
  painter.setFont(TitleFont());
  painter.setPen(TitleBlue);
  // Placed by its ink, not by the font's ascent and side bearing, so that the letters start
  // exactly at TitleLeft and `top`.
  const QRect ink = painter.fontMetrics().tightBoundingRect(title);
  painter.drawText(TitleLeft - ink.left(), top - ink.top(), title);
}

// Lines are filled rectangles so that each one covers whole pixels, untouched by antialiasing.
void DrawTableLines(QPainter& painter, int top) {
  const int bottom = top + HeadingHeight + static_cast<int>(Rows.size()) * RowHeight;
  const int inside = Width - 2 * FrameWidth;
  painter.fillRect(FrameWidth, top, inside, 1, LineBlack);
  for (int y = top + HeadingHeight; y <= bottom; y += RowHeight) {
    painter.fillRect(FrameWidth, y, inside, 1, LineBlack);
  }
  for (int x = ColumnWidth; x < Width; x += ColumnWidth) {
    painter.fillRect(x, top, 1, bottom - top, LineBlack);
  }
}

// The space between the lines around column `column` (0 is the label column) from y to y + height.
QRect Cell(int column, int y, int height) {
  return {column * ColumnWidth + 1, y + 1, ColumnWidth - 1, height - 1};
}

void DrawTable(QPainter& painter, int top, const VelocityTable& table) {
  DrawTableLines(painter, top);
  painter.setPen(TextBlack);

  painter.setFont(PictureFont(12, true));
  for (std::size_t i = 0; i < Headings.size(); ++i) {
    painter.drawText(Cell(static_cast<int>(i) + 1, top, HeadingHeight), Qt::AlignCenter,
                     QString::fromUtf8(Headings[i]));
  }

  int y = top + HeadingHeight;
  for (const RowLabel& row : Rows) {
    const bool group = row.ValueRow == GroupRow;
    QRect label = Cell(0, y, RowHeight);
    label.setLeft(group ? GroupLabelLeft : ItemLabelLeft);
    painter.setFont(PictureFont(13, group));
    painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(row.Text));
    if (!group) {
      const auto& values = table.Values[static_cast<std::size_t>(row.ValueRow)];
      for (std::size_t i = 0; i < values.size(); ++i) {
        painter.drawText(Cell(static_cast<int>(i) + 1, y, RowHeight), Qt::AlignCenter,
                         QString::fromUtf8(values[i]));
      }
    }
    y += RowHeight;
  }
}

QImage DrawPicture() {
  QImage image(Width, Height, QImage::Format_RGB888);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);

  for (std::size_t half = 0; half < Tables.size(); ++half) {
    const int offset = static_cast<int>(half) * HalfOffset;
    DrawTitle(painter, TitleTop + offset, QString::fromUtf8(Tables[half].Title));
    DrawTable(painter, TableTop + offset, Tables[half]);
  }

  // Frame and rule last, over the table's outer lines.
  painter.fillRect(0, 0, Width, FrameWidth, FrameBlue);
  painter.fillRect(0, Height - FrameWidth, Width, FrameWidth, FrameBlue);
  painter.fillRect(0, 0, FrameWidth, Height, FrameBlue);
  painter.fillRect(Width - FrameWidth, 0, FrameWidth, Height, FrameBlue);
  painter.fillRect(0, RuleTop, Width, RuleThickness, FrameBlue);
  return image;
}

// Baseline JFIF, quality 92, without chroma subsampling so that the blue letters keep edges as
// sharp as the black ones. libjpeg's own error handling (message, then exit) suits this
// one-shot program.
QByteArray EncodeJpeg(QImage image) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);

  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);

  info.image_width = static_cast<JDIMENSION>(image.width());
  info.image_height = static_cast<JDIMENSION>(image.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, JpegQuality, TRUE);
  info.write_JFIF_header = TRUE;
  info.comp_info[0].h_samp_factor = 1;
  info.comp_info[0].v_samp_factor = 1;

  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.next_scanline));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);

  QByteArray jpeg(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
  std::free(buffer);
  return jpeg;
}

} // namespace

int main(int argc, char* argv[]) {
  // Drawing into an image needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  const QStringList arguments = QGuiApplication::arguments();
  if (arguments.size() != 2) {
    std::fputs("usage: make-velocities-picture OUTPUT.jpg\n", stderr);
    return 2;
  }
  // Another family would move every text; refuse rather than write a different picture.
  const QString family = QFontInfo(PictureFont(13, false)).family();
  if (family != QStringLiteral("DejaVu Sans")) {
    std::fprintf(stderr, "make-velocities-picture: DejaVu Sans is not installed (got %s)\n",
                 qPrintable(family));
    return 1;
  }

  const QByteArray jpeg = EncodeJpeg(DrawPicture());
  QSaveFile file(arguments.at(1));
  if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size() || !file.commit()) {
    std::fprintf(stderr, "make-velocities-picture: cannot write %s: %s\n",
                 qPrintable(arguments.at(1)), qPrintable(file.errorString()));
    return 1;
  }
  return 0;
}
