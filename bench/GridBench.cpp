// Time and memory of a large table: 100,000 rows of 10 columns built, every cell selected,
// every cell looked up, the selection cleared, the table removed. Memory is the process's
// private bytes and working set (GetProcessMemoryInfo), as the change from before each step.
#include <cstdio>

#include "bench/BenchSupport.h"

#include "framework/System.h"
#include "grid/GridCtrl.h"

namespace {
// Runs `step`, then prints its time, the memory change and that change per cell.
template <class F>
void Measure(const char* what, long long cells, F step) {
    Memory before = MemoryNow();
    double start = Seconds();
    step();
    double elapsed = Seconds() - start;
    Memory after = MemoryNow();
    long long privateDelta = after.privateBytes - before.privateBytes;
    std::printf("%-34s %9.1f ms   private %+9.1f MiB   working set %+9.1f MiB   %+7.1f bytes/cell\n", what,
                elapsed * 1000.0, privateDelta / 1048576.0, (after.workingSet - before.workingSet) / 1048576.0,
                cells ? static_cast<double>(privateDelta) / static_cast<double>(cells) : 0.0);
}
}  // namespace

int main() {
    const int rows = 100000, cols = 10;
    const long long cells = static_cast<long long>(rows) * cols;

    AfxRegisterClassOnce(L"GridBenchHost", 0, nullptr);
    CWnd host;
    host.CreateEx(0, L"GridBenchHost", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 640, 480), nullptr, 0);
    auto* grid = new CGridCtrl;
    grid->Create(CRect(0, 0, 600, 400), &host, 1008, WS_CHILD | WS_VISIBLE);
    grid->SetColumnCount(cols);

    std::printf("grid of %d rows x %d columns (%lld cells), %s\n", rows, cols, cells,
                host.IsWindow() ? "in a window" : "without a window");
    Measure("SetRowCount(100000)", cells, [&] { grid->SetRowCount(rows); });
    Measure("SelectRange over every cell", cells, [&] { grid->SelectRange(0, 0, rows - 1, cols - 1); });
    long long selected = 0;
    Measure("CellIsSelected for every cell", 0, [&] {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) selected += grid->CellIsSelected(r, c);
    });
    std::printf("%-34s %lld of %lld in the set\n", "  selected", static_cast<long long>(grid->Selection().Size()), selected);
    Measure("ClearSelection", cells, [&] { grid->ClearSelection(); });
    Measure("RemoveAllCells", cells, [&] { grid->RemoveAllCells(); });
    delete grid;
    return 0;
}
