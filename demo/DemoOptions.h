// GridDemo's command line: the table's shape and filling, and any public setting of the grid
// by its name. No window in it: the program shows the error and ends; tests call it directly.
//
//   GridDemo [--rows N] [--cols N] [--fixed-rows N] [--fixed-cols N]
//            [--fill numbered|seeded|cell-types|none] [--<Setting>=<value>]... [--help]
//
// A value may follow its option as the next argument or after "=".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class FillMode {
    None,      // no text at all
    Numbered,  // every cell "R<row>C<col>"
    Seeded,    // the benchmark data, with "Col<c>" headers and row numbers
    CellTypes, // a sample of every cell type, column by column (DemoTexts.h)
};

// A table's four counts, fixed lines included in the row and column counts.
struct TableShape {
    int rows = 101;
    int cols = 11;
    int fixedRows = 1;
    int fixedCols = 1;
};

// The limits of a table the demo builds; beyond them building it would take minutes or more
// memory than a 32-bit process has.
constexpr int kMaxRows = 1000000;
constexpr int kMaxCols = 1000;
constexpr int64_t kMaxCells = 2000000;

// One --<Setting>=<value>: the setting's index in GridSettings() and the value read.
struct SettingAssignment {
    int setting;
    int64_t value;
};

struct DemoOptions {
    TableShape shape;
    FillMode fill = FillMode::Seeded;
    std::vector<SettingAssignment> settings;  // in the order given; a later one wins
    bool help = false;                         // --help: show the usage and end
};

// Reads the arguments (the program's name not among them). False with `error` naming the
// option at fault and what it takes; `options` is then left as it was.
bool ParseDemoOptions(const std::vector<std::string>& args, DemoOptions* options, std::string* error);

// Empty when the shape can be built, else why not (a count out of range, more fixed lines
// than lines, too many cells). The command line and the Table dialog both check with it.
std::string CheckTableShape(const TableShape& shape);

// The usage text: the options, and with `settings` every setting with what it does (--help).
std::string DemoUsage(bool settings);

const char* FillModeName(FillMode mode);
