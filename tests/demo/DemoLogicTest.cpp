// What GridDemo decides without a window: the command line, the settings table, the
// benchmark words, the fills and the status texts.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "bench/SeededText.h"
#include "demo/DemoOptions.h"
#include "demo/DemoTexts.h"
#include "demo/GridSettings.h"

namespace {

using Args = std::vector<std::string>;

int Setting(const char* name) {
    const int index = FindGridSetting(name);
    EXPECT_GE(index, 0) << name;
    return index;
}

}  // namespace

TEST(DemoOptions, ReadsShapeFillAndSettings) {
    struct Case {
        Args args;
        TableShape shape;
        FillMode fill;
        std::vector<std::pair<const char*, int64_t>> settings;
    } cases[] = {
        {{}, {101, 11, 1, 1}, FillMode::Seeded, {}},
        {{"--rows", "6", "--cols", "4", "--fixed-rows", "2", "--fixed-cols", "0", "--fill", "numbered"},
         {6, 4, 2, 0}, FillMode::Numbered, {}},
        {{"--rows=0", "--cols=0", "--fixed-rows=0", "--fixed-cols=0", "--fill=none"}, {0, 0, 0, 0}, FillMode::None, {}},
        {{"--Editable=0", "--SortOnHeaderClick=1", "--WholeRowSelect=true", "--Editable", "1"},
         {101, 11, 1, 1}, FillMode::Seeded,
         {{"Editable", 0}, {"SortOnHeaderClick", 1}, {"WholeRowSelect", 1}, {"Editable", 1}}},
        {{"--GridLineMode=0", "--AutoSizeScope=3", "--WheelScrollLines=-1", "--SortColumn=10"},
         {101, 11, 1, 1}, FillMode::Seeded,
         {{"GridLineMode", 0}, {"AutoSizeScope", 3}, {"WheelScrollLines", -1}, {"SortColumn", 10}}},
        {{"--GridLineColour=0xFF8000", "--OuterBackColour=255", "--TitleTipBackColour=default"},
         {101, 11, 1, 1}, FillMode::Seeded,
         {{"GridLineColour", 0xFF8000}, {"OuterBackColour", 255}, {"TitleTipBackColour", kDefaultColourValue}}},
        // The largest table the demo builds: the most rows, and the most cells.
        {{"--rows", "1000000", "--cols", "2"}, {1000000, 2, 1, 1}, FillMode::Seeded, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        DemoOptions options;
        std::string error;
        ASSERT_TRUE(ParseDemoOptions(c.args, &options, &error)) << error;
        EXPECT_EQ(options.shape.rows, c.shape.rows);
        EXPECT_EQ(options.shape.cols, c.shape.cols);
        EXPECT_EQ(options.shape.fixedRows, c.shape.fixedRows);
        EXPECT_EQ(options.shape.fixedCols, c.shape.fixedCols);
        EXPECT_EQ(options.fill, c.fill);
        ASSERT_EQ(options.settings.size(), c.settings.size());
        for (size_t i = 0; i < c.settings.size(); ++i) {
            EXPECT_EQ(options.settings[i].setting, Setting(c.settings[i].first));
            EXPECT_EQ(options.settings[i].value, c.settings[i].second);
        }
        EXPECT_FALSE(options.help);
    }
}

TEST(DemoOptions, RefusesUnknownOptionsAndBadValuesChangingNothing) {
    struct Case {
        Args args;
        const char* said;  // part of the error text
    } cases[] = {
        {{"--bogus=1"}, "Unknown option: --bogus"},
        {{"--bogus"}, "Unknown option: --bogus"},
        {{"--bogus", "--rows", "5"}, "Unknown option: --bogus"},
        {{"--editable=0"}, "Unknown option: --editable"},  // names are exact
        {{"rows"}, "Unknown argument: rows"},
        {{"--rows"}, "--rows needs a value"},
        {{"--rows", "x"}, "--rows: \"x\""},
        {{"--rows", "-1"}, "--rows: \"-1\""},
        {{"--rows", "12abc"}, "--rows: \"12abc\""},
        {{"--rows", "99999999999"}, "--rows: \"99999999999\""},
        {{"--cols", "1001"}, "--cols: \"1001\""},
        {{"--rows", "1000001", "--cols", "1"}, "--rows: \"1000001\""},
        {{"--rows", "1000000", "--cols", "3"}, "more than the 2000000 cells"},
        {{"--fill", "random"}, "--fill: \"random\""},
        {{"--fixed-rows", "5", "--rows", "2"}, "fixed rows (5)"},
        {{"--fixed-cols", "12"}, "fixed columns (12)"},
        {{"--Editable=2"}, "--Editable: \"2\" is not 0 or 1"},
        {{"--Editable="}, "--Editable: \"\""},
        {{"--GridLineMode=4"}, "from 0 to 3"},
        {{"--AutoSizeScope=0"}, "from 1 to 3"},
        {{"--ResizeCaptureRange=+3"}, "--ResizeCaptureRange: \"+3\""},
        {{"--GridLineColour=default"}, "--GridLineColour: \"default\""},
        {{"--GridLineColour=0x1000000"}, "from 0 to 0xFFFFFF"},
        {{"--TitleTipTextColour=-0x1"}, "--TitleTipTextColour"},
        {{"--SortColumn=5"}, "only 5 columns"},  // the 5 set before
        {{"--cols", "3", "--SortColumn=3"}, "only 3 columns"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        DemoOptions options;
        options.shape = {7, 5, 2, 1};
        options.fill = FillMode::Numbered;
        std::string error;
        EXPECT_FALSE(ParseDemoOptions(c.args, &options, &error));
        EXPECT_NE(error.find(c.said), std::string::npos) << error;
        // Nothing taken over from the options read before the fault.
        EXPECT_EQ(options.shape.rows, 7);
        EXPECT_EQ(options.shape.fixedRows, 2);
        EXPECT_EQ(options.fill, FillMode::Numbered);
        EXPECT_TRUE(options.settings.empty());
    }
}

TEST(DemoOptions, HelpIsNoError) {
    DemoOptions options;
    std::string error;
    ASSERT_TRUE(ParseDemoOptions({"--help"}, &options, &error));
    EXPECT_TRUE(options.help);
    // The long usage names every setting; the short one points to it.
    const std::string usage = DemoUsage(true);
    for (const GridSettingInfo& s : GridSettings()) EXPECT_NE(usage.find("--" + std::string(s.name) + " "), std::string::npos);
    EXPECT_NE(DemoUsage(false).find("--help lists the settings"), std::string::npos);
}

TEST(GridSettingsTable, NamesAreUniqueAndChoicesLabelEveryValue) {
    std::set<std::string> names;
    for (const GridSettingInfo& s : GridSettings()) {
        SCOPED_TRACE(s.name);
        EXPECT_TRUE(names.insert(s.name).second);
        EXPECT_LE(s.lowest, s.highest);
        if (s.kind == SettingKind::Bool) {
            EXPECT_TRUE(s.lowest == 0 && s.highest == 1);
        }
        if (s.kind == SettingKind::Choice) {
            EXPECT_FALSE(ChoiceTitle(s).empty());
            EXPECT_EQ(static_cast<int64_t>(ChoiceLabels(s).size()), s.highest - s.lowest + 1);
        }
    }
    EXPECT_EQ(FindGridSetting("NoSuchSetting"), -1);
    EXPECT_EQ(ChoiceLabels(GridSettings()[static_cast<size_t>(Setting("GridLineMode"))]),
              (std::vector<std::string>{"None", "Horizontal", "Vertical", "Both"}));
}

TEST(SeededText, IsTheBenchmarksSequence) {
    CSeededText numbers;
    EXPECT_EQ(numbers.Next(), 1359758873u);
    EXPECT_EQ(numbers.Next(), 3761132862u);
    EXPECT_EQ(numbers.Next(), 2075758394u);
    CSeededText words;
    for (const char* expected : {"gihrfqbhew", "daclskr", "fukegtwgpem", "ldlyes", "xjthuentupa", "ddubghxdw"})
        EXPECT_EQ(words.Word(), expected);
}

TEST(SeededText, TheChecksumShowsTheSameDataWentIn) {
    const struct {
        std::vector<std::string> texts;
        uint32_t expected;
    } cases[] = {
        {{}, 0x811C9DC5u},            // nothing: the offset basis
        {{""}, 0x050C5D1Fu},          // an empty cell still counts: its zero byte
        {{"ab", "c"}, 0x35708E65u},   // the zero bytes keep the cells apart
        {{"a", "bc"}, 0xB125C599u},
    };
    for (const auto& c : cases) {
        CTextChecksum sum;
        for (const std::string& text : c.texts) sum.Add(text);
        EXPECT_EQ(sum.Value(), c.expected) << testing::PrintToString(c.texts);
    }
    // The benchmark's figure for 10,000 rows of 10 words.
    CSeededText words;
    CTextChecksum sum;
    for (int cell = 0; cell < 10000 * 10; ++cell) sum.Add(words.Word());
    EXPECT_EQ(sum.Value(), 0x6B222E0Cu);
    EXPECT_EQ(CSeededText::Heading(3), "Col3");
}

TEST(DemoTexts, FillsEachModeRowByRow) {
    const TableShape shape{3, 4, 1, 1};
    struct Case {
        FillMode mode;
        std::vector<std::string> texts;  // row by row; none where the fill gives no text
    } cases[] = {
        {FillMode::Numbered,
         {"R0C0", "R0C1", "R0C2", "R0C3", "R1C0", "R1C1", "R1C2", "R1C3", "R2C0", "R2C1", "R2C2", "R2C3"}},
        {FillMode::Seeded,
         {"Col0", "Col1", "Col2", "Col3", "1", "gihrfqbhew", "daclskr", "fukegtwgpem", "2", "ldlyes", "xjthuentupa",
          "ddubghxdw"}},
        {FillMode::CellTypes,
         {"Col0", "已缴费", "审核状态", "险种", "1", "", "已通过", "医疗", "2", "", "已退回", "失业"}},
        {FillMode::None, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FillModeName(c.mode));
        std::vector<std::string> texts;
        int expectedIndex = 0;
        ForEachFillText(shape, c.mode, [&](int row, int col, const std::string& text) {
            EXPECT_EQ(row * shape.cols + col, expectedIndex++);  // row by row, every cell once
            texts.push_back(text);
        });
        EXPECT_EQ(texts, c.texts);
    }
}

TEST(DemoTexts, SampleKindsRunThroughEveryKindPastTheFixedColumns) {
    const CellKind kinds[] = {CellKind::Text,   CellKind::Check, CellKind::Choice, CellKind::ChooseOnly, CellKind::Date,
                              CellKind::Number, CellKind::Link,  CellKind::Text,   CellKind::Check};
    for (int col = 0; col < 9; ++col) EXPECT_EQ(SampleKindOf(col, 1), kinds[col]) << col;
    EXPECT_EQ(SampleOptions(CellKind::Choice).size(), 3u);
    EXPECT_TRUE(SampleOptions(CellKind::Date).empty());
}

TEST(DemoTexts, StatusShowsFocusAndSelectionOrNone) {
    struct Case {
        CGridCellId focus;
        CGridCellRange bounds;
        int64_t selected;
        const char* shown;
    } cases[] = {
        {{}, {}, 0, "Focus: none  Selection: none"},
        {{3, 2}, {}, 0, "Focus: R3C2  Selection: none"},
        {{}, {1, 1, 5, 3}, 15, "Focus: none  Selection: R1C1:R5C3 (15 cells)"},
        {{0, 0}, {2, 1, 100000, 10}, 999990, "Focus: R0C0  Selection: R2C1:R100000C10 (999990 cells)"},
        {{4, 4}, {4, 4, 4, 4}, 1, "Focus: R4C4  Selection: R4C4:R4C4 (1 cells)"},
    };
    for (const Case& c : cases) EXPECT_EQ(SelectionStatusText(c.focus, c.bounds, c.selected), c.shown);
    EXPECT_EQ(ShapeStatusText({101, 11, 1, 0}), "Rows: 101 (1 fixed)  Columns: 11 (0 fixed)");
}
