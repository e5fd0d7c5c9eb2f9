// The engine as the web page calls it: plain C functions over UTF-8 texts, each answering with a
// JSON text that stays valid until the next call. The page keeps its tables itself, as the
// window's grids do, and applies only the rows a calculation wrote; so a failure leaves the rows
// written before it new and every other row as it was.
//
// Every answer is {"failure": TEXT, "rows": [[ROW, [CELL, ...]], ...]}: the failure's text as
// the window shows it ("" when there was none) and the rows written, in the order written, each
// with its grid row number and its cells from column 0.

#include <emscripten/emscripten.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CellGrid.h"
#include "Constants.h"
#include "Conversions.h"
#include "DuctMaterials.h"
#include "Extended.h"
#include "Failures.h"
#include "NumberText.h"
#include "RectDuct.h"
#include "RoundDuct.h"
#include "RoundDuctSizing.h"
#include "Sizing.h"
#include "VelocitiesData.h"

namespace {

using gustrule::CellSink;

// The engine's state that outlives a call: the shared constants, set once, and the conversions,
// whose results persist while the unit text matches none of the units.
struct Session {
  Session() {
    gustrule::InitArithmetic();
    gustrule::SetSharedConstants(constants);
  }
  gustrule::SharedConstants constants;
  gustrule::Conversions conversions;
};

Session& TheSession() {
  static Session session;
  return session;
}

// The text of the last answer; the page reads it before its next call.
std::string& Answer() {
  static std::string answer;
  return answer;
}

// `text` as a JSON string. Control characters, which only a typed text echoed in a refusal or a
// heading's line break can hold, become \u00XX.
void AppendJsonString(std::string& out, std::string_view text) {
  constexpr std::string_view kHex = "0123456789abcdef";
  out += '"';
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (code < 0x20) {
      out += "\\u00";
      out += kHex[code >> 4U];
      out += kHex[code & 0xFU];
    } else {
      out += c;
    }
  }
  out += '"';
}

// `items` as a JSON array, each item written by `appendItem(out, item)`.
template <typename Items, typename AppendItem>
void AppendJsonArray(std::string& out, const Items& items, AppendItem appendItem) {
  out += '[';
  bool first = true;
  for (const auto& item : items) {
    if (!first) {
      out += ',';
    }
    first = false;
    appendItem(out, item);
  }
  out += ']';
}

template <typename Texts> void AppendJsonStrings(std::string& out, const Texts& texts) {
  AppendJsonArray(out, texts, AppendJsonString);
}

// Collects the rows a calculation writes, as the "rows" of an answer. The calculations write
// each row's cells from column 0 on, one row after the other.
class RowsWritten : public CellSink {
public:
  void SetCell(int column, int row, std::string_view text) override {
    if (rows_.empty() || rows_.back().row != row || column == 0) {
      rows_.push_back({row, {}});
    }
    rows_.back().cells.emplace_back(text);
  }

  void AppendJson(std::string& out) const {
    AppendJsonArray(out, rows_, [](std::string& text, const Row& row) {
      text += '[' + std::to_string(row.row) + ',';
      AppendJsonStrings(text, row.cells);
      text += ']';
    });
  }

private:
  struct Row {
    int row;
    std::vector<std::string> cells;
  };
  std::vector<Row> rows_;
};

// Runs one calculation into a fresh RowsWritten and makes the answer of what it wrote and of
// the failure that stopped it, if any. `extra` adds members after "rows".
template <typename Calculation, typename Extra>
const char* Answering(Calculation calculation, Extra extra) {
  RowsWritten rows;
  std::string failure;
  try {
    calculation(rows);
  } catch (const gustrule::Exception& problem) {
    failure = gustrule::FailureText(problem.Message());
  }
  std::string& out = Answer();
  out = "{\"failure\":";
  AppendJsonString(out, failure);
  out += ",\"rows\":";
  rows.AppendJson(out);
  extra(out);
  out += '}';
  return out.c_str();
}

template <typename Calculation> const char* Answering(Calculation calculation) {
  return Answering(calculation, [](std::string&) {});
}

// The material at `index` of the duct type choice; the first for an index outside the list.
const gustrule::DuctMaterial& MaterialAt(int index) {
  const bool inside =
      index >= 0 && static_cast<std::size_t>(index) < gustrule::DuctMaterials.size();
  return gustrule::DuctMaterials[inside ? static_cast<std::size_t>(index) : 0];
}

// The size of the series just below `diameterMm`, or nothing below the smallest.
std::optional<int> SmallerSize(double diameterMm) {
  std::optional<int> smaller;
  for (const int size : gustrule::RoundDuctDiameters) {
    if (size >= diameterMm) {
      break;
    }
    smaller = size;
  }
  return smaller;
}

} // namespace

extern "C" {

// Sets the decimal separator numbers are read with, a Unicode code point; "." for a value that
// is not a Unicode scalar value. Example: 44 makes "183,7" read as 183.7.
EMSCRIPTEN_KEEPALIVE void gw_set_decimal_separator(std::uint32_t separator) {
  try {
    gustrule::SetDecimalSeparator(separator);
  } catch (const std::invalid_argument&) {
    gustrule::SetDecimalSeparator(U'.');
  }
}

// The fixed texts the page builds its tables and choices from, as JSON:
// {"round": [13 headings], "sizes": [the 23 sizes, mm], "rect": [5 headings],
//  "conversions": [4 units],
//  "materials": [captions, in choice order],
//  "velocities": {"headings": [4], "rows": [[label, value row or -1], ...],
//                 "tables": [[title, [[4 values] x 4]], ...]}}
// A heading's "\n" marks where the picture breaks it.
EMSCRIPTEN_KEEPALIVE const char* gw_tables() {
  std::string& out = Answer();
  out = "{\"round\":";
  AppendJsonStrings(out, gustrule::RoundDuctHeadings);
  out += ",\"sizes\":";
  AppendJsonArray(out, gustrule::RoundDuctDiameters,
                  [](std::string& text, int size) { text += std::to_string(size); });
  out += ",\"rect\":";
  AppendJsonStrings(out, gustrule::RectDuctHeadings);
  out += ",\"conversions\":";
  AppendJsonStrings(out, gustrule::ConversionUnits);
  out += ",\"materials\":";
  AppendJsonArray(out, gustrule::DuctMaterials,
                  [](std::string& text, const gustrule::DuctMaterial& material) {
                    AppendJsonString(text, material.Caption);
                  });
  out += ",\"velocities\":{\"headings\":";
  AppendJsonStrings(out, Velocities::Headings);
  out += ",\"rows\":";
  AppendJsonArray(out, Velocities::Rows, [](std::string& text, const Velocities::RowLabel& row) {
    text += '[';
    AppendJsonString(text, row.Text);
    text += ',' + std::to_string(row.ValueRow) + ']';
  });
  out += ",\"tables\":";
  AppendJsonArray(out, Velocities::Tables,
                  [](std::string& text, const Velocities::VelocityTable& table) {
                    text += '[';
                    AppendJsonString(text, table.Title);
                    text += ',';
                    AppendJsonArray(text, table.Values, [](std::string& row, const auto& values) {
                      AppendJsonStrings(row, values);
                    });
                    text += ']';
                  });
  out += "}}";
  return out.c_str();
}

// The round duct table for a flow (l/s), a length (m) and the duct type's index in the choice:
// rows 2 to 24 as far as they were written.
EMSCRIPTEN_KEEPALIVE const char* gw_round(const char* flow, const char* length, int material) {
  return Answering([&](CellSink& rows) {
    gustrule::RoundDuctCalc(TheSession().constants, flow, length, MaterialAt(material), rows);
  });
}

// The rectangular duct's row 2 for a flow (l/s), two sides (mm) and a length (m).
EMSCRIPTEN_KEEPALIVE const char* gw_rect(const char* flow, const char* sideA, const char* sideB,
                                         const char* length) {
  return Answering([&](CellSink& rows) {
    gustrule::RectDuctCalc(TheSession().constants, flow, sideA, sideB, length, rows);
  });
}

// The conversions' row 2 for a value in the unit `unit`; the results of the last matching unit
// when `unit` matches none.
EMSCRIPTEN_KEEPALIVE const char* gw_convert(const char* value, const char* unit) {
  return Answering([&](CellSink& rows) { TheSession().conversions.Calc(value, unit, rows); });
}

// The smallest round duct within the limits, for a flow (l/s), a length (m), the duct type's
// index and the two limits (m/s, Pa/m), an empty limit text leaving that limit out. Every value
// is read strictly, as gustrule-cli size reads it: a text that does not read, a value of zero or
// below, or no limit at all is refused with a failure naming it ("Max Velocity '0' is not above
// zero"), as is a flow that no size up to the largest can carry. The answer's row 2 is the chosen
// size's row as the round table writes it; "smaller" tells about the size just below it (the
// largest size when none fits), with its velocity and friction with two more decimals than the
// table shows, and which limits it broke:
//   "smaller": {"size": "200", "velocity": "5.8474", "friction": "2.169",
//               "velocityBroken": true, "frictionBroken": true}
// for 183.7 l/s, 1 m, spiral, at most 5 m/s and 1 Pa/m (250 mm is chosen); null when the chosen
// size is the smallest, the values were refused or the arithmetic failed.
EMSCRIPTEN_KEEPALIVE const char* gw_size(const char* flowText, const char* lengthText,
                                         int materialIndex, const char* maxVelocityText,
                                         const char* maxFrictionText) {
  const gustrule::DuctMaterial& material = MaterialAt(materialIndex);
  const gustrule::SharedConstants& constants = TheSession().constants;
  std::optional<gustrule::RoundDuctRow> smaller;
  gustrule::RoundDuctLimits limits;
  const auto describeSmaller = [&](std::string& out) {
    out += ",\"smaller\":";
    if (!smaller) {
      out += "null";
      return;
    }
    const bool velocityBroken = !gustrule::MeetsLimits(*smaller, {limits.MaxVelocity, {}});
    const bool frictionBroken = !gustrule::MeetsLimits(*smaller, {{}, limits.MaxLossPerMetre});
    out += "{\"size\":";
    AppendJsonString(out, gustrule::FormatFixed(smaller->DiameterMm, 0));
    out += ",\"velocity\":";
    AppendJsonString(out, gustrule::FormatFixed(smaller->Velocity, 4));
    out += ",\"friction\":";
    AppendJsonString(out, gustrule::FormatFixed(smaller->LossPerMetre, 3));
    out += ",\"velocityBroken\":";
    out += velocityBroken ? "true" : "false";
    out += ",\"frictionBroken\":";
    out += frictionBroken ? "true" : "false";
    out += '}';
  };
  return Answering(
      [&](CellSink& rows) {
        // The first refusal is the one shown, in the command line's order: no limit, then the
        // values from the flow on.
        gustrule::cli::StrictReader reader;
        const bool velocityGiven = *maxVelocityText != '\0';
        const bool frictionGiven = *maxFrictionText != '\0';
        if (!velocityGiven && !frictionGiven) {
          reader.Refuse("Give a Max Velocity or a Max Friction");
        }
        const double flow = reader.Positive("Air Volume Flow", flowText);
        const double length = reader.Positive("Duct Length", lengthText);
        if (velocityGiven) {
          limits.MaxVelocity = reader.Positive("Max Velocity", maxVelocityText);
        }
        if (frictionGiven) {
          limits.MaxLossPerMetre = reader.Positive("Max Friction", maxFrictionText);
        }
        if (!reader.Refusal().empty()) {
          throw gustrule::Exception(reader.Refusal());
        }
        if (reader.Overflowed()) {
          throw gustrule::EOverflow();
        }
        const std::optional<gustrule::RoundDuctRow> chosen =
            gustrule::SmallestRoundDuct(constants, flow, length, material, limits);
        // Every size below the chosen one (or every size, when none fits) was computed without
        // a failure on the way, so the one just below computes again without one.
        const std::optional<int> below =
            chosen ? SmallerSize(chosen->DiameterMm) : gustrule::RoundDuctDiameters.back();
        if (below) {
          smaller = gustrule::ComputeRoundDuctRow(constants, gustrule::CubicMetresPerSecond(flow),
                                                  length, material.Roughness, *below);
        }
        if (!chosen) {
          throw gustrule::Exception(gustrule::cli::NoSizeMeetsTheLimits());
        }
        gustrule::WriteRoundDuctRow(*chosen, material, gustrule::RoundDuctFirstValueRow, rows);
      },
      describeSmaller);
}

} // extern "C"
