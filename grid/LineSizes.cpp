#include "grid/LineSizes.h"

#include <algorithm>

namespace {
// The lowest set bit of i (i > 0): how many lines Fenwick entry i sums.
size_t LowBit(size_t i) { return i & (~i + 1); }
}  // namespace

int CGridLineSizes::Size(int index) const {
    return index >= 0 && index < Count() ? m_sizes[static_cast<size_t>(index)] : -1;
}

bool CGridLineSizes::SetSize(int index, int size) {
    if (index < 0 || index >= Count() || size < 0 || size > MAX_SIZE) return false;
    const int64_t delta = size - m_sizes[static_cast<size_t>(index)];
    m_sizes[static_cast<size_t>(index)] = size;
    for (size_t i = static_cast<size_t>(index) + 1; i < m_tree.size(); i += LowBit(i)) m_tree[i] += delta;
    m_total += delta;
    return true;
}

void CGridLineSizes::Reserve(int count) {
    if (count <= 0) return;
    m_sizes.reserve(static_cast<size_t>(count));
    m_tree.reserve(static_cast<size_t>(count) + 1);
}

void CGridLineSizes::Append(int size) {
    size = std::min(std::max(size, 0), MAX_SIZE);
    // Entry i sums line i-1 and the entries of its children, which all exist already.
    const size_t i = m_tree.size();
    int64_t sum = size;
    for (size_t child = i - 1; child > i - LowBit(i); child -= LowBit(child)) sum += m_tree[child];
    m_tree.push_back(sum);
    try {
        m_sizes.push_back(size);
    } catch (...) {
        m_tree.pop_back();
        throw;
    }
    m_total += size;
}

void CGridLineSizes::Truncate(int count) {
    if (count < 0) count = 0;
    if (count >= Count()) return;
    // An entry sums only lines before its own index: those kept stay right.
    m_total = Prefix(count);
    m_sizes.resize(static_cast<size_t>(count));
    m_tree.resize(static_cast<size_t>(count) + 1);
}

void CGridLineSizes::ShrinkToFit() {
    // Giving memory back needs a smaller block; without one, the room simply stays.
    try {
        m_sizes.shrink_to_fit();
        m_tree.shrink_to_fit();
    } catch (...) {
    }
}

void CGridLineSizes::Clear() {
    std::vector<int32_t>().swap(m_sizes);
    std::vector<int64_t>(1, 0).swap(m_tree);
    m_total = 0;
}

int64_t CGridLineSizes::Prefix(int count) const {
    size_t i = static_cast<size_t>(std::min(std::max(count, 0), Count()));
    int64_t sum = 0;
    for (; i > 0; i -= LowBit(i)) sum += m_tree[i];
    return sum;
}

int64_t CGridLineSizes::Sum(int first, int last) const {
    if (last < first) return 0;
    return Prefix(last + 1) - Prefix(first);
}

int CGridLineSizes::FirstReaching(int64_t offset) const {
    if (offset <= 0) return 0;
    if (offset > m_total) return Count() + 1;
    // Descend the tree: `pos` grows to the largest count whose prefix stays below the offset.
    const size_t n = m_sizes.size();
    size_t step = 1;
    while (step * 2 <= n) step *= 2;
    size_t pos = 0;
    int64_t rest = offset;
    for (; step > 0; step /= 2) {
        if (pos + step <= n && m_tree[pos + step] < rest) {
            pos += step;
            rest -= m_tree[pos];
        }
    }
    return static_cast<int>(pos) + 1;
}

int CGridLineSizes::LineAt(int64_t offset) const {
    if (offset < 0 || offset >= m_total) return -1;
    return FirstReaching(offset + 1) - 1;
}
