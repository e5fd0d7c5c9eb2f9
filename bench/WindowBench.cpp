// Window speed on the offscreen platform: a keystroke until the grid holds the new results and
// has repainted, on each calculating page, and the first drawing of the velocities picture.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QtTest>

#include <memory>

#include "Appearance.h"
#include "Duct.h"
#include "Extended.h"
#include "FailureReport.h"
#include "JpegPicture.h"
#include "TextGrid.h"

namespace {

// Types a digit, then takes it back, so every keystroke changes the table; each is one sample.
void Keystrokes(benchmark::State& state, QLineEdit* TQuellbornDuct::*edit, int page,
                TextGrid* TQuellbornDuct::*grid) {
  TQuellbornDuct window;
  window.ComboBoxVFUnits->setEditText(QStringLiteral("l/s"));
  window.PageControl->setCurrentIndex(page);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) {
    state.SkipWithError("the window was not exposed");
    return;
  }
  QLineEdit* box = window.*edit;
  box->setFocus();
  box->end(false);
  bool typed = false;
  for (auto _ : state) {
    QTest::keyClick(box, typed ? Qt::Key_Backspace : Qt::Key_1);
    typed = !typed;
    QApplication::processEvents(); // delivers the grid's repaint
  }
  benchmark::DoNotOptimize((window.*grid)->Cell(1, 2));
}

void KeystrokeRoundDuct(benchmark::State& state) {
  Keystrokes(state, &TQuellbornDuct::EditRoundVolume, 0, &TQuellbornDuct::SGRoundDuct);
}
BENCHMARK(KeystrokeRoundDuct)->Iterations(1000)->Unit(benchmark::kMicrosecond);

void KeystrokeRectangularDuct(benchmark::State& state) {
  Keystrokes(state, &TQuellbornDuct::EditRectAirVol, 1, &TQuellbornDuct::SGRectDuct);
}
BENCHMARK(KeystrokeRectangularDuct)->Iterations(1000)->Unit(benchmark::kMicrosecond);

void KeystrokeConversions(benchmark::State& state) {
  Keystrokes(state, &TQuellbornDuct::EditVolConv, 3, &TQuellbornDuct::SGconversions);
}
BENCHMARK(KeystrokeConversions)->Iterations(1000)->Unit(benchmark::kMicrosecond);

void FirstDrawOfVelocitiesPicture(benchmark::State& state) {
  QFile file(QStringLiteral(":/velocities.jpg"));
  file.open(QIODevice::ReadOnly);
  const QByteArray jpeg = file.readAll();
  for (auto _ : state) {
    state.PauseTiming();
    auto picture = std::make_unique<JpegPicture>(jpeg, nullptr);
    picture->resize(600, 500);
    state.ResumeTiming();
    benchmark::DoNotOptimize(picture->grab());
  }
}
BENCHMARK(FirstDrawOfVelocitiesPicture)->Iterations(50)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  gustrule::InitArithmetic();
  QApplication application(argc, argv);
  ApplyClassicLook();
  SetFailurePresenter([](const QString&, const QString&) {});
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
