#pragma once

#include <QList>
#include <QMainWindow>
#include <QRect>
#include <QStringView>

#include "Constants.h"
#include "Conversions.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QTabWidget;
class JpegPicture;
class TextGrid;
class TFormAbout;

// The main window: four pages (round duct table, rectangular duct, recommended velocities,
// conversions) and a menu. Every input change runs exactly one calculation of its own page,
// which reads that page's inputs afresh and writes its own grid.
class TQuellbornDuct : public QMainWindow {
  Q_OBJECT
public:
  // Builds every control with its initial state (no notification fires), then runs FormCreate.
  explicit TQuellbornDuct(QWidget* parent = nullptr);
  ~TQuellbornDuct() override;
  TQuellbornDuct(const TQuellbornDuct&) = delete;
  TQuellbornDuct& operator=(const TQuellbornDuct&) = delete;

  // The About window shown by About1Click; created by start-up after this window.
  void SetAboutWindow(TFormAbout* about) { FormAbout = about; }

  // Creation step: headings of the three grids, the shared constants, then the round and the
  // rectangular calculation. A failure is reported and ends it at that point.
  void FormCreate();

  void RoundDuctCalc();
  void RectDuctCalc();
  void ConversionsCalc();

  // Handlers: each ignores its sender and calls one method.
  void EditRoundVolumeChange(QObject* Sender);
  void EditRoundLengthChange(QObject* Sender);
  void RadioGroupDTClick(QObject* Sender);
  void EditRectAirVolChange(QObject* Sender);
  void EditRectSideAChange(QObject* Sender);
  void EditRectSideBChange(QObject* Sender);
  void EditRectLengthChange(QObject* Sender);
  void EditVolConvChange(QObject* Sender);
  void ComboBoxVFUnitsChange(QObject* Sender);
  void Close1Click(QObject* Sender);
  void About1Click(QObject* Sender);

  // Selected duct type, the index of its material in gustrule::DuctMaterials: 0 "Spiral",
  // 1 "Flexible".
  int RadioGroupDTItemIndex() const;
  // The choice of RadioGroupDT for that index; nullptr outside the list.
  QRadioButton* RadioGroupDTChoice(int index) const;

  QTabWidget* PageControl = nullptr;
  QWidget* TabSheetRound = nullptr;
  QWidget* TabSheetRectangular = nullptr;
  QWidget* TabSheetRecDuctVelocities = nullptr;
  QWidget* TabSheetConversions = nullptr;

  QFrame* Panel1 = nullptr;
  QGroupBox* RadioGroupDT = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLineEdit* EditRoundVolume = nullptr;
  QLabel* LabelRoundLPS = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QLineEdit* EditRoundLength = nullptr;
  QLabel* LabelRoundDuctLength = nullptr;
  TextGrid* SGRoundDuct = nullptr;

  QFrame* Panel2 = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QLineEdit* EditRectAirVol = nullptr;
  QLabel* LabelRectLPS = nullptr;
  QGroupBox* GroupBox4 = nullptr;
  QLineEdit* EditRectSideA = nullptr;
  QLabel* LabelRectDuctSideA = nullptr;
  QLineEdit* EditRectSideB = nullptr;
  QLabel* LabelRectDuctSideB = nullptr;
  QGroupBox* GroupBox5 = nullptr;
  QLineEdit* EditRectLength = nullptr;
  QLabel* LabelRectDuctLength = nullptr;
  TextGrid* SGRectDuct = nullptr;

  JpegPicture* Image1 = nullptr;

  QFrame* Panel3 = nullptr;
  TextGrid* SGconversions = nullptr;
  QGroupBox* GroupBox6 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* EditVolConv = nullptr;
  QComboBox* ComboBoxVFUnits = nullptr;

  QMenu* File1 = nullptr;
  QAction* Close1 = nullptr;
  QMenu* QuellbornLtd1 = nullptr;
  QAction* About1 = nullptr;

  TFormAbout* FormAbout = nullptr;

private:
  using Handler = void (TQuellbornDuct::*)(QObject* Sender);
  // A page's controls in Tab order; the builders return them.
  using FocusOrder = QList<QWidget*>;

  void BuildWindow();
  FocusOrder BuildRoundPage(QWidget* sheet);
  FocusOrder BuildRectangularPage(QWidget* sheet);
  FocusOrder BuildVelocitiesPage(QWidget* sheet);
  FocusOrder BuildConversionsPage(QWidget* sheet);
  void BuildMenu();
  void SetUpKeyboard();
  void ConnectHandlers();
  QLineEdit* AddEdit(QWidget* parent, const char* name, QRect geometry, QStringView text,
                     int maxLength, Handler onChange);
  void PageChanged(int index);
  void TrackFocus(QWidget* now);
  void changeEvent(QEvent* event) override;
  void KeepRadioFocusOnSelection();
  bool eventFilter(QObject* watched, QEvent* event) override;

  gustrule::SharedConstants constants_;
  gustrule::Conversions conversions_;
  QButtonGroup* ductTypes_ = nullptr;
  QList<FocusOrder> pageFocus_; // per page, in page order
  QMetaObject::Connection focusWatch_;
  bool focusInPage_ = false; // the keyboard focus is inside a page, not on the tabs
};
