#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "NumberText.h"
#include "Output.h"
#include "ScheduleOutput.h"
#include "ScheduleReader.h"
#include "Sizing.h"
#include "StandardConstants.h"

namespace gustrule::cli {
namespace {

struct Options {
  ReaderOptions Reader{};
  ScheduleDefaults Defaults = [] {
    ScheduleDefaults defaults;
    defaults.Limits.MaxVelocity = 5;
    return defaults;
  }();
  char32_t DecimalSeparator = U'.';
};

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  for (std::size_t end = 0; end != std::string_view::npos; text.remove_prefix(end + 1)) {
    end = text.find(separator);
    parts.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) {
      break;
    }
  }
  return parts;
}

// A schedule sized as TSV, read in pieces of 5 bytes (so that marks, CR LF and UTF-16 units fall
// across reads), each line described: the heading's input names "a|b"; then for each section its
// input cells and its diameter, "A|183.7 -> 250", or the line and reason of its failure,
// "B|x -> 3: flow 'x' is not a number"; a refusal or a stop as "refused 1: ..."/"stopped 4: ...".
std::vector<std::string> Sized(std::string_view text, const Options& options = {}) {
  SetDecimalSeparator(options.DecimalSeparator);
  TextSource source(text, 5);
  ScheduleReader reader(source, options.Reader);
  StringOut out;
  std::string problem;
  const auto writer = MakeScheduleWriter({.Format = ScheduleFormat::Tsv}, out, problem);
  std::vector<std::string> failures;
  const ScheduleOutcome outcome =
      SizeSchedule(Standard(), reader, options.Defaults, *writer,
                   [&](std::size_t line, std::string_view reason) {
                     failures.push_back(std::to_string(line) + ": " + std::string(reason));
                   });
  SetDecimalSeparator(U'.');
  std::vector<std::string> described;
  std::size_t failure = 0;
  std::vector<std::string> lines = Split(out.Text, '\n');
  lines.pop_back(); // after the last line end
  for (const std::string& line : lines) {
    const std::vector<std::string> cells = Split(line, '\t');
    const std::size_t inputs = cells.size() - RoundDuctColumns - 1;
    std::string input;
    for (std::size_t i = 0; i < inputs; ++i) {
      input += (i > 0 ? "|" : "") + cells[i];
    }
    if (described.empty()) {
      described.push_back(input);
    } else if (cells.back() == "ok") {
      described.push_back(input + " -> " + cells[inputs]);
    } else {
      EXPECT_EQ(failures.at(failure).substr(failures[failure].find(": ") + 2), cells.back());
      described.push_back(input + " -> " + failures.at(failure++));
    }
  }
  EXPECT_EQ(failure, failures.size());
  if (outcome.How == ScheduleOutcome::End::Refused) {
    described.push_back("refused " + std::to_string(outcome.Line) + ": " + outcome.Problem);
  } else if (outcome.How == ScheduleOutcome::End::TooLong) {
    described.push_back("stopped " + std::to_string(outcome.Line) + ": " + outcome.Problem);
  }
  return described;
}

std::string Utf16(std::u16string_view text, bool littleEndian) {
  std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (const char16_t unit : text) {
    const auto low = static_cast<char>(unit & 0xFFU);
    const auto high = static_cast<char>(unit >> 8U);
    bytes += littleEndian ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

TEST(SizeSchedule, EachKindOfFileIsReadWithNothingLostOrInvented) {
  Options comments;
  comments.Reader.SkipComments = true;
  Options germanCsv;
  germanCsv.DecimalSeparator = U',';
  Options forcedComma;
  forcedComma.Reader.Separator = ',';
  Options noLimit;
  noLimit.Defaults.Limits = {};
  const std::string riser = "\x1b[2J,Riser " + std::string(50, 'x');
  const struct {
    std::string name, text;
    Options options;
    std::vector<std::string> lines;
  } cases[] = {
      {"a name starting with # is a section",
       "section,flow\n#1 AHU riser,183.7\n",
       {},
       {"section|flow", "#1 AHU riser|183.7 -> 250"}},
      {"--skip-comments skips # lines, also before the header",
       "# made by hand\nsection,flow\n# supply\nA,183.7\n",
       comments,
       {"section|flow", "A|183.7 -> 250"}},
      {"a quoted cell spans lines; lines count on from its end",
       "section,flow\n\"AHU\r\nriser\",183.7\nB,x\n",
       {},
       {"section|flow", "AHU  riser|183.7 -> 250", "B|x -> 4: flow 'x' is not a number"}},
      {"CR alone ends lines",
       "section,flow\rA,183.7\rB,0\r",
       {},
       {"section|flow", "A|183.7 -> 250", "B|0 -> 3: flow '0' is not above zero"}},
      {"byte order mark, CR LF, empty and blank records",
       "\xEF\xBB\xBFsection,flow\r\n\r\n , ,\r\nA,183.7\r\nB,-5\r\n",
       {},
       {"section|flow", "A|183.7 -> 250", "B|-5 -> 5: flow '-5' is not above zero"}},
      {"headers as people write them, with their units",
       "Section,Flow (l/s),Length (M),Max Velocity,max-friction ( Pa/m ),TYPE (duct)\n"
       "A,183.7,2,,0.5,Flexible\nB,183.7,-1\n",
       noLimit,
       {"Section|Flow (l/s)|Length (M)|Max Velocity|max-friction ( Pa/m )|TYPE (duct)",
        "A|183.7|2||0.5|Flexible -> 315", "B|183.7|-1||| -> 3: length '-1' is not above zero"}},
      {"unknown columns are passed through",
       "Note,flow,Room\nsee =A1,183.7,2.01\n,x\n",
       {},
       {"Note|flow|Room", "see =A1|183.7|2.01 -> 250", "|x| -> 3: flow 'x' is not a number"}},
      {"a wrong unit",
       "section,Flow (m3/h)\n",
       {},
       {"refused 1: column 'Flow (m3/h)': flow is in l/s"}},
      {"a misspelt name",
       "section,flow,Lenght\n",
       {},
       {"refused 1: unknown column 'Lenght': did you mean 'length'?"}},
      {"a column named twice",
       "flow,FLOW (l/s)\n",
       {},
       {"refused 1: columns 'flow' and 'FLOW (l/s)' are both flow"}},
      {"Windows-1252 text fails its line only",
       "section,flow\nB\xfcro,183.7\nA,183.7\n",
       {},
       {"section|flow", "B\xEF\xBF\xBDro|183.7 -> 2: not UTF-8 text", "A|183.7 -> 250"}},
      {"UTF-16, little-endian",
       Utf16(u"section,flow\r\nBüro,183.7\r\n\xD83D\xDE00,183.7", true),
       {},
       {"section|flow", "Büro|183.7 -> 250", "😀|183.7 -> 250"}},
      {"UTF-16, big-endian, with a lone surrogate",
       Utf16(u"flow\n183.7\n\xDC00\n", false),
       {},
       {"flow", "183.7 -> 250", "\xEF\xBF\xBD -> 3: not UTF-16 text"}},
      {"UTF-16 without a mark",
       std::string("f\0l\0o\0w\0\n\0", 10),
       {},
       {"refused 1: no flow column in the header 'f\\x00l\\x00o\\x00w\\x00' with ',' between "
        "fields"}},
      {"a German spreadsheet: ';' between fields, ',' in numbers",
       "Abschnitt;Flow;Length\nA, 1;183,7;1,5\n;;\n",
       germanCsv,
       {"Abschnitt|Flow|Length", "A, 1|183,7|1,5 -> 250"}},
      {"tabs between fields",
       "section\tflow\tmax_velocity\nA;B\t183.7\t3\n",
       {},
       {"section|flow|max_velocity", "A;B|183.7|3 -> 300"}},
      {"a separator forced that the file does not use",
       "section;flow\n",
       forcedComma,
       {"refused 1: no flow column in the header 'section;flow' with ',' between fields"}},
      {"fewer fields take the defaults, more fail",
       "section,flow,type\nA,183.7\nB,90,spiral,x\n",
       {},
       {"section|flow|type", "A|183.7| -> 250", "B|90|spiral -> 3: 4 fields, the header has 3"}},
      {"a type from the material table",
       "flow,type\n183.7,oval\n",
       {},
       {"flow|type", "183.7|oval -> 2: type 'oval' is not spiral or flexible"}},
      {"a long value is quoted cut and escaped",
       "section,flow\nA,\"" + riser + "\"\n",
       {},
       {"section|flow", "A|" + riser + " -> 2: flow '\\x1B[2J,Riser " + std::string(29, 'x') +
                            "'... is not a number"}},
      {"quotes that do not close",
       "section,flow\nA,\"183.7\"x\nB,\"1\n",
       {},
       {"section|flow", "A|183.7x -> 2: text after the closing quote of field 2",
        "B|1  -> 3: a quoted field is not closed before the end of the file"}},
      {"no header", "\n ,\n", {}, {"refused 0: no header line"}},
      {"no limit anywhere",
       "flow\n1\n",
       noLimit,
       {"refused 1: no limit: no max_velocity or max_friction column, and neither "
        "--max-velocity nor --max-friction"}},
      {"a record beyond the limit stops the reading",
       "flow\n183.7\n\"" + std::string(ScheduleReader::kMaxRecordBytes, 'x') + "\"\n",
       {},
       {"flow", "183.7 -> 250",
        "stopped 3: a record longer than 1048576 bytes (is a double "
        "quote left open?)"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sized(c.text, c.options), c.lines) << c.name;
  }
}

TEST(FindColumns, NamesMatchAsPeopleWriteThemAndNearMissesAreRefused) {
  const struct {
    std::string header;
    std::string found; // "flow 1, length 2" for the columns found, or the problem
  } cases[] = {
      {"Max_Velocity (m / s),MAX FRICTION(PA/M),Type (duct),Notes,",
       "type 2, max_velocity 0, max_friction 1"},
      {"Section (room),Flow-Rate,Level,flow", "section 0, flow 3"},
      {"Floor,flow", "unknown column 'Floor': did you mean 'flow'?"},
      {"Flow (L/s),time", "unknown column 'time': did you mean 'type'?"},
      {"lenght,flow", "unknown column 'lenght': did you mean 'length'?"},
      {"maxvelocity,max_velocity",
       "columns 'maxvelocity' and 'max_velocity' are both max_velocity"},
      {"flow (l/s),length (mm)", "column 'length (mm)': length is in m"},
  };
  for (const auto& c : cases) {
    ScheduleRecord header;
    for (const std::string& field : Split(c.header, ',')) {
      header.Text += field;
      header.Ends.push_back(static_cast<std::uint32_t>(header.Text.size()));
    }
    ScheduleColumns columns;
    std::string found = FindColumns(header, columns);
    for (std::size_t i = 0; found.find('\'') == std::string::npos && i < kScheduleColumns; ++i) {
      if (columns.Where[i] != ScheduleColumns::kAbsent) {
        found += (found.empty() ? "" : ", ") + std::string(ColumnName(ScheduleColumn{i})) + " " +
                 std::to_string(columns.Where[i]);
      }
    }
    EXPECT_EQ(found, c.found) << c.header;
  }
}

TEST(ScheduleWriter, EachFormatWritesTheInputTheResultsAndTheStatus) {
  const std::vector<std::string> names = {"section", "", "section"};
  const std::vector<std::string> sized = {"=A1", "x\ty", "\"q\""};
  const std::vector<std::string> failed = {"-1", "", "B,2"};
  ResultCells results;
  results.fill("1.5");
  results[0] = "250";
  results.back() = "";
  const std::string ones = "1.5\t1.5\t1.5\t1.5\t1.5\t1.5\t1.5\t1.5\t1.5\t1.5\t1.5\t";
  const struct {
    ScheduleOutputOptions options;
    std::string text;
  } cases[] = {
      {{.Format = ScheduleFormat::Tsv},
       "section\t\tsection\tØ (mm)\tVel (m/s)\tdP Pa/m\tTotal dP (Pa)\tVel Press (Pa)\t90° "
       "R/D=0.5\t90° R/D=1\t60° R/D=0.5\t60° R/D=1\t45° R/D=0.5\t45° R/D=1\t30° R/D=0.5\t30° "
       "R/D=1\tstatus\n=A1\tx y\t\"q\"\t250\t" +
           ones + "\tok\n-1\t\tB,2" + std::string(13, '\t') + "\tflow '-1' is not above zero\n"},
      {{.Format = ScheduleFormat::Csv, .Delimiter = ';', .Crlf = true},
       "section;;section;Ø (mm);Vel (m/s);dP Pa/m;Total dP (Pa);Vel Press (Pa);90° R/D=0.5;"
       "90° R/D=1;60° R/D=0.5;60° R/D=1;45° R/D=0.5;45° R/D=1;30° R/D=0.5;30° R/D=1;status\r\n"
       "\"'=A1\";x\ty;\"\"\"q\"\"\";250;1,5;1,5;1,5;1,5;1,5;1,5;1,5;1,5;1,5;1,5;1,5;;ok\r\n"
       "\"'-1\";;B,2;;;;;;;;;;;;;;flow '-1' is not above zero\r\n"},
      {{.Format = ScheduleFormat::Json},
       "{\"line\":2,\"input\":{\"section\":\"=A1\",\"column 2\":\"x\\ty\",\"column "
       "3\":\"\\\"q\\\"\"},\"diameter_mm\":250,\"velocity_m_s\":1.5,\"friction_pa_m\":1.5,"
       "\"total_friction_pa\":1.5,\"velocity_pressure_pa\":1.5,\"bend_90_rd_0_5_pa\":1.5,"
       "\"bend_90_rd_1_pa\":1.5,\"bend_60_rd_0_5_pa\":1.5,\"bend_60_rd_1_pa\":1.5,"
       "\"bend_45_rd_0_5_pa\":1.5,\"bend_45_rd_1_pa\":1.5,\"bend_30_rd_0_5_pa\":1.5,"
       "\"bend_30_rd_1_pa\":null,\"status\":\"ok\"}\n"
       "{\"line\":3,\"input\":{\"section\":\"-1\",\"column 2\":\"\",\"column 3\":\"B,2\"},"
       "\"diameter_mm\":null,\"velocity_m_s\":null,\"friction_pa_m\":null,"
       "\"total_friction_pa\":null,\"velocity_pressure_pa\":null,\"bend_90_rd_0_5_pa\":null,"
       "\"bend_90_rd_1_pa\":null,\"bend_60_rd_0_5_pa\":null,\"bend_60_rd_1_pa\":null,"
       "\"bend_45_rd_0_5_pa\":null,\"bend_45_rd_1_pa\":null,\"bend_30_rd_0_5_pa\":null,"
       "\"bend_30_rd_1_pa\":null,\"status\":\"flow '-1' is not above zero\"}\n"},
      {{.Format = ScheduleFormat::Aligned},
       "section       section  Ø (mm)  Vel (m/s)  dP Pa/m  Total dP (Pa)  Vel Press (Pa)  90° "
       "R/D=0.5  90° R/D=1  60° R/D=0.5  60° R/D=1  45° R/D=0.5  45° R/D=1  30° R/D=0.5  30° "
       "R/D=1  status\n"
       "=A1      x y  \"q\"      250     1.5        1.5      1.5            1.5             1.5   "
       "       1.5        1.5          1.5        1.5          1.5        1.5                     "
       "ok\n-1            B,2" +
           std::string(161, ' ') + "flow '-1' is not above zero\n"},
  };
  for (const auto& c : cases) {
    StringOut out;
    std::string problem;
    const auto writer = MakeScheduleWriter(c.options, out, problem);
    ASSERT_NE(writer, nullptr) << problem;
    writer->Header(names);
    writer->Row(2, sized, results, "ok");
    writer->Row(3, failed, ResultCells{}, "flow '-1' is not above zero");
    EXPECT_EQ(writer->Finish(), "");
    EXPECT_EQ(out.Text, c.text) << static_cast<int>(c.options.Format);
  }
}

TEST(ScheduleWriter, NoCsvCellRunsAsAFormulaAndJsonEscapesControls) {
  const struct {
    std::string cell, csv, json;
  } cases[] = {
      {"+1", "\"'+1\"", "\"+1\""},
      {"@SUM(A1)", "\"'@SUM(A1)\"", "\"@SUM(A1)\""},
      {"\tx", "\"'\tx\"", "\"\\tx\""},
      {"\rx", "\"'\rx\"", "\"\\rx\""},
      {"#1 riser", "\"#1 riser\"", "\"#1 riser\""},
      {"a;b \x01", "a;b \x01", "\"a;b \\u0001\""},
      {"\xEF\xBB\xBFx", "\"\xEF\xBB\xBFx\"", "\"\xEF\xBB\xBFx\""},
  };
  for (const auto& c : cases) {
    for (const ScheduleFormat format : {ScheduleFormat::Csv, ScheduleFormat::Json}) {
      StringOut out;
      std::string problem;
      const auto writer = MakeScheduleWriter({.Format = format}, out, problem);
      writer->Header(std::vector<std::string>{"n"});
      writer->Row(2, std::vector<std::string>{c.cell}, ResultCells{}, "ok");
      const std::string line = out.Text.substr(out.Text.rfind('\n', out.Text.size() - 2) + 1);
      if (format == ScheduleFormat::Csv) {
        EXPECT_TRUE(line.starts_with(c.csv + ",,")) << line;
      } else {
        EXPECT_TRUE(line.starts_with("{\"line\":2,\"input\":{\"n\":" + c.json + "}")) << line;
      }
    }
  }
}

} // namespace
} // namespace gustrule::cli
