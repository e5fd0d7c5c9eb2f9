// Command-line speed: sizing a schedule of 10,000 duct sections held in memory, from its text to
// the aligned table (reading, sizing, table, text). Run through tools/bench.sh, which reports
// medians. `cli_bench --print-schedule` prints the schedule instead, for timing gustrule-cli on
// the same text.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Constants.h"
#include "DuctMaterials.h"
#include "Extended.h"
#include "GridText.h"
#include "Sizing.h"
#include "StandardConstants.h"

namespace {

using namespace gustrule;
using namespace gustrule::cli;

constexpr int kSections = 10000;

// A mixed schedule: flows from 20 to 3000 l/s, both duct types, a tenth of the lines with limits
// of their own (one in a hundred that no size meets) and some quoted section names.
std::string Schedule() {
  std::string text = "section,flow,length,type,max_velocity,max_friction\n";
  const auto add = [&text](auto... parts) { ((text += parts), ...); };
  for (int i = 0; i < kSections; ++i) {
    const int flow = 20 + (i * 7919) % 2981;
    if (i % 7 == 0) {
      add("\"Riser ", std::to_string(i), ", level ", std::to_string(i % 9), "\"");
    } else {
      add("S", std::to_string(i));
    }
    add(",", std::to_string(flow), ".", std::to_string(i % 10), ",", std::to_string(1 + i % 25));
    add(i % 3 == 0 ? ",flexible," : ",spiral,");
    add(i % 100 == 0 ? "0.05,\n" : i % 10 == 0 ? "6,1.5\n" : ",\n");
  }
  return text;
}

void SizeScheduleOf10000Sections(benchmark::State& state) {
  const SharedConstants constants = Standard();
  const std::string text = Schedule();
  ScheduleDefaults defaults;
  defaults.Limits = {5, 1};
  std::size_t bytes = 0;
  for (auto _ : state) {
    const SizedSchedule sized = SizeSchedule(constants, text, defaults);
    const std::string table = GridText(ScheduleTable(sized), GridStyle::Aligned);
    bytes = table.size();
    benchmark::DoNotOptimize(table.data());
  }
  state.counters["output_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(SizeScheduleOf10000Sections)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  InitArithmetic();
  if (argc == 2 && std::strcmp(argv[1], "--print-schedule") == 0) {
    const std::string text = Schedule();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
