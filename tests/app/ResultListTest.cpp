// The result list of the dialog: how a report text becomes lines, the newest line
// selected, and a double click that empties the list.
#include "AppTestSupport.h"

TEST_F(DialogTest, AddToListShowsOneLinePerPieceAndSelectsTheLast) {
    const std::string longPiece = std::string(150, 'x') + "状态码：[-5] 错误描述：[" + std::string(200, 'y') + "]";
    std::string elevenPieces;
    Lines eleven;
    for (int i = 0; i < 11; ++i) {
        eleven.push_back("第" + std::to_string(i) + "行");
        elevenPieces += eleven.back() + "\r\n";
    }
    struct Case {
        const char* what;
        std::string text;
        Lines lines;
    } cases[] = {
        {"an empty piece between two", "A\r\n\r\nB", {"A", "", "B"}},
        {"a final CR LF ends the last piece", "A\r\n", {"A"}},
        {"an empty text", "", {}},
        {"a CR without LF stays in its line", "A\rB", {"A\rB"}},
        {"an LF without CR too", "A\nB\n\r", {"A\nB\n\r"}},
        {"only CR LF", "\r\n", {""}},
        {"two CR LF at the end", "A\r\n\r\n", {"A", ""}},
        {"CR before CR LF", "A\r\r\nB", {"A\r", "B"}},
        {"pieces longer than 199 bytes stay whole", longPiece + "\r\n" + longPiece, {longPiece, longPiece}},
        {"more than ten pieces", elevenPieces, eleven},
    };
    for (const Case& c : cases) {
        ui_->dlg.ClearList();
        ui_->dlg.AddToList("before");
        EXPECT_EQ(ui_->dlg.AddToList(c.text), 0) << c.what;
        Lines expected = c.lines;
        expected.insert(expected.begin(), "before");
        EXPECT_EQ(ui_->List(), expected) << c.what;
        EXPECT_EQ(ui_->Selection(), static_cast<int>(expected.size()) - 1) << c.what;
    }
    EXPECT_EQ(ui_->dlg.ClearList(), 0);
    EXPECT_TRUE(ui_->List().empty());
    ui_->dlg.AddToList("");
    EXPECT_EQ(ui_->Selection(), LB_ERR);  // nothing added, nothing to select
}

TEST_F(DialogTest, DoubleClickOnAnyLineEmptiesTheList) {
    HWND list = ui_->Item(IDC_RESULT_LIST);
    for (int line : {0, 2, 4}) {
        ui_->dlg.AddToList("一\r\n二\r\n三\r\n四\r\n五");
        ASSERT_EQ(ui_->List().size(), 5u);
        SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(line), 0);
        RECT item{};
        ASSERT_NE(SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item)), LB_ERR);
        LPARAM at = MAKELPARAM(item.left + 3, item.top + 3);
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
        SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
        EXPECT_TRUE(ui_->List().empty()) << line;
    }
    // The checks report into the emptied list as usual.
    Read(ValidOtherProvinceCard());
    EXPECT_EQ(ui_->List(), (Lines{shown::kPass, shown::kOtherProvince}));
}
