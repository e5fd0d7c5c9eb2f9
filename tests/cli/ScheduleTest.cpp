#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GridText.h"
#include "NumberText.h"
#include "Schedule.h"
#include "Sizing.h"
#include "StandardConstants.h"

namespace gustrule::cli {
namespace {

using Fields = std::vector<std::string>;

// A data line as "N: field|field|..." or "N! problem", for comparing whole schedules at once.
std::string Describe(const ScheduleLine& line) {
  std::string text = std::to_string(line.Number) + (line.Problem.empty() ? ": " : "! ");
  if (!line.Problem.empty()) {
    return text + line.Problem;
  }
  for (std::size_t i = 0; i < line.Fields.size(); ++i) {
    text += (i > 0 ? "|" : "") + line.Fields[i];
  }
  return text;
}

TEST(SplitSchedule, FindsTheHeaderAndReadsEachLineOnItsOwn) {
  const struct {
    std::string name, text;
    char separator;
    std::size_t headerLine;
    Fields header;
    std::vector<std::string> lines;
  } cases[] = {
      {"plain", "section,flow\nA,1\n", ',', 1, {"section", "flow"}, {"2: A|1"}},
      {"no line end at the end", "flow\n1", ',', 1, {"flow"}, {"2: 1"}},
      {"byte order mark and CR LF",
       "\xEF\xBB\xBFsection,flow\r\nA,1\r\n\r\nB,2\r",
       ',',
       1,
       {"section", "flow"},
       {"2: A|1", "4: B|2"}},
      {"a tab in the header: tabs separate, commas are text",
       "section\tflow\nA,1\t2\n",
       '\t',
       1,
       {"section", "flow"},
       {"2: A,1|2"}},
      {"skipped lines before and after the header",
       "# made by hand\n\n   \nflow,type\n#A,1\n , ,\n1,spiral",
       ',',
       4,
       {"flow", "type"},
       {"7: 1|spiral"}},
      {"quoted fields",
       "a,b\n\"x,y\",\"say \"\"hi\"\"\",\n",
       ',',
       1,
       {"a", "b"},
       {"2: x,y|say \"hi\"|"}},
      {"quoted fields between tabs", "a\tb\n\"x\ty\"\t1\n", '\t', 1, {"a", "b"}, {"2: x\ty|1"}},
      {"a quote inside an unquoted field is text",
       "a,b\n12\"x,1\n",
       ',',
       1,
       {"a", "b"},
       {"2: 12\"x|1"}},
      {"a lone CR inside a line is text", "a\nx\ry\n", ',', 1, {"a"}, {"2: x\ry"}},
      {"an open quote spoils its line only",
       "a,b\n\"x,1\n\"y\",2\n",
       ',',
       1,
       {"a", "b"},
       {"2! a quoted field is not closed on its line", "3: y|2"}},
      {"text after a closing quote",
       "a,b\n1,\"x\"y\n",
       ',',
       1,
       {"a", "b"},
       {"2! text after the closing quote of field 2"}},
      {"nothing but comments", "# a\n\n", ',', 0, {}, {}},
  };
  for (const auto& c : cases) {
    const ScheduleText schedule = SplitSchedule(c.text);
    EXPECT_EQ(schedule.Separator, c.separator) << c.name;
    EXPECT_EQ(schedule.HeaderLine, c.headerLine) << c.name;
    EXPECT_EQ(schedule.Header, c.header) << c.name;
    std::vector<std::string> lines;
    for (const ScheduleLine& line : schedule.Lines) {
      lines.push_back(Describe(line));
    }
    EXPECT_EQ(lines, c.lines) << c.name;
  }
}

TEST(CsvLine, QuotesOnlyWhereNeededAndReadsBackAsTheSameFields) {
  const struct {
    Fields fields;
    std::string line;
  } cases[] = {
      {{"A1", "250", "3.74"}, "A1,250,3.74"},
      {{"A,1", "say \"hi\"", ""}, "\"A,1\",\"say \"\"hi\"\"\","},
      {{"two\nlines", "cr\r"}, "\"two\nlines\",\"cr\r\""},
      {{"#1 not a comment", "x"}, "\"#1 not a comment\",x"},
      {{"\xEF\xBB\xBFmark"}, "\"\xEF\xBB\xBFmark\""},
      {{"", " ", ""}, "\"\", ,"},
      {{" blanks kept ", "tab\tinside"}, " blanks kept ,tab\tinside"},
  };
  for (const auto& c : cases) {
    const std::string line = CsvLine(c.fields);
    EXPECT_EQ(line, c.line);
    EXPECT_FALSE(IsSkippedLine(line, ','));
    if (line.find('\n') == std::string::npos) { // a line end never reads back as one line
      Fields back;
      EXPECT_EQ(SplitFields(line, ',', back), "") << line;
      EXPECT_EQ(back, c.fields) << line;
    }
  }
}

// Each section as "N section: diameter" or "N section: problem".
std::vector<std::string> Sized(const std::string& text, const ScheduleDefaults& defaults,
                               std::string* problem = nullptr) {
  const SizedSchedule sized = SizeSchedule(Standard(), text, defaults);
  if (problem != nullptr) {
    *problem = sized.Problem;
  }
  std::vector<std::string> out;
  for (const SizedSection& section : sized.Sections) {
    std::string line = std::to_string(section.Line) + " " + section.Section + ": ";
    out.push_back(line + (section.Row ? std::to_string(static_cast<int>(section.Row->DiameterMm))
                                      : section.Problem));
  }
  return out;
}

ScheduleDefaults Velocity5() {
  ScheduleDefaults defaults;
  defaults.Limits.MaxVelocity = 5;
  return defaults;
}

TEST(SizeSchedule, SizesEachSectionAndGivesEachFailureItsLine) {
  ScheduleDefaults flexible = Velocity5();
  flexible.Material = &DuctMaterials[1];
  flexible.Limits.MaxLossPerMetre = 1;
  const struct {
    std::string name, text;
    ScheduleDefaults defaults;
    std::vector<std::string> sections;
  } cases[] = {
      {"good and bad lines",
       "Section,FLOW, Max_Velocity \nA,183.7,\nB,x,\nC,183.7,100\nD,,\n",
       Velocity5(),
       {"2 A: 250", "3 B: line 3: flow 'x' is not a number", "4 C: 80",
        "5 D: line 5: the flow is empty"}},
      {"the options fill missing columns and empty cells",
       "flow,type,length\n183.7,,\n183.7,Spiral,x\n183.7, spiral ,2",
       flexible,
       {"2 : 300", "3 : line 3: length 'x' is not a number", "4 : 250"}},
      {"fewer fields take the options, more fail",
       "section,flow,max_friction\nA,183.7\nB,183.7,1,9\n",
       Velocity5(),
       {"2 A: 250", "3 B: line 3: 4 fields, the header has 3"}},
      {"bad limits and types",
       "s,flow,max_velocity,max_friction,type\nA,183.7,0\nB,183.7,,-1\nC,183.7,,,oval\n"
       "D,183.7,5a\n",
       ScheduleDefaults{},
       {"2 : line 2: max_velocity '0' is not above zero",
        "3 : line 3: max_friction '-1' is not above zero",
        "4 : line 4: type 'oval' is not spiral or flexible",
        "5 : line 5: max_velocity '5a' is not a number"}},
      {"a line without any limit",
       "flow,max_velocity\n183.7,\n",
       ScheduleDefaults{},
       {"2 : line 2: no max_velocity or max_friction is given"}},
      {"arithmetic failures and no size",
       "flow,max_velocity\n0,5\n-5,5\n1e400,5\n183.7,0.05\n",
       ScheduleDefaults{},
       {"2 : line 2: Floating point division by zero.",
        "3 : line 3: Invalid floating point operation.", "4 : line 4: Floating point overflow.",
        "5 : line 5: No duct size up to 1500 mm meets the limits."}},
      {"an unknown column is ignored, a line that does not read keeps no section",
       "colour,section,flow\nred,A,183.7\nblue,\"B,183.7\n",
       Velocity5(),
       {"2 A: 250", "3 : line 3: a quoted field is not closed on its line"}},
  };
  for (const auto& c : cases) {
    std::string problem;
    EXPECT_EQ(Sized(c.text, c.defaults, &problem), c.sections) << c.name;
    EXPECT_EQ(problem, "") << c.name;
  }
}

TEST(SizeSchedule, ReadsNumbersWithTheDecimalSeparator) {
  SetDecimalSeparator(U',');
  const auto sections = Sized("flow\tlength\n183,7\t1\n\"183,7\"\t2\n", Velocity5());
  const auto csv = Sized("flow,length\n\"183,7\",\"2,5\"\n183.7,1\n", Velocity5());
  SetDecimalSeparator(U'.');
  EXPECT_EQ(sections, (std::vector<std::string>{"2 : 250", "3 : 250"}));
  EXPECT_EQ(csv, (std::vector<std::string>{"2 : 250", "3 : line 3: flow '183.7' is not a number"}));
}

TEST(SizeSchedule, RefusesASheduleItCannotUseAsAWhole) {
  const struct {
    std::string text;
    ScheduleDefaults defaults;
    std::string problem;
  } cases[] = {
      {"", Velocity5(), "no header line"},
      {"# only a note\n", Velocity5(), "no header line"},
      {"section,length\nA,1\n", Velocity5(), "no 'flow' column"},
      {"flow,Flow\n1,2\n", Velocity5(), "the column 'flow' is named twice"},
      {"\n\"flow\n", Velocity5(), "line 2: a quoted field is not closed on its line"},
      {"flow\n183.7\n", ScheduleDefaults{},
       "no limit: no max_velocity or max_friction column, and neither --max-velocity nor "
       "--max-friction"},
  };
  for (const auto& c : cases) {
    std::string problem;
    EXPECT_EQ(Sized(c.text, c.defaults, &problem), std::vector<std::string>{}) << c.text;
    EXPECT_EQ(problem, c.problem) << c.text;
  }
}

TEST(ScheduleTable, ShowsEverySectionWithTheRoundTablesCellsInEachStyle) {
  const SizedSchedule sized = SizeSchedule(
      Standard(), "section,flow,type\n\"A\t1\",183.7,flexible\n\"B,2\",x\n", Velocity5());
  const CellGrid table = ScheduleTable(sized);
  const std::string heading = "Section,Ø (mm),Vel (m/s),dP Pa/m,Total dP (Pa),Vel Press (Pa),"
                              "90° R/D=0.5,90° R/D=1,60° R/D=0.5,60° R/D=1,45° R/D=0.5,"
                              "45° R/D=1,30° R/D=0.5,30° R/D=1\n";
  EXPECT_EQ(GridText(table, GridStyle::Csv),
            heading + "A\t1,250,3.74,1.4,1.4,8.4,,,,,,,,\n\"B,2\",,,,,,,,,,,,,\n");
  const std::string tsv = GridText(table, GridStyle::Tsv);
  EXPECT_NE(tsv.find("\nA 1\t250\t3.74\t1.4\t1.4\t8.4\t\t\t\t\t\t\t\t\nB,2"
                     "\t\t\t\t\t\t\t\t\t\t\t\t\t\n"),
            std::string::npos)
      << tsv;
  const std::string aligned = GridText(table, GridStyle::Aligned);
  EXPECT_NE(aligned.find("\nA 1      250     3.74       1.4      1.4            8.4\nB,2\n"),
            std::string::npos)
      << aligned;
}

} // namespace
} // namespace gustrule::cli
