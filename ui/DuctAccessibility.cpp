#include "DuctAccessibility.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

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

} // namespace

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

  // A hint shows wherever the pointer rests over its box, so it describes every input inside.
  w.EditRoundVolume->setAccessibleDescription(w.GroupBox1->toolTip());
  w.EditRoundLength->setAccessibleDescription(w.GroupBox2->toolTip());
  for (int index = 0; w.RadioGroupDTChoice(index) != nullptr; ++index) {
    w.RadioGroupDTChoice(index)->setAccessibleDescription(w.RadioGroupDT->toolTip());
  }

  w.SGRoundDuct->setAccessibleName(PageCaption(w.PageControl, w.TabSheetRound));
  w.SGRectDuct->setAccessibleName(PageCaption(w.PageControl, w.TabSheetRectangular));
  w.SGconversions->setAccessibleName(PageCaption(w.PageControl, w.TabSheetConversions));

  w.Image1->setAccessibleName(Velocities::AccessibleName());
  w.Image1->setAccessibleDescription(Velocities::Description());
}
