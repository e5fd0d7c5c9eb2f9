// Command-line speed: sizing a schedule of 10,000 duct sections held in memory, from its text to
// the tab-separated lines (reading, sizing, writing). Run through tools/bench.sh, which reports
// medians. `cli_bench --print-schedule N` prints a schedule of N sections instead, for timing
// gustrule-cli on the same kind of text.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "Constants.h"
#include "Extended.h"
#include "Output.h"
#include "ScheduleOutput.h"
#include "ScheduleReader.h"
#include "Sizing.h"
#include "StandardConstants.h"

namespace {

using namespace gustrule;
using namespace gustrule::cli;

// A random mix, the same for every run: flows from 20 to 3000 l/s, lengths from 0.5 to 50 m,
// both duct types, a third of the lines with a velocity limit of their own and a third with a
// friction limit (one in a hundred so low that no size meets it), and some quoted section names.
std::string Schedule(int sections) {
  std::mt19937 random(20261209);
  const auto below = [&random](unsigned limit) { return random() % limit; };
  std::string text = "section,flow,length,type,max_velocity,max_friction\n";
  const auto add = [&text](auto... parts) { ((text += parts), ...); };
  for (int i = 0; i < sections; ++i) {
    if (below(7) == 0) {
      add("\"Riser ", std::to_string(i), ", level ", std::to_string(below(9)), "\"");
    } else {
      add("S", std::to_string(i));
    }
    add(",", std::to_string(20 + below(2980)), ".", std::to_string(below(10)));
    add(",", std::to_string(1 + below(50)), below(2) == 0 ? ".5" : "");
    add(below(3) == 0 ? ",flexible," : ",spiral,");
    add(below(3) == 0 ? std::to_string(3 + below(6)) : "", ",");
    add(below(100) == 0 ? "0.01" : below(3) == 0 ? "1." + std::to_string(below(10)) : "", "\n");
  }
  return text;
}

void SizeScheduleOf10000Sections(benchmark::State& state) {
  const SharedConstants constants = Standard();
  const std::string text = Schedule(10000);
  ScheduleDefaults defaults;
  defaults.Limits = {5, 1};
  std::size_t bytes = 0;
  for (auto _ : state) {
    TextSource source(text);
    ScheduleReader reader(source, {});
    StringOut out;
    std::string problem;
    const auto writer = MakeScheduleWriter({.Format = ScheduleFormat::Tsv}, out, problem);
    SizeSchedule(constants, reader, defaults, *writer, [](std::size_t, std::string_view) {});
    bytes = out.Text.size();
    benchmark::DoNotOptimize(out.Text.data());
  }
  state.counters["output_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(SizeScheduleOf10000Sections)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  InitArithmetic();
  if (argc == 3 && std::strcmp(argv[1], "--print-schedule") == 0) {
    const std::string text = Schedule(std::atoi(argv[2]));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
