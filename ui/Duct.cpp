#include "Duct.h"

#include <array>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

#include "About.h"
#include "Appearance.h"
#include "FailureReport.h"
#include "JpegPicture.h"
#include "RectDuct.h"
#include "RoundDuct.h"
#include "TextGrid.h"

// The window is laid out in fixed pixels, designed at 96 dpi: every position and size below is
// the design's and is not scaled. Each page's geometry stands in one block in its Build function.

namespace {

constexpr int kHintDurationMs = 2500;
constexpr int kGridRowHeight = 16;
constexpr int kUnitListRows = 8;

QLineEdit* MakeEdit(QWidget* parent, QRect geometry, const QString& text, int maxLength) {
  auto* edit = new QLineEdit(text, parent);
  edit->setGeometry(geometry);
  if (maxLength > 0) {
    edit->setMaxLength(maxLength);
  }
  return edit;
}

QLabel* MakeLabel(QWidget* parent, QPoint position, const QString& caption, const QFont& font) {
  auto* label = new QLabel(caption, parent);
  label->setFont(font);
  label->move(position);
  label->adjustSize(); // labels size themselves to their caption
  return label;
}

QGroupBox* MakeGroupBox(QWidget* parent, QRect geometry, const QString& caption,
                        const QFont& font) {
  auto* box = new QGroupBox(caption, parent);
  box->setGeometry(geometry);
  box->setFont(font);
  return box;
}

QFrame* MakePanel(QWidget* parent, QRect geometry, QColor colour, bool raised, const QFont& font) {
  auto* panel = new QFrame(parent);
  panel->setGeometry(geometry);
  panel->setFrameStyle(raised ? (QFrame::Panel | QFrame::Raised) : QFrame::NoFrame);
  panel->setLineWidth(1);
  panel->setFont(font);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, colour);
  panel->setPalette(palette);
  panel->setAutoFillBackground(true);
  return panel;
}

// A result grid: row 0 has no height, every other row 16 px, all columns `width` wide except a
// fixed first column of `fixedWidth` when given.
TextGrid* MakeGrid(QWidget* parent, QRect geometry, int columns, int rows, int width,
                   int fixedWidth, const QFont& font) {
  auto* grid = new TextGrid(columns, rows, parent);
  grid->setGeometry(geometry);
  grid->setFont(font);
  for (int column = 0; column < columns; ++column) {
    grid->SetColumnWidth(column, column == 0 && fixedWidth > 0 ? fixedWidth : width);
  }
  grid->SetRowHeight(0, 0);
  for (int row = 1; row < rows; ++row) {
    grid->SetRowHeight(row, kGridRowHeight);
  }
  grid->SetFixedColumns(fixedWidth > 0 ? 1 : 0);
  if (fixedWidth == 0) {
    // The one-row grids have no scroll bars; their last column is simply cut at the edge.
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  return grid;
}

std::string Utf8(const QString& text) {
  return text.toStdString();
}

} // namespace

TQuellbornDuct::TQuellbornDuct(QWidget* parent) : QMainWindow(parent) {
  BuildWindow();
  BuildRoundPage();
  BuildRectangularPage();
  BuildVelocitiesPage();
  BuildConversionsPage();
  BuildMenu();
  SetUpKeyboard();
  NameControls();
  ConnectHandlers();
  Guarded([this] { FormCreate(); });
}

TQuellbornDuct::~TQuellbornDuct() {
  // Destroying the controls moves the focus; by then this window is no longer whole.
  disconnect(focusWatch_);
}

void TQuellbornDuct::BuildWindow() {
  setWindowTitle(QStringLiteral("Quellborn Gustrule"));
  setWindowIcon(DuctIcon());
  // Minimise and close, no maximise; with a fixed size window managers offer no resizing.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  auto* client = new QWidget(this);
  client->setFixedSize(606, 526);
  setCentralWidget(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  // The page control reaches past the client area's left, right and bottom edges, where its
  // own border is cut off.
  PageControl = new QTabWidget(client);
  PageControl->setGeometry(-1, 0, 610, 529);
  PageControl->setFont(UiFont(11, true));
  PageControl->setUsesScrollButtons(false);
  TabSheetRound = new QWidget;
  TabSheetRound->setFont(UiFont(11, false));
  TabSheetRectangular = new QWidget;
  TabSheetRecDuctVelocities = new QWidget;
  TabSheetRecDuctVelocities->setFocusPolicy(Qt::ClickFocus); // takes focus only on a page switch
  TabSheetConversions = new QWidget;
  PageControl->addTab(TabSheetRound, QStringLiteral(" Round Duct "));
  PageControl->addTab(TabSheetRectangular, QStringLiteral(" Rectangular Duct "));
  PageControl->addTab(TabSheetRecDuctVelocities, QStringLiteral(" Recommended Velocities "));
  PageControl->addTab(TabSheetConversions, QStringLiteral(" Conversions "));
}

void TQuellbornDuct::BuildRoundPage() {
  const QFont bold11 = UiFont(11, true);
  const QFont bold13 = UiFont(13, true);
  Panel1 = MakePanel(TabSheetRound, {0, 0, 601, 497}, Qt::white, true, UiFont(11, false));

  RadioGroupDT = MakeGroupBox(Panel1, {8, 0, 136, 57}, QStringLiteral("Duct Type"), bold13);
  RadioGroupDTSpiral = new QRadioButton(QStringLiteral("Spiral"), RadioGroupDT);
  RadioGroupDTSpiral->setGeometry(8, 17, 120, 18);
  RadioGroupDTFlexible = new QRadioButton(QStringLiteral("Flexible"), RadioGroupDT);
  RadioGroupDTFlexible->setGeometry(8, 35, 120, 18);
  ductTypes_ = new QButtonGroup(RadioGroupDT);
  ductTypes_->addButton(RadioGroupDTSpiral, 0);
  ductTypes_->addButton(RadioGroupDTFlexible, 1);
  RadioGroupDTSpiral->setChecked(true);
  KeepRadioFocusOnSelection();

  GroupBox1 = MakeGroupBox(Panel1, {232, 0, 136, 57}, QStringLiteral("Air Volume Flow"), bold13);
  EditRoundVolume = MakeEdit(GroupBox1, {16, 24, 60, 24}, QStringLiteral("183.7"), 6);
  LabelRoundLPS = MakeLabel(GroupBox1, {80, 30}, QStringLiteral("l/s"), bold11);

  GroupBox2 = MakeGroupBox(Panel1, {456, 0, 136, 57}, QStringLiteral("Duct Length"), bold13);
  EditRoundLength = MakeEdit(GroupBox2, {16, 24, 60, 24}, QStringLiteral("1"), 4);
  LabelRoundDuctLength = MakeLabel(GroupBox2, {80, 30}, QStringLiteral("m"), bold11);

  SGRoundDuct = MakeGrid(Panel1, {8, 64, 585, 430}, gustrule::RoundDuctColumns,
                         gustrule::RoundDuctRows, 84, 72, bold11);
  SGRoundDuct->SetRowSelect(true);
  SGRoundDuct->SetRowMoving(true);
  SGRoundDuct->SetCopyEnabled(true);

  // The three hints, shown over their box and everything inside it.
  RadioGroupDT->setToolTip(QStringLiteral("Flexible fully extended"));
  GroupBox1->setToolTip(QStringLiteral("Litres per Second"));
  GroupBox2->setToolTip(QStringLiteral("Meters"));
  for (QWidget* hinted : {static_cast<QWidget*>(RadioGroupDT), static_cast<QWidget*>(GroupBox1),
                          static_cast<QWidget*>(GroupBox2)}) {
    hinted->setToolTipDuration(kHintDurationMs);
  }
}

void TQuellbornDuct::BuildRectangularPage() {
  const QFont bold11 = UiFont(11, true);
  const QFont bold13 = UiFont(13, true);
  Panel2 = MakePanel(TabSheetRectangular, {0, 0, 601, 497}, Qt::white, true, bold11);

  GroupBox3 = MakeGroupBox(Panel2, {8, 0, 136, 57}, QStringLiteral("Air Volume Flow"), bold13);
  EditRectAirVol = MakeEdit(GroupBox3, {16, 24, 60, 24}, QStringLiteral("183.7"), 6);
  LabelRectLPS = MakeLabel(GroupBox3, {80, 32}, QStringLiteral("l/s"), bold11);

  GroupBox4 = MakeGroupBox(Panel2, {168, 0, 256, 57}, QStringLiteral("Rect Duct Sides"), bold13);
  EditRectSideA = MakeEdit(GroupBox4, {16, 24, 60, 24}, QStringLiteral("212"), 6);
  LabelRectDuctSideA = MakeLabel(GroupBox4, {80, 32}, QStringLiteral("mm"), bold11);
  EditRectSideB = MakeEdit(GroupBox4, {152, 24, 60, 24}, QStringLiteral("212"), 6);
  LabelRectDuctSideB = MakeLabel(GroupBox4, {219, 32}, QStringLiteral("mm"), bold11);

  GroupBox5 = MakeGroupBox(Panel2, {448, 0, 136, 57}, QStringLiteral("Rect Duct Length"), bold13);
  EditRectLength = MakeEdit(GroupBox5, {16, 24, 60, 24}, QStringLiteral("1"), 4);
  LabelRectDuctLength = MakeLabel(GroupBox5, {87, 32}, QStringLiteral("m"), bold11);

  SGRectDuct = MakeGrid(Panel2, {8, 80, 585, 39}, gustrule::RectDuctColumns, gustrule::RectDuctRows,
                        117, 0, bold11);
  SGRectDuct->setEnabled(false);
}

void TQuellbornDuct::BuildVelocitiesPage() {
  // The picture is compiled in; should it ever be missing, the page simply stays empty (the
  // picture widget reports the empty data once).
  QFile picture(QStringLiteral(":/velocities.jpg"));
  const QByteArray jpeg = picture.open(QIODevice::ReadOnly) ? picture.readAll() : QByteArray();
  Image1 = new JpegPicture(jpeg, TabSheetRecDuctVelocities);
  Image1->setGeometry(0, 0, 600, 500);
}

void TQuellbornDuct::BuildConversionsPage() {
  const QFont bold11 = UiFont(11, true);
  Panel3 = MakePanel(TabSheetConversions, {0, 0, 601, 497},
                     palette().color(QPalette::HighlightedText), false, bold11);

  SGconversions = MakeGrid(Panel3, {8, 106, 585, 39}, gustrule::ConversionColumns,
                           gustrule::ConversionRows, 146, 0, bold11);
  SGconversions->setEnabled(false);

  GroupBox6 = MakeGroupBox(Panel3, {8, 0, 585, 89}, QStringLiteral("Volume Flow Unit Conversions"),
                           UiFont(13, true));
  Label1 = MakeLabel(GroupBox6, {40, 28}, QStringLiteral("Volume Flow"), bold11);
  Label2 = MakeLabel(GroupBox6, {200, 28}, QStringLiteral("Original Units"), bold11);
  EditVolConv = MakeEdit(GroupBox6, {16, 48, 121, 21}, QStringLiteral("183.7"), 0);
  EditVolConv->setFont(bold11);

  ComboBoxVFUnits = new QComboBox(GroupBox6);
  ComboBoxVFUnits->setGeometry(168, 48, 145, 21);
  ComboBoxVFUnits->setFont(bold11);
  // This order keeps the text as set and stops typed texts from completing or becoming items.
  ComboBoxVFUnits->setEditable(true);
  for (const std::string_view unit : gustrule::ConversionUnits) {
    ComboBoxVFUnits->addItem(QString::fromUtf8(unit.data(), static_cast<qsizetype>(unit.size())));
  }
  ComboBoxVFUnits->setCurrentIndex(-1);
  ComboBoxVFUnits->setEditText(QStringLiteral("Select Volume Units"));
  ComboBoxVFUnits->setInsertPolicy(QComboBox::NoInsert);
  ComboBoxVFUnits->setCompleter(nullptr);
  ComboBoxVFUnits->setMaxVisibleItems(kUnitListRows);
}

void TQuellbornDuct::BuildMenu() {
  menuBar()->setNativeMenuBar(false); // keep the menu in the window on global-menu desktops
  File1 = menuBar()->addMenu(QStringLiteral("File"));
  Close1 = File1->addAction(QStringLiteral("Close"));
  QuellbornLtd1 = menuBar()->addMenu(QStringLiteral("Quellborn Ltd"));
  About1 = QuellbornLtd1->addAction(QStringLiteral("About"));
}

void TQuellbornDuct::SetUpKeyboard() {
  // Tab order: the tabs, then each page's items; hidden pages are skipped and the last item of
  // the visible page leads back to the tabs.
  const QList<QWidget*> order = {PageControl->tabBar(), SGRoundDuct,        EditRoundVolume,
                                 EditRoundLength,       RadioGroupDTSpiral, RadioGroupDTFlexible,
                                 EditRectAirVol,        EditRectSideA,      EditRectSideB,
                                 EditRectLength,        EditVolConv,        ComboBoxVFUnits};
  for (qsizetype i = 1; i < order.size(); ++i) {
    QWidget::setTabOrder(order[i - 1], order[i]);
  }
  for (QLineEdit* edit : {EditRoundVolume, EditRoundLength, EditRectAirVol, EditRectSideA,
                          EditRectSideB, EditRectLength, EditVolConv}) {
    edit->installEventFilter(this);
  }
  PageControl->tabBar()->setFocus();
}

void TQuellbornDuct::NameControls() {
  // Each control answers to its design name (findChild, accessibility, style sheets).
  const std::pair<QObject*, const char*> names[] = {
      {this, "QuellbornDuct"},
      {PageControl, "PageControl"},
      {TabSheetRound, "TabSheetRound"},
      {TabSheetRectangular, "TabSheetRectangular"},
      {TabSheetRecDuctVelocities, "TabSheetRecDuctVelocities"},
      {TabSheetConversions, "TabSheetConversions"},
      {Panel1, "Panel1"},
      {RadioGroupDT, "RadioGroupDT"},
      {GroupBox1, "GroupBox1"},
      {EditRoundVolume, "EditRoundVolume"},
      {LabelRoundLPS, "LabelRoundLPS"},
      {GroupBox2, "GroupBox2"},
      {EditRoundLength, "EditRoundLength"},
      {LabelRoundDuctLength, "LabelRoundDuctLength"},
      {SGRoundDuct, "SGRoundDuct"},
      {Panel2, "Panel2"},
      {GroupBox3, "GroupBox3"},
      {EditRectAirVol, "EditRectAirVol"},
      {LabelRectLPS, "LabelRectLPS"},
      {GroupBox4, "GroupBox4"},
      {EditRectSideA, "EditRectSideA"},
      {LabelRectDuctSideA, "LabelRectDuctSideA"},
      {EditRectSideB, "EditRectSideB"},
      {LabelRectDuctSideB, "LabelRectDuctSideB"},
      {GroupBox5, "GroupBox5"},
      {EditRectLength, "EditRectLength"},
      {LabelRectDuctLength, "LabelRectDuctLength"},
      {SGRectDuct, "SGRectDuct"},
      {Image1, "Image1"},
      {Panel3, "Panel3"},
      {SGconversions, "SGconversions"},
      {GroupBox6, "GroupBox6"},
      {Label1, "Label1"},
      {Label2, "Label2"},
      {EditVolConv, "EditVolConv"},
      {ComboBoxVFUnits, "ComboBoxVFUnits"},
      {File1, "File1"},
      {Close1, "Close1"},
      {QuellbornLtd1, "QuellbornLtd1"},
      {About1, "About1"},
  };
  for (const auto& [control, name] : names) {
    control->setObjectName(QLatin1String(name));
  }
}

void TQuellbornDuct::ConnectHandlers() {
  const auto onEdit = [this](QLineEdit* edit, void (TQuellbornDuct::*handler)(QObject*)) {
    connect(edit, &QLineEdit::textEdited, this,
            [this, edit, handler] { Guarded([&] { (this->*handler)(edit); }); });
  };
  onEdit(EditRoundVolume, &TQuellbornDuct::EditRoundVolumeChange);
  onEdit(EditRoundLength, &TQuellbornDuct::EditRoundLengthChange);
  onEdit(EditRectAirVol, &TQuellbornDuct::EditRectAirVolChange);
  onEdit(EditRectSideA, &TQuellbornDuct::EditRectSideAChange);
  onEdit(EditRectSideB, &TQuellbornDuct::EditRectSideBChange);
  onEdit(EditRectLength, &TQuellbornDuct::EditRectLengthChange);
  onEdit(EditVolConv, &TQuellbornDuct::EditVolConvChange);
  connect(ComboBoxVFUnits, &QComboBox::editTextChanged, this,
          [this] { Guarded([this] { ComboBoxVFUnitsChange(ComboBoxVFUnits); }); });
  // Only a change of the selection runs the calculation; a click on the selected choice does not.
  connect(ductTypes_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) {
      KeepRadioFocusOnSelection();
      Guarded([this] { RadioGroupDTClick(RadioGroupDT); });
    }
  });
  connect(Close1, &QAction::triggered, this, [this] { Guarded([this] { Close1Click(Close1); }); });
  connect(About1, &QAction::triggered, this, [this] { Guarded([this] { About1Click(About1); }); });
  connect(PageControl, &QTabWidget::currentChanged, this, &TQuellbornDuct::PageChanged);
  focusWatch_ = connect(qApp, &QApplication::focusChanged, this,
                        [this](QWidget*, QWidget* now) { TrackFocus(now); });
}

void TQuellbornDuct::FormCreate() {
  gustrule::WriteHeadings(*SGRoundDuct, gustrule::RoundDuctHeadings);
  gustrule::WriteHeadings(*SGRectDuct, gustrule::RectDuctHeadings);
  gustrule::WriteHeadings(*SGconversions, gustrule::ConversionUnits);
  gustrule::SetSharedConstants(constants_);
  RoundDuctCalc();
  RectDuctCalc();
}

void TQuellbornDuct::RoundDuctCalc() {
  const auto& type = gustrule::DuctMaterials.at(static_cast<std::size_t>(RadioGroupDTItemIndex()));
  gustrule::RoundDuctCalc(constants_, Utf8(EditRoundVolume->text()), Utf8(EditRoundLength->text()),
                          type, *SGRoundDuct);
}

void TQuellbornDuct::RectDuctCalc() {
  gustrule::RectDuctCalc(constants_, Utf8(EditRectAirVol->text()), Utf8(EditRectSideA->text()),
                         Utf8(EditRectSideB->text()), Utf8(EditRectLength->text()), *SGRectDuct);
}

void TQuellbornDuct::ConversionsCalc() {
  conversions_.Calc(Utf8(EditVolConv->text()), Utf8(ComboBoxVFUnits->currentText()),
                    *SGconversions);
}

void TQuellbornDuct::EditRoundVolumeChange(QObject*) {
  RoundDuctCalc();
}
void TQuellbornDuct::EditRoundLengthChange(QObject*) {
  RoundDuctCalc();
}
void TQuellbornDuct::RadioGroupDTClick(QObject*) {
  RoundDuctCalc();
}
void TQuellbornDuct::EditRectAirVolChange(QObject*) {
  RectDuctCalc();
}
void TQuellbornDuct::EditRectSideAChange(QObject*) {
  RectDuctCalc();
}
void TQuellbornDuct::EditRectSideBChange(QObject*) {
  RectDuctCalc();
}
void TQuellbornDuct::EditRectLengthChange(QObject*) {
  RectDuctCalc();
}
void TQuellbornDuct::EditVolConvChange(QObject*) {
  ConversionsCalc();
}
void TQuellbornDuct::ComboBoxVFUnitsChange(QObject*) {
  ConversionsCalc();
}
void TQuellbornDuct::Close1Click(QObject*) {
  close();
}

void TQuellbornDuct::About1Click(QObject*) {
  if (FormAbout != nullptr) {
    FormAbout->ShowModal();
  }
}

int TQuellbornDuct::RadioGroupDTItemIndex() const {
  return ductTypes_->checkedId();
}

void TQuellbornDuct::KeepRadioFocusOnSelection() {
  // Tab into the group lands on the selected choice only when the other cannot take Tab focus.
  for (QAbstractButton* choice : ductTypes_->buttons()) {
    choice->setFocusPolicy(choice->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

void TQuellbornDuct::PageChanged(int index) {
  // Focus on the tabs stays there; focus that was inside the page just left moves to the first
  // item of the new page (Qt would restore the new page's last-focused item instead), or to the
  // page itself when it has none.
  if (!focusInPage_) {
    return;
  }
  const std::array<QWidget*, 4> firstItems = {SGRoundDuct, EditRectAirVol,
                                              TabSheetRecDuctVelocities, EditVolConv};
  firstItems.at(static_cast<std::size_t>(index))->setFocus(Qt::TabFocusReason);
}

void TQuellbornDuct::TrackFocus(QWidget* now) {
  if (now == PageControl->tabBar()) {
    focusInPage_ = false;
  } else if (now != nullptr && PageControl->isAncestorOf(now)) {
    focusInPage_ = true;
  }
}

void TQuellbornDuct::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) {
    ReadDecimalSeparator();
  }
  QMainWindow::changeEvent(event);
}

bool TQuellbornDuct::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    // Focus that does not come from a mouse click selects the whole text, so typing replaces it.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::MouseFocusReason && reason != Qt::ActiveWindowFocusReason &&
        reason != Qt::PopupFocusReason) {
      static_cast<QLineEdit*>(watched)->selectAll();
    }
  }
  return QMainWindow::eventFilter(watched, event);
}
