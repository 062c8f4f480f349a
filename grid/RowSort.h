// The grid's row sort, with no window: a quicksort that puts the items standing for a range
// of rows in order (row numbers, or whatever a compare needs beside them), leaving the rows
// themselves where they are until the caller moves them.
//
// It is the grid's documented quicksort step for step: the pivot is the item in the middle
// slot when a range is taken up (that row, not that slot, while items move); the slots are
// scanned from both ends against it; two rows that compare equal are never exchanged; the
// sort is not stable. Only the order of work differs: it recurses into the smaller part
// and loops over the larger, so it never goes deeper than about log2(n) levels, where
// recursing into both parts can go one level per row on an unlucky order.
#pragma once

#include <algorithm>
#include <utility>

// What a sort did, for whoever wants to know (tests, benchmarks).
struct RowSortStats {
    long long comparisons = 0;  // calls of the compare function
    long long exchanges = 0;    // pairs of slots exchanged
    int depth = 0;              // deepest level of recursion; 1 for the first call
};

namespace row_sort_detail {
template <class Item, class Compare>
void Sort(Item* order, int lo, int hi, bool ascending, Compare& compare, RowSortStats* stats, int depth) {
    while (lo < hi) {
        if (stats) stats->depth = std::max(stats->depth, depth);
        auto cmp = [&](const Item& a, const Item& b) {
            if (stats) ++stats->comparisons;
            return compare(a, b);
        };
        const Item pivot = order[lo + (hi - lo) / 2];
        int j = lo, i = hi;
        while (j <= i) {
            if (ascending) {
                while (j < hi && cmp(order[j], pivot) < 0) ++j;
                while (i > lo && cmp(order[i], pivot) > 0) --i;
            } else {
                while (j < hi && cmp(order[j], pivot) > 0) ++j;
                while (i > lo && cmp(order[i], pivot) < 0) --i;
            }
            if (i < j) break;
            if (cmp(order[j], order[i]) != 0) {
                std::swap(order[j], order[i]);
                if (stats) ++stats->exchanges;
            }
            ++j;
            --i;
        }
        // The parts [lo, i] and [j, hi] are independent: the smaller one first, by recursion.
        if (i - lo < hi - j) {
            if (lo < i) Sort(order, lo, i, ascending, compare, stats, depth + 1);
            lo = j;
        } else {
            if (j < hi) Sort(order, j, hi, ascending, compare, stats, depth + 1);
            hi = i;
        }
    }
}
}  // namespace row_sort_detail

// Sorts the slots order[0] .. order[count - 1], each holding an item that stands for a row,
// by compare(item a, item b): negative when a comes first in ascending order, 0 when equal,
// positive when after. Descending order reverses the sense of every comparison.
template <class Item, class Compare>
void SortRowOrder(Item* order, int count, bool ascending, Compare compare, RowSortStats* stats = nullptr) {
    if (count > 1) row_sort_detail::Sort(order, 0, count - 1, ascending, compare, stats, 1);
}
