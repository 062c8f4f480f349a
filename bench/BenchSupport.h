// The clock and the memory figures the benchmarks print.
#pragma once

#include <windows.h>
#include <psapi.h>

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
