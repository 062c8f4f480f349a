// Table: the four counts, the fills, autosizing, sorting, and the picture column.
#include "demo/DemoFeatures.h"
#include "demo/DemoFrame.h"
#include "demo/NumbersDialog.h"
#include "framework/System.h"

namespace {

const char kMenu[] = "&Table";

void AskShape(CDemoFrame& frame) {
    const TableShape now = frame.Shape();
    CNumbersDialog dialog(&frame, "Table size",
                          {{"Rows (fixed ones included)", now.rows},
                           {"Columns (fixed ones included)", now.cols},
                           {"Fixed rows", now.fixedRows},
                           {"Fixed columns", now.fixedCols}},
                          [](const std::vector<int>& v) { return CheckTableShape({v[0], v[1], v[2], v[3]}); });
    if (dialog.DoModal() != IDOK) return;
    const std::vector<int> v = dialog.Values();
    frame.Reshape({v[0], v[1], v[2], v[3]});
}

// The table made `rows` rows of benchmark data long under its fixed rows, and filled.
void AskBenchmarkRows(CDemoFrame& frame) {
    const TableShape now = frame.Shape();
    CNumbersDialog dialog(&frame, "Benchmark data", {{"Rows of data", 100000}}, [now](const std::vector<int>& v) {
        TableShape wanted = now;
        wanted.rows = now.fixedRows + v[0];
        return v[0] > kMaxRows - now.fixedRows ? std::string("Too many rows.") : CheckTableShape(wanted);
    });
    if (dialog.DoModal() != IDOK) return;
    TableShape wanted = now;
    wanted.rows = now.fixedRows + dialog.Values()[0];
    frame.Reshape(wanted);
    frame.FillTable(FillMode::Seeded);
}

DemoCommand Item(const char* text, std::function<void(CDemoFrame&)> run) {
    DemoCommand c;
    c.menu = kMenu;
    c.text = text;
    c.run = std::move(run);
    return c;
}

}  // namespace

void AddTableFeature(DemoFeatures& features) {
    features.commands.push_back(Item("&Size...", AskShape));
    features.Separator(kMenu);
    features.commands.push_back(Item("Fill &numbered", [](CDemoFrame& f) { f.FillTable(FillMode::Numbered); }));
    features.commands.push_back(Item("Fill with &benchmark data...", AskBenchmarkRows));
    features.commands.push_back(Item("&Empty every cell", [](CDemoFrame& f) { f.FillTable(FillMode::None); }));
    features.Separator(kMenu);
    DemoCommand fit = Item("&Autosize columns", [](CDemoFrame& f) {
        CWaitCursor wait;
        f.Grid().AutoSizeColumns();
        f.Grid().RefreshAll();
    });
    fit.update = [](CDemoFrame& f, CFrameWnd::CommandState* state) { state->enabled = f.Grid().GetColumnCount() > 0; };
    features.commands.push_back(fit);
    // As a press on the column's header sorts it: ascending, or descending when it is
    // sorted ascending already.
    DemoCommand sort = Item("S&ort", [](CDemoFrame& f) { f.Grid().SortByHeader(f.Grid().GetFocusCell().col); });
    sort.update = [](CDemoFrame& f, CFrameWnd::CommandState* state) { state->enabled = f.Grid().GetFocusCell().IsSet(); };
    features.commands.push_back(sort);
    DemoCommand images = Item("Show &pictures", [](CDemoFrame& f) { f.ShowImages(!f.ImagesShown()); });
    images.update = [](CDemoFrame& f, CFrameWnd::CommandState* state) {
        state->enabled = f.ImageColumn() >= 0;
        state->checked = f.ImagesShown();
    };
    features.commands.push_back(images);
}
