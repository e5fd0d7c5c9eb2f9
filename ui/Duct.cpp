#include "Duct.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "About.h"
#include "BoxHint.h"
#include "DecimalSeparator.h"
#include "DuctAccessibility.h"
#include "DuctLayout.h"
#include "DuctMaterials.h"
#include "FailureReport.h"
#include "Fonts.h"
#include "GridSink.h"
#include "JpegPicture.h"
#include "LineEditAccessible.h"
#include "NumberText.h"
#include "RectDuct.h"
#include "RoundDuct.h"
#include "TextGrid.h"

// The window is laid out in fixed pixels, designed at 96 dpi: every position and size below is
// the design's and is not scaled. Each page's geometry stands in one block in its Build function,
// except where the page shows a table of the engine (DuctLayout.h, which checks that it fits),
// and every control gets its name where it is made.

static_assert(DuctLayout::GridLine == TextGrid::GridLine &&
                  DuctLayout::GridFrame == TextGrid::FrameWidth,
              "DuctLayout.h measures the grids as TextGrid draws them");

namespace {

constexpr int kHintDurationMs = 2500;
constexpr int kUnitListRows = 8;
// Row 0 of every grid has no height; the calculations write their headings into row 1.
constexpr int kHeadingRow = 1;

// What the number boxes hold at start: the same duct on the first two pages and in the
// conversions (flow in l/s, length in m, sides in mm). Shown with the user's decimal separator
// (StartText), so that they read as these values in every locale.
constexpr QStringView kStartFlow = u"183.7";
constexpr QStringView kStartLength = u"1";
constexpr QStringView kStartSide = u"212";

// The most characters the number boxes take. Unlimited is spelled out: Qt's own default would
// cut a text at 32,767 characters.
constexpr int kFlowLimit = 6;
constexpr int kSideLimit = 6;
constexpr int kLengthLimit = 4;
constexpr int kUnlimitedLength = std::numeric_limits<int>::max();

template <typename Control> Control* Named(Control* control, const char* name) {
  control->setObjectName(QLatin1String(name));
  return control;
}

QLabel* MakeLabel(QWidget* parent, const char* name, QPoint position, const QString& caption,
                  const QFont& font) {
  auto* label = Named(new QLabel(caption, parent), name);
  label->setFont(font);
  label->move(position);
  label->adjustSize(); // labels size themselves to their caption
  return label;
}

QGroupBox* MakeGroupBox(QWidget* parent, const char* name, QRect geometry, const QString& caption,
                        const QFont& font) {
  auto* box = Named(new QGroupBox(caption, parent), name);
  box->setGeometry(geometry);
  box->setFont(font);
  return box;
}

QFrame* MakePanel(QWidget* parent, const char* name, QRect geometry, QColor colour, bool raised,
                  const QFont& font) {
  auto* panel = Named(new QFrame(parent), name);
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

// A result grid of `columns` by `rows` cells laid out as `layout` says; row 0 has no height.
TextGrid* MakeGrid(QWidget* parent, const char* name, const DuctLayout::Grid& layout, int columns,
                   int rows, const QFont& font) {
  auto* grid = Named(new TextGrid(columns, rows, parent), name);
  grid->setGeometry(layout.geometry);
  grid->setFont(font);
  const bool fixedColumn = layout.fixedColumnWidth > 0;
  for (int column = 0; column < columns; ++column) {
    grid->SetColumnWidth(column,
                         column == 0 && fixedColumn ? layout.fixedColumnWidth : layout.columnWidth);
  }
  grid->SetRowHeight(0, 0);
  for (int row = 1; row < rows; ++row) {
    grid->SetRowHeight(row, DuctLayout::GridRowHeight);
  }
  grid->SetFixedColumns(fixedColumn ? 1 : 0);
  grid->SetHeadingRow(kHeadingRow);
  if (!layout.scrollsSideways) {
    // The last column is simply cut at the grid's edge.
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  return grid;
}

// A start text as the user would type it: "." becomes the user's decimal separator.
QString StartText(QStringView text) {
  const char32_t separator = gustrule::DecimalSeparator();
  return text.toString().replace(u'.', QString::fromUcs4(&separator, 1));
}

// The program's icon at 32, 64 and 128 pixels, from the pictures compiled in. They are the ones
// make-icons draws with DuctIconPixmap (and checks); loading them costs a fraction of drawing
// the word three times, which would load three more sizes of the bold face at every start.
QIcon WindowIcon() {
  QIcon icon;
  for (const int size : {32, 64, 128}) {
    icon.addFile(QStringLiteral(":/icons/gustrule-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Utf8(const QString& text) {
  return text.toStdString();
}

} // namespace

TQuellbornDuct::TQuellbornDuct(QWidget* parent) : QMainWindow(parent) {
  InstallLineEditAccessible(); // before the first box is made, which keeps what it gets
  setObjectName(QStringLiteral("QuellbornDuct"));
  BuildWindow();
  BuildMenu();
  SetUpKeyboard();
  ConnectHandlers();
  DescribeForScreenReaders(*this);
  Guarded([this] { FormCreate(); });
}

TQuellbornDuct::~TQuellbornDuct() {
  // Destroying the controls moves the focus; by then this window is no longer whole.
  disconnect(focusWatch_);
}

void TQuellbornDuct::BuildWindow() {
  setWindowTitle(QStringLiteral("Quellborn Gustrule"));
  setWindowIcon(WindowIcon());
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
  PageControl = Named(new QTabWidget(client), "PageControl");
  PageControl->setGeometry(-1, 0, 610, 529);
  PageControl->setFont(UiFont(11, true));
  PageControl->setUsesScrollButtons(false);

  // The pages in tab order: each one's name, its tab's caption and the function that fills it.
  struct Page {
    const char* name;
    QStringView caption;
    FocusOrder (TQuellbornDuct::*build)(QWidget* sheet);
  };
  static constexpr Page kPages[] = {
      {"TabSheetRound", u" Round Duct ", &TQuellbornDuct::BuildRoundPage},
      {"TabSheetRectangular", u" Rectangular Duct ", &TQuellbornDuct::BuildRectangularPage},
      {"TabSheetRecDuctVelocities", u" Recommended Velocities ",
       &TQuellbornDuct::BuildVelocitiesPage},
      {"TabSheetConversions", u" Conversions ", &TQuellbornDuct::BuildConversionsPage},
  };
  for (const Page& page : kPages) {
    auto* sheet = Named(new TabSheet, page.name);
    PageControl->addTab(sheet, page.caption.toString());
    pageFocus_.append((this->*page.build)(sheet));
  }
}

TQuellbornDuct::FocusOrder TQuellbornDuct::BuildRoundPage(QWidget* sheet) {
  TabSheetRound = sheet;
  TabSheetRound->setFont(UiFont(11, false));
  const QFont bold11 = UiFont(11, true);
  const QFont bold13 = UiFont(13, true);
  Panel1 = MakePanel(sheet, "Panel1", {0, 0, 601, 497}, Qt::white, true, UiFont(11, false));

  RadioGroupDT = MakeGroupBox(Panel1, "RadioGroupDT", DuctLayout::DuctTypeBox,
                              QStringLiteral("Duct Type"), bold13);
  ductTypes_ = new QButtonGroup(RadioGroupDT);
  QRect choiceGeometry = DuctLayout::FirstDuctTypeChoice;
  for (const gustrule::DuctMaterial& material : gustrule::DuctMaterials) {
    auto* choice = new QRadioButton(FromUtf8(material.Caption), RadioGroupDT);
    choice->setGeometry(choiceGeometry);
    choiceGeometry.translate(0, choiceGeometry.height());
    ductTypes_->addButton(choice, static_cast<int>(ductTypes_->buttons().size()));
  }
  RadioGroupDTChoice(0)->setChecked(true);
  KeepRadioFocusOnSelection();

  GroupBox1 = MakeGroupBox(Panel1, "GroupBox1", {232, 0, 136, 57},
                           QStringLiteral("Air Volume Flow"), bold13);
  EditRoundVolume = AddEdit(GroupBox1, "EditRoundVolume", {16, 24, 60, 24}, kStartFlow, kFlowLimit,
                            &TQuellbornDuct::EditRoundVolumeChange);
  LabelRoundLPS = MakeLabel(GroupBox1, "LabelRoundLPS", {80, 30}, QStringLiteral("l/s"), bold11);

  GroupBox2 =
      MakeGroupBox(Panel1, "GroupBox2", {456, 0, 136, 57}, QStringLiteral("Duct Length"), bold13);
  EditRoundLength = AddEdit(GroupBox2, "EditRoundLength", {16, 24, 60, 24}, kStartLength,
                            kLengthLimit, &TQuellbornDuct::EditRoundLengthChange);
  LabelRoundDuctLength =
      MakeLabel(GroupBox2, "LabelRoundDuctLength", {80, 30}, QStringLiteral("m"), bold11);

  SGRoundDuct = MakeGrid(Panel1, "SGRoundDuct", DuctLayout::RoundGrid, gustrule::RoundDuctColumns,
                         gustrule::RoundDuctRows, bold11);
  SGRoundDuct->SetRowSelect(true);
  SGRoundDuct->SetRowMoving(true);
  SGRoundDuct->SetCopyEnabled(true);

  // The three hints, shown over their box and everything inside it.
  SetBoxHint(RadioGroupDT, QStringLiteral("Flexible fully extended"), kHintDurationMs);
  SetBoxHint(GroupBox1, QStringLiteral("Litres per Second"), kHintDurationMs);
  SetBoxHint(GroupBox2, QStringLiteral("Meters"), kHintDurationMs);

  FocusOrder order = {SGRoundDuct, EditRoundVolume, EditRoundLength};
  for (QAbstractButton* choice : ductTypes_->buttons()) {
    order.append(choice);
  }
  return order;
}

TQuellbornDuct::FocusOrder TQuellbornDuct::BuildRectangularPage(QWidget* sheet) {
  TabSheetRectangular = sheet;
  const QFont bold11 = UiFont(11, true);
  const QFont bold13 = UiFont(13, true);
  Panel2 = MakePanel(sheet, "Panel2", {0, 0, 601, 497}, Qt::white, true, bold11);

  GroupBox3 =
      MakeGroupBox(Panel2, "GroupBox3", {8, 0, 136, 57}, QStringLiteral("Air Volume Flow"), bold13);
  EditRectAirVol = AddEdit(GroupBox3, "EditRectAirVol", {16, 24, 60, 24}, kStartFlow, kFlowLimit,
                           &TQuellbornDuct::EditRectAirVolChange);
  LabelRectLPS = MakeLabel(GroupBox3, "LabelRectLPS", {80, 32}, QStringLiteral("l/s"), bold11);

  GroupBox4 = MakeGroupBox(Panel2, "GroupBox4", {168, 0, 256, 57},
                           QStringLiteral("Rect Duct Sides"), bold13);
  EditRectSideA = AddEdit(GroupBox4, "EditRectSideA", {16, 24, 60, 24}, kStartSide, kSideLimit,
                          &TQuellbornDuct::EditRectSideAChange);
  LabelRectDuctSideA =
      MakeLabel(GroupBox4, "LabelRectDuctSideA", {80, 32}, QStringLiteral("mm"), bold11);
  EditRectSideB = AddEdit(GroupBox4, "EditRectSideB", {152, 24, 60, 24}, kStartSide, kSideLimit,
                          &TQuellbornDuct::EditRectSideBChange);
  LabelRectDuctSideB =
      MakeLabel(GroupBox4, "LabelRectDuctSideB", {219, 32}, QStringLiteral("mm"), bold11);

  GroupBox5 = MakeGroupBox(Panel2, "GroupBox5", {448, 0, 136, 57},
                           QStringLiteral("Rect Duct Length"), bold13);
  EditRectLength = AddEdit(GroupBox5, "EditRectLength", {16, 24, 60, 24}, kStartLength,
                           kLengthLimit, &TQuellbornDuct::EditRectLengthChange);
  LabelRectDuctLength =
      MakeLabel(GroupBox5, "LabelRectDuctLength", {87, 32}, QStringLiteral("m"), bold11);

  SGRectDuct = MakeGrid(Panel2, "SGRectDuct", DuctLayout::RectGrid, gustrule::RectDuctColumns,
                        gustrule::RectDuctRows, bold11);
  SGRectDuct->setEnabled(false);

  return {EditRectAirVol, EditRectSideA, EditRectSideB, EditRectLength};
}

TQuellbornDuct::FocusOrder TQuellbornDuct::BuildVelocitiesPage(QWidget* sheet) {
  TabSheetRecDuctVelocities = sheet;
  sheet->setFocusPolicy(Qt::ClickFocus); // takes the focus only on a page switch
  // The picture is compiled in; should it ever be missing, the page simply stays empty (the
  // picture widget reports the empty data once).
  QFile picture(QStringLiteral(":/velocities.jpg"));
  const QByteArray jpeg = picture.open(QIODevice::ReadOnly) ? picture.readAll() : QByteArray();
  Image1 = Named(new JpegPicture(jpeg, sheet), "Image1");
  Image1->setGeometry(0, 0, 600, 500);
  return {};
}

TQuellbornDuct::FocusOrder TQuellbornDuct::BuildConversionsPage(QWidget* sheet) {
  TabSheetConversions = sheet;
  const QFont bold11 = UiFont(11, true);
  Panel3 = MakePanel(sheet, "Panel3", {0, 0, 601, 497}, palette().color(QPalette::HighlightedText),
                     false, bold11);

  SGconversions = MakeGrid(Panel3, "SGconversions", DuctLayout::ConversionsGrid,
                           gustrule::ConversionColumns, gustrule::ConversionRows, bold11);
  SGconversions->setEnabled(false);

  GroupBox6 = MakeGroupBox(Panel3, "GroupBox6", {8, 0, 585, 89},
                           QStringLiteral("Volume Flow Unit Conversions"), UiFont(13, true));
  Label1 = MakeLabel(GroupBox6, "Label1", {40, 28}, QStringLiteral("Volume Flow"), bold11);
  Label2 = MakeLabel(GroupBox6, "Label2", {200, 28}, QStringLiteral("Original Units"), bold11);
  EditVolConv = AddEdit(GroupBox6, "EditVolConv", {16, 48, 121, 21}, kStartFlow, kUnlimitedLength,
                        &TQuellbornDuct::EditVolConvChange);
  EditVolConv->setFont(bold11);

  ComboBoxVFUnits = Named(new QComboBox(GroupBox6), "ComboBoxVFUnits");
  ComboBoxVFUnits->setGeometry(168, 48, 145, 21);
  ComboBoxVFUnits->setFont(bold11);
  // This order keeps the text as set and stops typed texts from completing or becoming items.
  ComboBoxVFUnits->setEditable(true);
  for (const std::string_view unit : gustrule::ConversionUnits) {
    ComboBoxVFUnits->addItem(FromUtf8(unit));
  }
  ComboBoxVFUnits->setCurrentIndex(-1);
  ComboBoxVFUnits->setEditText(QStringLiteral("Select Volume Units"));
  ComboBoxVFUnits->setInsertPolicy(QComboBox::NoInsert);
  ComboBoxVFUnits->setCompleter(nullptr);
  ComboBoxVFUnits->setMaxVisibleItems(kUnitListRows);
  ComboBoxVFUnits->lineEdit()->setMaxLength(kUnlimitedLength);
  // The wheel changes the unit only when the list already has the focus, not while the pointer
  // just passes over it; nor does the wheel give it the focus.
  ComboBoxVFUnits->setFocusPolicy(Qt::StrongFocus);
  ComboBoxVFUnits->installEventFilter(this);

  return {EditVolConv, ComboBoxVFUnits};
}

void TQuellbornDuct::BuildMenu() {
  menuBar()->setNativeMenuBar(false); // keep the menu in the window on global-menu desktops
  File1 = Named(menuBar()->addMenu(QStringLiteral("File")), "File1");
  Close1 = Named(File1->addAction(QStringLiteral("Close")), "Close1");
  QuellbornLtd1 = Named(menuBar()->addMenu(QStringLiteral("Quellborn Ltd")), "QuellbornLtd1");
  About1 = Named(QuellbornLtd1->addAction(QStringLiteral("About")), "About1");
}

QLineEdit* TQuellbornDuct::AddEdit(QWidget* parent, const char* name, QRect geometry,
                                   QStringView text, int maxLength, Handler onChange) {
  auto* edit = Named(new QLineEdit(StartText(text), parent), name);
  edit->setGeometry(geometry);
  edit->setMaxLength(maxLength);
  edit->installEventFilter(this); // keyboard focus selects the whole text
  // Connected after the start text is set, so the start text runs nothing. Every later change
  // runs the handler once. Typing, pasting, cutting and undo emit textEdited and then
  // textChanged: the handler runs at once, for textEdited. A change that comes with textChanged
  // alone is assistive technology editing the box over the accessibility bus (nothing else in
  // the program sets these texts): the handler runs once the event loop is back, after the bus
  // has had its reply, so that a failure box it opens does not hold that reply.
  auto typed = std::make_shared<bool>(false);
  connect(edit, &QLineEdit::textEdited, this, [this, edit, onChange, typed] {
    *typed = true;
    Guarded([&] { (this->*onChange)(edit); });
  });
  connect(edit, &QLineEdit::textChanged, this, [this, edit, onChange, typed] {
    if (std::exchange(*typed, false)) {
      return;
    }
    QMetaObject::invokeMethod(
        edit, [this, edit, onChange] { Guarded([&] { (this->*onChange)(edit); }); },
        Qt::QueuedConnection);
  });
  return edit;
}

void TQuellbornDuct::SetUpKeyboard() {
  // Tab order: the tabs, then each page's items; hidden pages are skipped and the last item of
  // the visible page leads back to the tabs.
  QWidget* previous = PageControl->tabBar();
  for (const FocusOrder& page : pageFocus_) {
    for (QWidget* item : page) {
      QWidget::setTabOrder(previous, item);
      previous = item;
    }
  }
  PageControl->tabBar()->setFocus();
}

void TQuellbornDuct::ConnectHandlers() {
  // The edit boxes are connected where they are made (AddEdit).
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
  GridSink round(*SGRoundDuct);
  GridSink rectangular(*SGRectDuct);
  GridSink conversions(*SGconversions);
  gustrule::WriteHeadings(round, gustrule::RoundDuctHeadings);
  gustrule::WriteHeadings(rectangular, gustrule::RectDuctHeadings);
  gustrule::WriteHeadings(conversions, gustrule::ConversionUnits);
  gustrule::SetSharedConstants(constants_);
  RoundDuctCalc();
  RectDuctCalc();
}

void TQuellbornDuct::RoundDuctCalc() {
  // The rows go back into the order of the sizes; the selection stays on the sizes picked.
  const TextGrid::KeepSelection keepPicked(*SGRoundDuct, 0);
  const gustrule::DuctMaterial& material =
      gustrule::DuctMaterials.at(static_cast<std::size_t>(RadioGroupDTItemIndex()));
  GridSink grid(*SGRoundDuct);
  gustrule::RoundDuctCalc(constants_, Utf8(EditRoundVolume->text()), Utf8(EditRoundLength->text()),
                          material, grid);
}

void TQuellbornDuct::RectDuctCalc() {
  GridSink grid(*SGRectDuct);
  gustrule::RectDuctCalc(constants_, Utf8(EditRectAirVol->text()), Utf8(EditRectSideA->text()),
                         Utf8(EditRectSideB->text()), Utf8(EditRectLength->text()), grid);
}

void TQuellbornDuct::ConversionsCalc() {
  GridSink grid(*SGconversions);
  conversions_.Calc(Utf8(EditVolConv->text()), Utf8(ComboBoxVFUnits->currentText()), grid);
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

QRadioButton* TQuellbornDuct::RadioGroupDTChoice(int index) const {
  return qobject_cast<QRadioButton*>(ductTypes_->button(index));
}

void TQuellbornDuct::KeepRadioFocusOnSelection() {
  // Tab into the group lands on the selected choice only when the others cannot take Tab focus.
  for (QAbstractButton* choice : ductTypes_->buttons()) {
    choice->setFocusPolicy(choice->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

void TQuellbornDuct::PageChanged(int index) {
  // Focus on the tabs stays there; focus that was inside the page just left moves to the first
  // item of the new page (Qt would restore the new page's last-focused item instead), or to the
  // page itself when it has none.
  if (!focusInPage_ || index < 0 || index >= pageFocus_.size()) {
    return;
  }
  const FocusOrder& items = pageFocus_.at(index);
  QWidget* first = items.isEmpty() ? PageControl->widget(index) : items.front();
  first->setFocus(Qt::TabFocusReason);
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
  if (watched == ComboBoxVFUnits) {
    return event->type() == QEvent::Wheel && !ComboBoxVFUnits->hasFocus();
  }
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
