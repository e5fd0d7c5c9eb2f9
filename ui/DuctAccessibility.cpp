#include "DuctAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QStringList>
#include <QTabWidget>

#include <memory>
#include <mutex>
#include <utility>

#include "Duct.h"
#include "JpegPicture.h"
#include "TextGrid.h"
#include "VelocitiesTable.h"

namespace {

// The two side boxes share one caption, "Rect Duct Sides"; these tell them apart.
constexpr QStringView kSideA = u"Side A";
constexpr QStringView kSideB = u"Side B";

// "Air Volume Flow (l/s)": what the box holds, then the unit on the label beside it.
QString WithUnit(QStringView what, const QLabel* unit) {
  return what.toString() + QStringLiteral(" (") + unit->text() + QLatin1Char(')');
}

// A page's tab caption without the spaces that pad it on the tab.
QString PageCaption(const QTabWidget* pages, const QWidget* page) {
  return pages->tabText(pages->indexOf(page)).trimmed();
}

QAccessibleInterface* TabSheetFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(TabSheet::staticMetaObject.className())) {
    if (auto* sheet = qobject_cast<TabSheet*>(object)) {
      return new QAccessibleWidget(sheet, QAccessible::Pane);
    }
  }
  return nullptr;
}

// "Eqiv Ø (mm) 233, Vel (m/s) 4.09": each heading of the grid with the value under it, in the
// first row below the headings; a column without a value is left out.
QString Results(const TextGrid& grid) {
  QStringList results;
  const int headingRow = grid.HeadingRow();
  for (int column = 0; column < grid.ColumnCount(); ++column) {
    const QString value = grid.Cell(column, headingRow + 1);
    if (!value.isEmpty()) {
      results.append(grid.Cell(column, headingRow) + QLatin1Char(' ') + value);
    }
  }
  return results.join(QStringLiteral(", "));
}

// Describes each of `inputs` by the results `grid` shows, now and after every change of its
// cells. A calculation writes several cells, so the descriptions follow once it has returned to
// the event loop: a listening screen reader is told of one new description per calculation, not
// of one per cell.
void DescribeByResults(TextGrid* grid, const QList<QWidget*>& inputs) {
  const auto describe = [grid, inputs] {
    const QString results = Results(*grid);
    for (QWidget* input : inputs) {
      if (input->accessibleDescription() != results) {
        input->setAccessibleDescription(results);
      }
    }
  };
  describe();
  auto pending = std::make_shared<bool>(false);
  QObject::connect(grid, &TextGrid::CellTextChanged, grid, [grid, describe, pending] {
    if (!std::exchange(*pending, true)) {
      QMetaObject::invokeMethod(
          grid,
          [describe, pending] {
            *pending = false;
            describe();
          },
          Qt::QueuedConnection);
    }
  });
}

} // namespace

TabSheet::TabSheet(QWidget* parent) : QWidget(parent) {
  static std::once_flag installed;
  std::call_once(installed, [] { QAccessible::installFactory(TabSheetFactory); });
}

void DescribeForScreenReaders(TQuellbornDuct& w) {
  w.EditRoundVolume->setAccessibleName(WithUnit(w.GroupBox1->title(), w.LabelRoundLPS));
  w.EditRoundLength->setAccessibleName(WithUnit(w.GroupBox2->title(), w.LabelRoundDuctLength));
  w.EditRectAirVol->setAccessibleName(WithUnit(w.GroupBox3->title(), w.LabelRectLPS));
  w.EditRectSideA->setAccessibleName(WithUnit(kSideA, w.LabelRectDuctSideA));
  w.EditRectSideB->setAccessibleName(WithUnit(kSideB, w.LabelRectDuctSideB));
  w.EditRectLength->setAccessibleName(WithUnit(w.GroupBox5->title(), w.LabelRectDuctLength));
  // On the conversions page the captions stand above the boxes and name them. On Linux Qt names
  // a combo box by its text and leaves its label to the "labelled by" relation, which a label's
  // buddy provides; a buddy has no other effect while the caption has no "&" mnemonic.
  w.EditVolConv->setAccessibleName(w.Label1->text());
  w.Label1->setBuddy(w.EditVolConv);
  w.ComboBoxVFUnits->setAccessibleName(w.Label2->text());
  w.ComboBoxVFUnits->lineEdit()->setAccessibleName(w.Label2->text());
  w.Label2->setBuddy(w.ComboBoxVFUnits);

  // A hint shows wherever the pointer rests over its box: it describes the box, and the number
  // box inside, which is all the box holds. The duct type's hint speaks of one choice only, so
  // it stays with the group instead of describing each choice.
  for (QGroupBox* box : {w.GroupBox1, w.GroupBox2, w.RadioGroupDT}) {
    box->setAccessibleDescription(box->toolTip());
  }
  w.EditRoundVolume->setAccessibleDescription(w.GroupBox1->toolTip());
  w.EditRoundLength->setAccessibleDescription(w.GroupBox2->toolTip());

  for (QWidget* page : {w.TabSheetRound, w.TabSheetRectangular, w.TabSheetRecDuctVelocities,
                        w.TabSheetConversions}) {
    page->setAccessibleName(PageCaption(w.PageControl, page));
  }
  w.SGRoundDuct->setAccessibleName(PageCaption(w.PageControl, w.TabSheetRound));
  w.SGRectDuct->setAccessibleName(PageCaption(w.PageControl, w.TabSheetRectangular));
  w.SGconversions->setAccessibleName(PageCaption(w.PageControl, w.TabSheetConversions));

  w.Image1->setAccessibleName(Velocities::AccessibleName());
  w.Image1->setAccessibleDescription(Velocities::Description());
  w.TabSheetRecDuctVelocities->setAccessibleDescription(
      Velocities::AccessibleName() + QStringLiteral(".\n") + Velocities::Description());

  DescribeByResults(w.SGRectDuct,
                    {w.EditRectAirVol, w.EditRectSideA, w.EditRectSideB, w.EditRectLength});
  DescribeByResults(w.SGconversions,
                    {w.EditVolConv, w.ComboBoxVFUnits, w.ComboBoxVFUnits->lineEdit()});
}
