#include "DecimalSeparator.h"

#include <QLocale>
#include <QString>

#include "NumberText.h"

void ReadDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  const bool single = point.size() == 1 && !point.front().isSurrogate();
  gustrule::SetDecimalSeparator(single ? point.front().unicode() : u'.');
}
