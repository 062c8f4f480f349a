// The combo box and date-time picker editors over real platform controls: what they show
// when they open, the keys that end them and what they report, one report however the
// focus moves, and date-time values past 2038.
#include "grid/cells/CellComboList.h"
#include "grid/cells/CellDateTimeBox.h"
#include "grid/cells/GridCellCombo.h"
#include "grid/cells/GridCellDateTime.h"
#include "grid/cells/GridCellNumeric.h"
#include "tests/grid/EditorTestSupport.h"

namespace {
const std::vector<std::string> kFruit = {"Apple", "Banana", "10", "1", "Cherry"};
const CRect kCell(10, 10, 110, 30);

CCellComboList* OpenCombo(ReportingHost& host, DWORD style, const std::string& text, UINT firstChar = VK_LBUTTON,
                          const std::vector<std::string>& options = kFruit, const CRect& cell = kCell) {
    auto* box = new CCellComboList(&host.Grid(), cell, style, INPLACE_EDITOR_ID, 2, 3, CLR_DEFAULT, CLR_DEFAULT,
                                   options, text, firstChar);
    EXPECT_TRUE(box->IsWindow());
    return box;
}

SYSTEMTIME Local(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0) {
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

int64_t Moment(const SYSTEMTIME& local) {
    int64_t seconds = 0;
    EXPECT_TRUE(GridTimeFromLocal(local, &seconds));
    return seconds;
}
}  // namespace

TEST(ComboEditor, ShowsTheCellTextAndSelectsOnlyAnExactOption) {
    const struct {
        DWORD style;
        const char* initial;
        const char* shown;
        LRESULT selected;
        const char* reported;  // after Enter
    } cases[] = {
        {CBS_DROPDOWN, "Kiwi", "Kiwi", CB_ERR, "Kiwi"},
        {CBS_DROPDOWN, "1", "1", 3, "1"},              // not "10", which begins with it
        {CBS_DROPDOWN, "apple", "apple", CB_ERR, "apple"},
        {CBS_DROPDOWNLIST, "Banana", "Banana", 1, "Banana"},
        {CBS_DROPDOWNLIST, "Kiwi", "", CB_ERR, "Kiwi"},  // cannot be shown, but is not lost
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.initial);
        ReportingHost host;
        CCellComboList* box = OpenCombo(host, c.style, c.initial);
        const HWND window = box->m_hWnd;
        EXPECT_EQ(box->GetWindowText(), c.shown);
        EXPECT_EQ(box->SendMessage(CB_GETCURSEL), c.selected);
        EXPECT_TRUE(box->SendMessage(CB_GETDROPPEDSTATE));
        EXPECT_EQ(box->EditField() != nullptr, c.style == CBS_DROPDOWN);
        PressKey(VK_RETURN);
        ASSERT_EQ(host.reports.size(), 1u);
        EXPECT_EQ(host.reports[0].code, GRID_NOTIFY_ENDEDIT);
        EXPECT_EQ(host.reports[0].row, 2);
        EXPECT_EQ(host.reports[0].col, 3);
        EXPECT_EQ(host.reports[0].key, static_cast<UINT>(VK_RETURN));
        EXPECT_EQ(host.reports[0].text, c.reported);
        EXPECT_FALSE(IsWindow(window));
    }
}

TEST(ComboEditor, DroppedListIsAsWideAsItsWidestOptionUpTo200) {
    ReportingHost host;
    const std::vector<std::string> shortOptions = {"a", "Banana split"};
    CCellComboList* narrow = OpenCombo(host, CBS_DROPDOWN, "a", VK_LBUTTON, shortOptions, CRect(10, 10, 40, 30));
    // The widest option, a scroll bar and a "0" in the box's font now.
    const auto expected = [narrow] {
        CClientDC dc(narrow->m_hWnd);
        CSelectGuard font(dc, narrow->GetFont());
        return dc.GetTextExtent("Banana split").cx + GetSystemMetrics(SM_CXVSCROLL) + dc.GetTextExtent("0").cx;
    };
    const LONG first = expected();
    ASSERT_LT(first, 150);
    EXPECT_EQ(narrow->SendMessage(CB_GETDROPPEDWIDTH), first);
    // Each drop sizes the list again: in a larger font it is wider.
    LOGFONTW larger{};
    GetObjectW(narrow->GetFont() ? narrow->GetFont() : GetStockObject(DEFAULT_GUI_FONT), sizeof(larger), &larger);
    larger.lfHeight = larger.lfHeight < 0 ? larger.lfHeight * 3 / 2 : -20;
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&larger));
    narrow->SetFont(font, FALSE);
    narrow->SendMessage(CB_SHOWDROPDOWN, FALSE);
    narrow->SendMessage(CB_SHOWDROPDOWN, TRUE);
    ASSERT_GT(expected(), first);
    EXPECT_EQ(narrow->SendMessage(CB_GETDROPPEDWIDTH), std::min<LONG>(expected(), 200));
    narrow->DestroyWindow();

    CCellComboList* wide = OpenCombo(host, CBS_DROPDOWNLIST, "", VK_LBUTTON,
                                     {"short", std::string(80, 'W'), "another long option, much longer than the cell"});
    EXPECT_EQ(wide->SendMessage(CB_GETDROPPEDWIDTH), 200);
}

TEST(ComboEditor, KeysEndTheEditWithTheirKey) {
    const auto type = [](const char* text) {
        for (const char* p = text; *p; ++p) TypeChar(static_cast<UCHAR>(*p));
    };
    const auto ctrl = [](UINT key) {
        HeldKeys held(true);
        PressKey(key);
    };
    const struct {
        const char* what;
        DWORD style;
        std::function<void()> keys;
        UINT key;
        const char* text;
    } cases[] = {
        {"typing, then Esc restores", CBS_DROPDOWN, [&] { type("xy"); PressKey(VK_ESCAPE); }, VK_ESCAPE, "Kiwi"},
        {"typing, then Enter keeps", CBS_DROPDOWN, [&] { type("xy"); PressKey(VK_RETURN); }, VK_RETURN, "Kiwixy"},
        {"Tab", CBS_DROPDOWN, [] { PressKey(VK_TAB); }, VK_TAB, "Kiwi"},
        {"Down moves in the list", CBS_DROPDOWN, [] { PressKey(VK_DOWN); }, 0, nullptr},
        {"Ctrl+Down", CBS_DROPDOWN, [&] { ctrl(VK_DOWN); }, VK_DOWN, "Kiwi"},
        {"choosing, then Enter", CBS_DROPDOWNLIST, [] { PressKey(VK_DOWN); PressKey(VK_RETURN); }, VK_RETURN, "10"},
        {"choosing, then Esc restores", CBS_DROPDOWNLIST, [] { PressKey(VK_DOWN); PressKey(VK_ESCAPE); }, VK_ESCAPE,
         "Banana"},
        {"Ctrl+PageUp", CBS_DROPDOWNLIST, [&] { ctrl(VK_PRIOR); }, VK_PRIOR, "Banana"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReportingHost host;
        CCellComboList* box = OpenCombo(host, c.style, c.style == CBS_DROPDOWN ? "Kiwi" : "Banana");
        const HWND window = box->m_hWnd;
        c.keys();
        if (!c.text) {
            EXPECT_TRUE(host.reports.empty());
            EXPECT_TRUE(IsWindow(window));
            continue;
        }
        ASSERT_EQ(host.reports.size(), 1u);
        EXPECT_EQ(host.reports[0].key, c.key);
        EXPECT_EQ(host.reports[0].text, c.text);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(GetFocus(), host.Grid().m_hWnd);
    }
}

TEST(CellEditors, OneReportEvenWhenTheFocusMovesDuringIt) {
    int64_t value = Moment(Local(2030, 3, 15));
    const struct {
        const char* what;
        std::function<CCellEditorBase*(ReportingHost&)> open;
    } editors[] = {
        {"drop-down", [](ReportingHost& h) { return OpenCombo(h, CBS_DROPDOWN, "Kiwi"); }},
        {"choose-only", [](ReportingHost& h) { return OpenCombo(h, CBS_DROPDOWNLIST, "Apple"); }},
        {"date-time", [&value](ReportingHost& h) {
             return new CCellDateTimeBox(&h.Grid(), kCell, DTS_UPDOWN, INPLACE_EDITOR_ID, 2, 3, CLR_DEFAULT, CLR_DEFAULT,
                                         &value, VK_LBUTTON);
         }},
    };
    for (const auto& e : editors) {
        for (bool byKey : {true, false}) {
            SCOPED_TRACE(std::string(e.what) + (byKey ? " Enter" : " focus loss"));
            ReportingHost host;
            CCellEditorBase* editor = e.open(host);
            const HWND window = editor->m_hWnd;
            // The receiver takes the focus elsewhere and asks the editor to finish again.
            host.onReport = [&] {
                SetFocus(GetParent(host.Grid().m_hWnd));
                editor->FinishEdit();
            };
            if (byKey)
                PressKey(VK_RETURN);
            else
                host.Grid().SetFocus();
            PumpMessages();
            ASSERT_EQ(host.reports.size(), 1u);
            EXPECT_EQ(host.reports[0].key, byKey ? static_cast<UINT>(VK_RETURN) : 0u);
            EXPECT_FALSE(IsWindow(window));
        }
    }
}

TEST(DateTimeEditor, MomentsPast2038SurviveAnEdit) {
    const SYSTEMTIME moments[] = {
        Local(2038, 1, 19, 3, 14, 8),  // one second past a 32-bit count
        Local(2100, 5, 6, 7, 8, 9),
        Local(9999, 12, 30, 12, 34, 56),
        Local(1960, 2, 29, 1, 2, 3),
    };
    for (const SYSTEMTIME& t : moments) {
        SCOPED_TRACE(t.wYear);
        GridInWindow w(4, 4, 1, 1);
        ASSERT_TRUE(w.grid.SetCellType(2, 2, RUNTIME_CLASS(CGridCellDateTime)));
        auto* cell = static_cast<CGridCellDateTime*>(w.grid.GetCell(2, 2));
        const int64_t moment = Moment(t);
        cell->SetTime(moment);
        CRect rect;
        ASSERT_TRUE(w.grid.CellRect(2, 2, &rect));
        ASSERT_TRUE(cell->BeginEdit(2, 2, rect, CPoint(-1, -1), INPLACE_EDITOR_ID, VK_RETURN));
        SYSTEMTIME shown{};
        ASSERT_EQ(cell->GetEditor()->SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)), GDT_VALID);
        EXPECT_EQ(shown.wYear, t.wYear);
        PressKey(VK_RETURN);
        EXPECT_EQ(cell->GetTime(), moment);
    }
}

TEST(DateTimeEditor, EveryEndingKeyStoresThePickersMomentAndText) {
    const struct {
        UINT key;
        bool ctrl;
    } keys[] = {{VK_ESCAPE, false}, {VK_TAB, false}, {VK_RETURN, false}, {VK_UP, true}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        ReportingHost host;
        int64_t value = Moment(Local(2030, 3, 15, 10, 20, 30));
        auto* box = new CCellDateTimeBox(&host.Grid(), kCell, DTS_UPDOWN, INPLACE_EDITOR_ID, 1, 1, CLR_DEFAULT,
                                         CLR_DEFAULT, &value, '7');
        // The user changed the date in the picker.
        SYSTEMTIME changed = Local(2101, 6, 7, 10, 20, 30);
        box->SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&changed));
        const std::string shown = box->GetWindowText();
        if (k.ctrl) {
            HeldKeys held(true);
            PressKey(k.key);
        } else {
            PressKey(k.key);
        }
        ASSERT_EQ(host.reports.size(), 1u);
        EXPECT_EQ(host.reports[0].key, k.key);
        EXPECT_EQ(host.reports[0].text, shown);
        EXPECT_EQ(value, Moment(changed));
    }
}

TEST(DateTimeCell, NewCellHoldsItsCreationTimeAndNoText) {
    const int64_t before = GridTimeNow();
    CGridCellDateTime cell;
    EXPECT_GE(cell.GetTime(), before);
    EXPECT_LE(cell.GetTime(), GridTimeNow());
    EXPECT_EQ(cell.GetText(), "");
}

TEST(CellEditors, EditingThroughTheGridStoresWhatTheEditorReports) {
    const SYSTEMTIME date = Local(2045, 6, 30, 8, 0, 0);
    const struct {
        const char* what;
        const CRuntimeClass* cls;
        UINT start;          // a character typed to the grid, or VK_F2 pressed
        const wchar_t* typed;  // then typed into the editor
        UINT end;
        const char* text;    // the cell's text afterwards; null: the picker's text
    } cases[] = {
        {"digits kept, letters refused", RUNTIME_CLASS(CGridCellNumeric), VK_F2, L"3a4-", VK_RETURN, "1234"},
        {"a letter does not replace the number", RUNTIME_CLASS(CGridCellNumeric), 'x', L"", VK_RETURN, "12"},
        {"a digit does", RUNTIME_CLASS(CGridCellNumeric), '7', L"5", VK_RETURN, "75"},
        {"a typed choice", RUNTIME_CLASS(CGridCellCombo), 'K', L"iwi", VK_RETURN, "Kiwi"},
        {"a choice undone", RUNTIME_CLASS(CGridCellCombo), VK_F2, L"xyz", VK_ESCAPE, "12"},
        {"a date", RUNTIME_CLASS(CGridCellDateTime), VK_F2, L"", VK_RETURN, nullptr},
        {"a date, Esc", RUNTIME_CLASS(CGridCellDateTime), VK_F2, L"", VK_ESCAPE, nullptr},
        // The release of the Enter that opened the editor on the grid does not close it.
        {"Enter opens a choice", RUNTIME_CLASS(CGridCellCombo), VK_RETURN, L"", VK_TAB, "12"},
        {"Enter opens a date", RUNTIME_CLASS(CGridCellDateTime), VK_RETURN, L"", VK_TAB, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GridInWindow w;
        MakeUniform(w.grid, 5, 5);
        w.grid.SetColumnWidth(2, 120);
        ASSERT_TRUE(w.grid.SetCellType(2, 2, c.cls));
        CGridCellBase* cell = w.grid.GetCell(2, 2);
        cell->SetText("12");
        if (auto* dated = dynamic_cast<CGridCellDateTime*>(cell)) dated->SetTime(Moment(date));
        w.grid.MoveFocusTo(2, 2);
        w.grid.SetFocus();
        if (c.start == VK_F2 || c.start == VK_RETURN)
            PressKey(c.start);
        else
            TypeChar(c.start);
        ASSERT_TRUE(w.grid.IsCellEditing(2, 2));
        const std::string shown = cell->GetEditor() ? cell->GetEditor()->GetWindowText() : "";
        for (const wchar_t* p = c.typed; *p; ++p) TypeChar(*p);
        PressKey(c.end);
        // Tab goes on editing the next cell.
        w.grid.EndEditing();
        EXPECT_FALSE(w.grid.IsCellEditing(2, 2));
        EXPECT_EQ(w.grid.GetCellText(2, 2), c.text ? c.text : shown);
        if (auto* dated = dynamic_cast<CGridCellDateTime*>(cell)) {
            EXPECT_EQ(CGridCellDateTime::DateText(Moment(date)), shown) << "the text an owner gives a moment";
            EXPECT_EQ(dated->GetTime(), Moment(date));
        }
    }
}

TEST(CellEditors, TabFromATextCellGoesOnEditingTheNextKindOfCell) {
    for (const CRuntimeClass* cls : {RUNTIME_CLASS(CGridCellCombo), RUNTIME_CLASS(CGridCellDateTime)}) {
        SCOPED_TRACE(cls->m_lpszClassName);
        GridInWindow w;
        MakeUniform(w.grid, 5, 5);
        ASSERT_TRUE(w.grid.SetCellType(2, 2, cls));
        w.grid.MoveFocusTo(2, 1);
        w.grid.SetFocus();
        PressKey(VK_F2);
        ASSERT_TRUE(w.grid.IsCellEditing(2, 1));
        PressKey(VK_TAB);
        EXPECT_FALSE(w.grid.IsCellEditing(2, 1));
        EXPECT_EQ(w.grid.GetFocusCell(), CGridCellId(2, 2));
        ASSERT_TRUE(w.grid.IsCellEditing(2, 2)) << "the Tab's release must not end it";
        EXPECT_EQ(w.grid.GetCell(2, 2)->GetEditor() != nullptr, true);
        w.grid.EndEditing();
    }
}
