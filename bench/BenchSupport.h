// The clock and the memory figures the benchmarks print, and the copy text's floor.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <string>
#include <vector>

// Seconds on the high-resolution counter.
inline double Seconds() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds `step` took.
template <class F>
double Ms(F step) {
    const double start = Seconds();
    step();
    return (Seconds() - start) * 1000.0;
}

struct Memory {
    long long privateBytes, workingSet;
};

// The process's committed private bytes and working set. Wine leaves PrivateUsage at 0 but
// fills PagefileUsage, which on Windows holds the same figure.
inline Memory MemoryNow() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
    SIZE_T privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    return {static_cast<long long>(privateBytes), static_cast<long long>(counters.WorkingSetSize)};
}

struct HeapUse {
    long long bytes;   // busy blocks' sizes, each with its share of the heap's bookkeeping
    long long blocks;  // busy blocks
};

// What the process's heaps hold in busy blocks now (HeapWalk over every heap): the memory a
// data structure really costs, allocator rounding and block headers included.
inline HeapUse HeapInUse() {
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    HeapUse use{0, 0};
    for (DWORD i = 0; i < count && i < 256; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if (!(entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)) continue;
            use.bytes += static_cast<long long>(entry.cbData) + entry.cbOverhead;
            ++use.blocks;
        }
        HeapUnlock(heaps[i]);
    }
    return use;
}

// The copy text's floor: the grid's copy text of `rows` x `cols` cells written from a plain
// array of strings, row by row (tab between fields, line feed between rows, a zero byte at
// the end).
inline std::string PlainCopyText(const std::vector<std::string>& cells, int rows, int cols) {
    std::string out;
    out.reserve(cells.size() * 10 + static_cast<size_t>(rows) + 1);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            out += cells[static_cast<size_t>(row) * cols + col];
            if (col != cols - 1) out.push_back('\t');
        }
        if (row != rows - 1) out.push_back('\n');
    }
    out.push_back('\0');
    return out;
}
