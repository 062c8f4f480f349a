#include "demo/DemoOptions.h"

#include <charconv>

#include "demo/GridSettings.h"

namespace {

struct CountOption {
    const char* name;
    int TableShape::*count;
    int highest;
};

const CountOption kCountOptions[] = {
    {"rows", &TableShape::rows, kMaxRows},
    {"cols", &TableShape::cols, kMaxCols},
    {"fixed-rows", &TableShape::fixedRows, kMaxRows},
    {"fixed-cols", &TableShape::fixedCols, kMaxCols},
};

const FillMode kFillModes[] = {FillMode::Numbered, FillMode::Seeded, FillMode::CellTypes, FillMode::None};

bool ReadCount(const std::string& text, int highest, int* value) {
    const char* end = text.data() + text.size();
    auto [stop, failure] = std::from_chars(text.data(), end, *value);
    return !text.empty() && text[0] != '-' && failure == std::errc() && stop == end && *value <= highest;
}

bool KnownOption(const std::string& name) {
    for (const CountOption& o : kCountOptions)
        if (name == o.name) return true;
    return name == "fill" || FindGridSetting(name) >= 0;
}

// One option with its value; false with `error` set.
bool ApplyOption(const std::string& name, const std::string& value, DemoOptions* out, std::string* error) {
    for (const CountOption& o : kCountOptions) {
        if (name != o.name) continue;
        if (ReadCount(value, o.highest, &(out->shape.*o.count))) return true;
        *error = "--" + name + ": \"" + value + "\" is not a count from 0 to " + std::to_string(o.highest) + ".";
        return false;
    }
    if (name == "fill") {
        for (FillMode mode : kFillModes)
            if (value == FillModeName(mode)) {
                out->fill = mode;
                return true;
            }
        *error = "--fill: \"" + value + "\" is not numbered, seeded, cell-types or none.";
        return false;
    }
    const int setting = FindGridSetting(name);
    int64_t number = 0;
    if (!ParseSettingValue(GridSettings()[static_cast<size_t>(setting)], value, &number, error)) return false;
    out->settings.push_back({setting, number});
    return true;
}

// A setting that names a column must name one of the table's.
std::string CheckSettingsAgainstShape(const DemoOptions& o) {
    const int sortColumn = FindGridSetting("SortColumn");
    for (const SettingAssignment& a : o.settings)
        if (a.setting == sortColumn && a.value >= o.shape.cols)
            return "--SortColumn=" + std::to_string(a.value) + ": the table has only " +
                   std::to_string(o.shape.cols) + " columns.";
    return std::string();
}

}  // namespace

const char* FillModeName(FillMode mode) {
    switch (mode) {
        case FillMode::Numbered: return "numbered";
        case FillMode::Seeded: return "seeded";
        case FillMode::CellTypes: return "cell-types";
        default: return "none";
    }
}

bool ParseDemoOptions(const std::vector<std::string>& args, DemoOptions* options, std::string* error) {
    DemoOptions parsed = *options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            parsed.help = true;
            continue;
        }
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            *error = "Unknown argument: " + arg;
            return false;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        // An unknown name takes no value: "--bogus 5" is the unknown option, not a bad value.
        if (!KnownOption(name)) {
            *error = "Unknown option: --" + name;
            return false;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            *error = "--" + name + " needs a value.";
            return false;
        }
        if (!ApplyOption(name, value, &parsed, error)) return false;
    }
    std::string problem = CheckTableShape(parsed.shape);
    if (problem.empty()) problem = CheckSettingsAgainstShape(parsed);
    if (!problem.empty()) {
        *error = problem;
        return false;
    }
    *options = std::move(parsed);
    return true;
}

std::string CheckTableShape(const TableShape& s) {
    if (s.rows < 0 || s.rows > kMaxRows) return "The row count must be from 0 to " + std::to_string(kMaxRows) + ".";
    if (s.cols < 0 || s.cols > kMaxCols)
        return "The column count must be from 0 to " + std::to_string(kMaxCols) + ".";
    if (s.fixedRows < 0 || s.fixedRows > s.rows)
        return "The fixed rows (" + std::to_string(s.fixedRows) + ") must be from 0 to the row count (" +
               std::to_string(s.rows) + ").";
    if (s.fixedCols < 0 || s.fixedCols > s.cols)
        return "The fixed columns (" + std::to_string(s.fixedCols) + ") must be from 0 to the column count (" +
               std::to_string(s.cols) + ").";
    if (static_cast<int64_t>(s.rows) * s.cols > kMaxCells)
        return "A table of " + std::to_string(s.rows) + " x " + std::to_string(s.cols) + " cells is more than the " +
               std::to_string(kMaxCells) + " cells the demo builds.";
    return std::string();
}

std::string DemoUsage(bool settings) {
    std::string usage =
        "GridDemo [--rows N] [--cols N] [--fixed-rows N] [--fixed-cols N]\n"
        "         [--fill numbered|seeded|cell-types|none] [--<Setting>=<value>]... [--help]\n\n"
        "Counts include the fixed lines.";
    if (!settings) return usage + " --help lists the settings.";
    usage += " Settings:\n";
    for (const GridSettingInfo& s : GridSettings()) {
        usage += "  --" + std::string(s.name) + "  ";
        usage += s.kind == SettingKind::Choice ? ChoiceTitle(s) + " (" + std::to_string(s.lowest) + ".." +
                                                     std::to_string(s.highest) + ")"
                                               : std::string(s.text);
        usage += "\n";
    }
    return usage;
}
