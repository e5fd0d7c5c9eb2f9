// Engine speed: one full round table, one rectangular row, one conversion run, and reading and
// formatting typical texts. Run through tools/bench.sh, which reports medians.
#include <benchmark/benchmark.h>

#include "Constants.h"
#include "Conversions.h"
#include "Extended.h"
#include "NumberText.h"
#include "RecordingSink.h"
#include "RectDuct.h"
#include "RoundDuct.h"
#include "StandardConstants.h"

namespace {

using namespace gustrule;

// Keeps every text, as a grid would, so the copies are part of the measured work.
RecordingSink Grid(int columns, int rows) {
  return RecordingSink(columns, rows, "", RecordingSink::Record::CountOnly);
}

void RoundTable(benchmark::State& state) {
  const SharedConstants constants = Standard();
  RecordingSink sink = Grid(RoundDuctColumns, RoundDuctRows);
  for (auto _ : state) {
    RoundDuctCalc(constants, "183.7", "1", DuctMaterials[0], sink);
  }
  benchmark::DoNotOptimize(sink.WriteCount());
  state.counters["cells"] =
      static_cast<double>(sink.WriteCount()) / static_cast<double>(state.iterations());
}
BENCHMARK(RoundTable);

void RectangularRow(benchmark::State& state) {
  const SharedConstants constants = Standard();
  RecordingSink sink = Grid(RectDuctColumns, RectDuctRows);
  for (auto _ : state) {
    RectDuctCalc(constants, "183.7", "212", "212", "1", sink);
  }
  benchmark::DoNotOptimize(sink.WriteCount());
}
BENCHMARK(RectangularRow);

void ConversionRun(benchmark::State& state) {
  Conversions conversions;
  RecordingSink sink = Grid(ConversionColumns, ConversionRows);
  for (auto _ : state) {
    conversions.Calc("183.7", "m³/hr", sink);
  }
  benchmark::DoNotOptimize(sink.WriteCount());
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
