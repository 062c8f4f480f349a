// How a cell is stored: its text inside the object or in a block of its own, the seldom-used
// attributes in a side block that exists only while one of them is set, the slabs the cells
// live in.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "grid/cells/CellSlabs.h"
#include "grid/cells/CompactText.h"
#include "grid/cells/GridCellCheck.h"
#include "tests/grid/GridTestSupport.h"

using namespace std::string_literals;

TEST(CompactText, KeepsEveryTextWhereverItLives) {
    const struct {
        std::string text;
        bool onHeap;
    } cases[] = {
        {"", false},
        {"a", false},
        {"fifteen bytes!!", false},     // the longest kept inside
        {"sixteen bytes!!!", true},     // the shortest with a block of its own
        {std::string(1000, 'x'), true},
        {"\xD6\xD0\xCE\xC4\xB1\xED", false},  // GBK bytes as they are
        {"zero\0inside"s, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        CCompactText text(c.text);
        EXPECT_EQ(text.Str(), c.text);
        EXPECT_EQ(text.Size(), c.text.size());
        EXPECT_EQ(text.OnHeap(), c.onHeap);
        // Copies, moves and swaps keep the bytes; the one moved from is empty.
        CCompactText copy(text);
        EXPECT_EQ(copy.View(), text.View());
        if (c.onHeap) {
            EXPECT_NE(copy.Data(), text.Data());
        }
        CCompactText moved(std::move(copy));
        EXPECT_EQ(moved.Str(), c.text);
        EXPECT_TRUE(copy.Empty());
        CCompactText other("other");
        other.Swap(moved);
        EXPECT_EQ(other.Str(), c.text);
        EXPECT_EQ(moved.Str(), "other");
        // A text given a part of itself, inside or on the heap.
        if (!c.text.empty()) {
            text.Assign(text.View().substr(1));
            EXPECT_EQ(text.Str(), c.text.substr(1));
        }
        text.Clear();
        EXPECT_TRUE(text.Empty());
        EXPECT_FALSE(text.OnHeap());
    }
}

namespace {
// One seldom-used attribute: how to set it to a value other than its unset one, whether the
// cell has that value, and how to unset it again.
struct Attribute {
    const char* name;
    std::function<void(CGridCell&)> set;
    std::function<bool(const CGridCell&)> has;
    std::function<void(CGridCell&)> clear;
};

LOGFONTW TestFont() {
    LOGFONTW lf{};
    lf.lfHeight = -13;
    wcscpy(lf.lfFaceName, L"Arial");
    return lf;
}

std::vector<Attribute> Attributes() {
    return {
        {"text colour", [](CGridCell& c) { c.SetTextColour(RGB(1, 2, 3)); },
         [](const CGridCell& c) { return c.GetTextColour() == RGB(1, 2, 3); },
         [](CGridCell& c) { c.SetTextColour(CLR_DEFAULT); }},
        {"back colour", [](CGridCell& c) { c.SetBackColour(RGB(4, 5, 6)); },
         [](const CGridCell& c) { return c.GetBackColour() == RGB(4, 5, 6); },
         [](CGridCell& c) { c.SetBackColour(CLR_DEFAULT); }},
        {"font",
         [](CGridCell& c) {
             const LOGFONTW lf = TestFont();
             c.SetFont(&lf);
         },
         [](const CGridCell& c) {
             return !c.UsesDefaultFont() && c.GetFont() && c.GetFont()->lfHeight == -13 &&
                    wcscmp(c.GetFont()->lfFaceName, L"Arial") == 0;
         },
         [](CGridCell& c) { c.SetFont(nullptr); }},
        {"image", [](CGridCell& c) { c.SetImage(7); }, [](const CGridCell& c) { return c.GetImage() == 7; },
         [](CGridCell& c) { c.SetImage(-1); }},
        {"data", [](CGridCell& c) { c.SetData(0x1234); }, [](const CGridCell& c) { return c.GetData() == 0x1234; },
         [](CGridCell& c) { c.SetData(0); }},
        {"margin", [](CGridCell& c) { c.SetMargin(9); }, [](const CGridCell& c) { return c.GetMargin() == 9u; },
         [](CGridCell& c) { c.SetMargin(0xFFFFFFFF); }},
        {"merge origin", [](CGridCell& c) { c.SetSpanRange(CGridCellRange(1, 1, 2, 3)); },
         [](const CGridCell& c) { return c.IsSpanned() && c.GetSpanRange() == CGridCellRange(1, 1, 2, 3); },
         [](CGridCell& c) { c.SetSpanRange(CGridCellRange()); }},
        {"covered", [](CGridCell& c) { c.SetSpanOwner(1, 1); },
         [](const CGridCell& c) { return c.IsCoveredBySpan() && c.GetSpanOwner() == CGridCellId(1, 1); },
         [](CGridCell& c) { c.SetSpanOwner(-1, -1); }},
        {"hidden", [](CGridCell& c) { c.SetVisible(false); }, [](const CGridCell& c) { return !c.IsVisible(); },
         [](CGridCell& c) { c.SetVisible(true); }},
    };
}
}  // namespace

TEST(LeanCell, AttributesComeAndGoWithoutDisturbingEachOther) {
    const std::vector<Attribute> attributes = Attributes();
    CGridCell cell;
    cell.SetText("short text");
    cell.SetFormat(DT_RIGHT);
    cell.SetState(CELL_SELECTED | CELL_MODIFIED);
    // Text, format and state need no side block.
    EXPECT_FALSE(cell.HasExtras());
    // Setting an attribute to its unset value makes none either.
    for (const Attribute& a : attributes) {
        a.clear(cell);
        EXPECT_FALSE(cell.HasExtras()) << a.name;
    }
    // Each one alone: set, kept, cleared; the block goes with it.
    for (const Attribute& a : attributes) {
        SCOPED_TRACE(a.name);
        a.set(cell);
        EXPECT_TRUE(cell.HasExtras());
        EXPECT_TRUE(a.has(cell));
        a.clear(cell);
        EXPECT_FALSE(a.has(cell));
        EXPECT_FALSE(cell.HasExtras());
    }
    // One after another: every earlier one stays; cleared in another order, the block goes
    // with the last.
    for (size_t i = 0; i < attributes.size(); ++i) {
        attributes[i].set(cell);
        for (size_t j = 0; j <= i; ++j) EXPECT_TRUE(attributes[j].has(cell)) << attributes[j].name << " after setting "
                                                                             << attributes[i].name;
    }
    std::vector<bool> cleared(attributes.size(), false);
    for (size_t k = 0; k < attributes.size(); ++k) {
        EXPECT_TRUE(cell.HasExtras());
        const size_t i = (k * 4) % attributes.size();  // nine attributes: 0, 4, 8, 3, 7, 2, 6, 1, 5
        attributes[i].clear(cell);
        cleared[i] = true;
        for (size_t j = 0; j < attributes.size(); ++j)
            EXPECT_EQ(attributes[j].has(cell), !cleared[j]) << attributes[j].name << " after clearing "
                                                            << attributes[i].name;
    }
    EXPECT_FALSE(cell.HasExtras());
    EXPECT_EQ(cell.GetText(), "short text");
    EXPECT_EQ(cell.GetFormat(), static_cast<DWORD>(DT_RIGHT));
    EXPECT_EQ(cell.GetState(), static_cast<DWORD>(CELL_SELECTED | CELL_MODIFIED));
    // Reset drops everything at once.
    for (const Attribute& a : attributes) a.set(cell);
    cell.Reset();
    EXPECT_FALSE(cell.HasExtras());
    for (const Attribute& a : attributes) EXPECT_FALSE(a.has(cell)) << a.name;
}

TEST(LeanCell, ATakenOverCellKeepsEveryAttributeAsStored) {
    const std::vector<Attribute> attributes = Attributes();
    CGridCell from;
    from.SetText("a text longer than fifteen bytes");
    for (const Attribute& a : attributes) a.set(from);
    CGridCellCheck to;
    to.TakeOverFrom(from);
    EXPECT_EQ(to.GetText(), from.GetText());
    for (const Attribute& a : attributes) EXPECT_TRUE(a.has(to)) << a.name;
    // Its own copy: the source's font record changing leaves it alone.
    LOGFONTW other = TestFont();
    other.lfHeight = -20;
    from.SetFont(&other);
    EXPECT_EQ(to.GetFont()->lfHeight, -13);
    // A plain source leaves no block behind.
    CGridCell plain;
    to.TakeOverFrom(plain);
    EXPECT_FALSE(to.HasExtras());
}

TEST(CellSlabs, CellsShareSlabsThatGoBackWhenEmpty) {
    const size_t before = CCellSlabs::SlabCount();
    const size_t perSlab = CCellSlabs::kSlabBytes / sizeof(CGridCell);
    std::vector<CGridCell*> cells;
    for (size_t i = 0; i < perSlab * 3; ++i) {
        cells.push_back(new CGridCell);
        cells.back()->SetText(std::to_string(i));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(cells.back()) % 8, 0u);
    }
    const size_t full = CCellSlabs::SlabCount();
    EXPECT_GE(full, before + 3);
    EXPECT_LE(full, before + 4);
    // Every cell kept its own text: no two share a slot.
    for (size_t i = 0; i < cells.size(); ++i) ASSERT_EQ(cells[i]->GetText(), std::to_string(i));
    // Freed in another order than made; a freed slot is used again.
    for (size_t i = 0; i < cells.size(); i += 2) delete cells[i];
    auto* again = new CGridCell;
    EXPECT_TRUE(std::any_of(cells.begin(), cells.end(), [again](const CGridCell* freed) {
        return reinterpret_cast<uintptr_t>(freed) == reinterpret_cast<uintptr_t>(again);
    }));
    delete again;
    for (size_t i = 1; i < cells.size(); i += 2) delete cells[i];
    EXPECT_LE(CCellSlabs::SlabCount(), before + 1);  // one empty slab is kept
    // Objects larger than a slab takes live on the ordinary heap.
    void* large = CCellSlabs::Allocate(CCellSlabs::kLargest + 1);
    EXPECT_LE(CCellSlabs::SlabCount(), before + 1);
    std::memset(large, 0xAB, CCellSlabs::kLargest + 1);
    CCellSlabs::Free(large);
    CCellSlabs::Free(nullptr);
}

TEST(LeanCell, CopyAfterASortGivesEveryRowInItsPlace) {
    // A sort leaves the rows anywhere in memory: the copy reads them in memory order and
    // must still write each line where its row is.
    GridInWindow window(40, 3, 1, 0);
    CGridCtrl& grid = window.grid;
    for (int row = 1; row < 40; ++row) {
        // Cells of another class give their text through GetText.
        if (row % 4 == 0) grid.SetCellType(row, 1, RUNTIME_CLASS(CGridCellCheck));
        grid.SetCellText(row, 0, std::to_string((row * 17) % 40));
        grid.SetCellText(row, 1, "r" + std::to_string(row));
        grid.SetCellText(row, 2, std::string(row % 3 ? 3 : 20, static_cast<char>('a' + row % 26)));
    }
    grid.SetRowHeight(5, 0);  // a hidden row gives no line
    grid.SortByColumn(0, TRUE);
    grid.SelectAllCells();
    std::string expected;
    for (int row = 1; row < 40; ++row) {
        if (grid.GetRowHeight(row) == 0) continue;
        expected += grid.GetCellText(row, 0) + "\t" + grid.GetCellText(row, 1) + "\t" + grid.GetCellText(row, 2);
        if (row != 39) expected += "\n";
    }
    expected.push_back('\0');
    EXPECT_EQ(grid.SelectionText(), expected);
}
