// The row heights and column widths with their running totals, without a window: checked
// against a plain array summed the slow way, through every kind of change.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "grid/LineSizes.h"

namespace {
// The questions asked the slow way.
struct PlainSizes {
    std::vector<int> sizes;
    long long Prefix(int n) const {
        long long sum = 0;
        for (int i = 0; i < n; ++i) sum += sizes[static_cast<size_t>(i)];
        return sum;
    }
    int FirstReaching(long long offset) const {
        long long sum = 0;
        if (sum >= offset) return 0;
        for (size_t i = 0; i < sizes.size(); ++i)
            if ((sum += sizes[i]) >= offset) return static_cast<int>(i) + 1;
        return static_cast<int>(sizes.size()) + 1;
    }
    int LineAt(long long offset) const {
        long long start = 0;
        for (size_t i = 0; i < sizes.size(); ++i) {
            if (offset >= start && offset < start + sizes[i]) return static_cast<int>(i);
            start += sizes[i];
        }
        return -1;
    }
};

void ExpectSame(const CGridLineSizes& fast, const PlainSizes& plain) {
    const int count = static_cast<int>(plain.sizes.size());
    ASSERT_EQ(fast.Count(), count);
    ASSERT_EQ(fast.Total(), plain.Prefix(count));
    for (int n = 0; n <= count; ++n) ASSERT_EQ(fast.Prefix(n), plain.Prefix(n)) << n;
    // Every offset from before the start to past the end, lines of size 0 included.
    for (long long offset = -2; offset <= fast.Total() + 2; ++offset) {
        ASSERT_EQ(fast.FirstReaching(offset), plain.FirstReaching(offset)) << offset;
        ASSERT_EQ(fast.LineAt(offset), plain.LineAt(offset)) << offset;
    }
    if (count > 2) {
        EXPECT_EQ(fast.Sum(1, count - 2), plain.Prefix(count - 1) - plain.Prefix(1));
    }
}
}  // namespace

TEST(LineSizes, AgreeWithPlainSumsThroughEveryChange) {
    CGridLineSizes fast;
    PlainSizes plain;
    std::mt19937 random(2024);
    // A quarter of the sizes are 0: hidden lines are where walks go wrong.
    auto size = [&] { return random() % 4 == 0 ? 0 : static_cast<int>(random() % 9); };
    for (int step = 0; step < 600; ++step) {
        const unsigned kind = random() % 10;
        if (kind < 5 || plain.sizes.empty()) {
            const int s = size();
            fast.Append(s);
            plain.sizes.push_back(s);
        } else if (kind < 9) {
            const int index = static_cast<int>(random() % plain.sizes.size()), s = size();
            ASSERT_TRUE(fast.SetSize(index, s));
            plain.sizes[static_cast<size_t>(index)] = s;
        } else {
            const int keep = static_cast<int>(random() % (plain.sizes.size() + 1));
            fast.Truncate(keep);
            plain.sizes.resize(static_cast<size_t>(keep));
        }
        if (step % 25 == 0) {
            ASSERT_NO_FATAL_FAILURE(ExpectSame(fast, plain)) << "step " << step;
        }
    }
    ASSERT_NO_FATAL_FAILURE(ExpectSame(fast, plain));
    fast.ShrinkToFit();
    ASSERT_NO_FATAL_FAILURE(ExpectSame(fast, plain));
    fast.Clear();
    EXPECT_EQ(fast.Count(), 0);
    EXPECT_EQ(fast.Total(), 0);
    EXPECT_EQ(fast.LineAt(0), -1);
}

TEST(LineSizes, SizesAreBoundedAndTotalsGoPastAnInt) {
    CGridLineSizes sizes;
    const int lines = 70000;  // of the largest size: 2,293,690,000 pixels
    sizes.Reserve(lines);
    for (int i = 0; i < lines; ++i) sizes.Append(CGridLineSizes::MAX_SIZE + 100);  // clamped
    EXPECT_EQ(sizes.Size(0), 32767);
    EXPECT_EQ(sizes.Total(), 2293690000LL);
    EXPECT_EQ(sizes.Prefix(lines - 1), 2293657233LL);
    EXPECT_EQ(sizes.LineAt(2293690000LL - 1), lines - 1);
    EXPECT_EQ(sizes.LineAt(2293690000LL), -1);
    EXPECT_EQ(sizes.FirstReaching(2293690001LL), lines + 1);

    const struct {
        int index, size;
        bool accepted;
    } changes[] = {{0, 32767, true}, {0, 0, true},       {lines - 1, 5, true}, {lines, 5, false},
                   {-1, 5, false},   {3, 32768, false},  {3, -1, false}};
    for (const auto& c : changes) {
        const long long before = sizes.Total();
        const int old = sizes.Size(c.index);
        EXPECT_EQ(sizes.SetSize(c.index, c.size), c.accepted) << c.index << " " << c.size;
        EXPECT_EQ(sizes.Total(), c.accepted ? before - old + c.size : before) << c.index << " " << c.size;
    }
    EXPECT_EQ(sizes.Size(lines), -1);
    EXPECT_EQ(sizes.Sum(5, 4), 0);
}
