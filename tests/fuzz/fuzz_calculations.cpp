// Input: one byte of switches (bit 0: the duct material, spiral or flexible; bit 1: "," as the
// decimal separator), then texts separated by 0x00 bytes:
//   volume, length                       the round duct table
//   flow, side A, side B, length         the rectangular duct
//   value, unit, value, unit, ...        runs of one Conversions object
// A unit text that is the single byte 0x01..0x04 stands for the real unit texts, so the fuzzer
// reaches the conversions without having to spell "m³/min".
//
// Only EZeroDivide, EInvalidOp and EOverflow may leave a calculation (a write outside the grid
// throws std::out_of_range, a fault like any other), and the writes must follow
// the grids' rules: the round table whole rows in order (all 23 on success), the rectangular
// duct's five cells or none, a conversion's four cells or none. A conversion that throws leaves
// the grid as it was; one whose unit matches none of the four keeps the earlier results.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "CellGrid.h"
#include "Constants.h"
#include "Conversions.h"
#include "Extended.h"
#include "Failures.h"
#include "NumberText.h"
#include "RecordingSink.h"
#include "RectDuct.h"
#include "RoundDuct.h"

namespace {

using gustrule::RecordingSink;

[[noreturn]] void Fail() {
  __builtin_trap();
}

constexpr std::size_t kMaxConversionRuns = 8;

// Runs a calculation; true when it completed, false when it raised one of the three
// arithmetic failures. Anything else escaping is a fault.
template <typename Calculation> bool Completes(Calculation&& calculation) {
  try {
    calculation();
    return true;
  } catch (const gustrule::EZeroDivide&) {
  } catch (const gustrule::EInvalidOp&) {
  } catch (const gustrule::EOverflow&) {
  } catch (...) {
    Fail();
  }
  return false;
}

// Checks writes [from, to) of `sink` are cells (0, row), (1, row), ... in order, `columns`
// per row, rows counting up from `firstRow`.
void CheckRowOrder(const RecordingSink& sink, std::size_t from, std::size_t to, int columns,
                   int firstRow) {
  for (std::size_t i = from; i < to; ++i) {
    const auto n = static_cast<int>(i - from);
    const RecordingSink::Write& w = sink.Writes()[i];
    if (w.column != n % columns || w.row != firstRow + n / columns) {
      Fail();
    }
  }
}

std::vector<std::string_view> SplitTexts(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string_view> texts;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = all.find('\0', start);
    if (end == std::string_view::npos) {
      texts.push_back(all.substr(start));
      return texts;
    }
    texts.push_back(all.substr(start, end - start));
    start = end + 1;
  }
}

void RoundDuct(const gustrule::SharedConstants& constants, std::string_view volume,
               std::string_view length, const gustrule::DuctMaterial& material) {
  RecordingSink sink(gustrule::RoundDuctColumns, gustrule::RoundDuctRows);
  const bool completed =
      Completes([&] { gustrule::RoundDuctCalc(constants, volume, length, material, sink); });
  const std::size_t writes = sink.Writes().size();
  const auto columns = static_cast<std::size_t>(gustrule::RoundDuctColumns);
  const std::size_t all = columns * gustrule::RoundDuctDiameters.size();
  if (completed ? writes != all : (writes % columns != 0 || writes >= all)) {
    Fail();
  }
  CheckRowOrder(sink, 0, writes, gustrule::RoundDuctColumns, gustrule::RoundDuctFirstValueRow);
}

void RectDuct(const gustrule::SharedConstants& constants,
              const std::array<std::string_view, 4>& texts) {
  RecordingSink sink(gustrule::RectDuctColumns, gustrule::RectDuctRows);
  const bool completed = Completes(
      [&] { gustrule::RectDuctCalc(constants, texts[0], texts[1], texts[2], texts[3], sink); });
  const std::size_t writes = sink.Writes().size();
  if (writes != (completed ? static_cast<std::size_t>(gustrule::RectDuctColumns) : 0)) {
    Fail();
  }
  CheckRowOrder(sink, 0, writes, gustrule::RectDuctColumns, gustrule::RectDuctValueRow);
}

std::string_view UnitText(std::string_view text) {
  if (text.size() == 1 && text[0] >= 1 && text[0] <= 4) {
    return gustrule::ConversionUnits[static_cast<std::size_t>(text[0] - 1)];
  }
  return text;
}

bool IsRealUnit(std::string_view unit) {
  for (std::string_view real : gustrule::ConversionUnits) {
    if (unit == real) {
      return true;
    }
  }
  return false;
}

void ConversionRuns(const std::vector<std::string_view>& texts, std::size_t first) {
  gustrule::Conversions conversions;
  RecordingSink sink(gustrule::ConversionColumns, gustrule::ConversionRows);
  for (std::size_t run = 0; run < kMaxConversionRuns && first + 2 * run < texts.size(); ++run) {
    const std::string_view value = texts[first + 2 * run];
    const std::size_t unitIndex = first + 2 * run + 1;
    const std::string_view unit = unitIndex < texts.size() ? UnitText(texts[unitIndex]) : "";

    const std::vector<std::string> cellsBefore = sink.Row(gustrule::ConversionValueRow);
    const std::array<double, gustrule::ConversionColumns> resultsBefore = conversions.Results();
    const std::size_t writesBefore = sink.Writes().size();
    const bool completed = Completes([&] { conversions.Calc(value, unit, sink); });
    const std::size_t writes = sink.Writes().size() - writesBefore;

    if (!completed) {
      if (writes != 0 || sink.Row(gustrule::ConversionValueRow) != cellsBefore) {
        Fail();
      }
      continue;
    }
    if (writes != static_cast<std::size_t>(gustrule::ConversionColumns)) {
      Fail();
    }
    CheckRowOrder(sink, writesBefore, sink.Writes().size(), gustrule::ConversionColumns,
                  gustrule::ConversionValueRow);
    if (!IsRealUnit(unit) && std::memcmp(resultsBefore.data(), conversions.Results().data(),
                                         sizeof resultsBefore) != 0) {
      Fail();
    }
  }
}

gustrule::SharedConstants& Constants() {
  static gustrule::SharedConstants constants;
  return constants;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  gustrule::InitArithmetic();
  gustrule::SetSharedConstants(Constants());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  const std::uint8_t switches = data[0];
  const gustrule::DuctMaterial& material = gustrule::DuctMaterials[switches & 1U];
  gustrule::SetDecimalSeparator((switches & 2U) != 0 ? U',' : U'.');

  const std::vector<std::string_view> texts = SplitTexts(data + 1, size - 1);
  const auto text = [&](std::size_t i) { return i < texts.size() ? texts[i] : std::string_view(); };

  RoundDuct(Constants(), text(0), text(1), material);
  RectDuct(Constants(), {text(2), text(3), text(4), text(5)});
  ConversionRuns(texts, 6);
  return 0;
}
