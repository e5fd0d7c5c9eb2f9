// Engine speed: one full round table, one rectangular row, one conversion run, and reading and
// formatting typical texts. Run through tools/bench.sh, which reports medians.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "CellGrid.h"
#include "Constants.h"
#include "Conversions.h"
#include "Extended.h"
#include "NumberText.h"
#include "RectDuct.h"
#include "RoundDuct.h"

namespace {

using namespace gustrule;

// Keeps every text, as a grid would, so the copies are part of the measured work.
class RecordingSink : public CellSink {
public:
  void SetCell(int column, int row, std::string_view text) override {
    cells_[static_cast<std::size_t>(row * 13 + column)] = text;
    ++writes_;
  }
  std::size_t Writes() const { return writes_; }

private:
  std::vector<std::string> cells_ = std::vector<std::string>(13 * 25);
  std::size_t writes_ = 0;
};

SharedConstants Standard() {
  SharedConstants constants;
  SetSharedConstants(constants);
  return constants;
}

void RoundTable(benchmark::State& state) {
  const SharedConstants constants = Standard();
  RecordingSink sink;
  for (auto _ : state) {
    RoundDuctCalc(constants, "183.7", "1", DuctMaterials[0], sink);
  }
  benchmark::DoNotOptimize(sink.Writes());
  state.counters["cells"] =
      static_cast<double>(sink.Writes()) / static_cast<double>(state.iterations());
}
BENCHMARK(RoundTable);

void RectangularRow(benchmark::State& state) {
  const SharedConstants constants = Standard();
  RecordingSink sink;
  for (auto _ : state) {
    RectDuctCalc(constants, "183.7", "212", "212", "1", sink);
  }
  benchmark::DoNotOptimize(sink.Writes());
}
BENCHMARK(RectangularRow);

void ConversionRun(benchmark::State& state) {
  Conversions conversions;
  RecordingSink sink;
  for (auto _ : state) {
    conversions.Calc("183.7", "m³/hr", sink);
  }
  benchmark::DoNotOptimize(sink.Writes());
}
BENCHMARK(ConversionRun);

void ReadTypicalTexts(benchmark::State& state) {
  const char* texts[] = {"183.7", "1", "212", "0.5", "-.5", "1e3", "abc", ""};
  for (auto _ : state) {
    for (const char* text : texts) {
      benchmark::DoNotOptimize(ReadNumber(text, 0.0001));
    }
  }
}
BENCHMARK(ReadTypicalTexts);

void FormatTypicalValues(benchmark::State& state) {
  const double values[] = {36.546, 222.46, 804.04, 0.015, 1500, 661.32, -0.001, 1e20};
  for (auto _ : state) {
    for (const double value : values) {
      benchmark::DoNotOptimize(FormatFixed(value, 1));
    }
  }
}
BENCHMARK(FormatTypicalValues);

} // namespace

int main(int argc, char** argv) {
  InitArithmetic();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
