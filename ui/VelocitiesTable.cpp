#include "VelocitiesTable.h"

#include <QStringList>

namespace Velocities {

QString AccessibleName() {
  return QStringLiteral("Recommended and maximum velocities");
}

QString Description() {
  QStringList lines;
  for (const VelocityTable& table : Tables) {
    lines.append(QString::fromUtf8(table.Title) + QLatin1Char('.'));
    QString group;
    for (const RowLabel& row : Rows) {
      if (row.ValueRow == GroupRow) {
        group = QString::fromUtf8(row.Text);
        continue;
      }
      const auto& texts = table.Values[static_cast<std::size_t>(row.ValueRow)];
      QStringList values;
      for (std::size_t column = 0; column < Headings.size(); ++column) {
        QString heading = QString::fromUtf8(Headings[column]);
        heading.replace(QLatin1Char('\n'), QLatin1Char(' '));
        values.append(heading + QLatin1Char(' ') + QString::fromUtf8(texts[column]));
      }
      lines.append(group + QStringLiteral(", ") + QString::fromUtf8(row.Text) +
                   QStringLiteral(": ") + values.join(QStringLiteral(", ")) + QLatin1Char('.'));
    }
  }
  return lines.join(QLatin1Char('\n'));
}

} // namespace Velocities
