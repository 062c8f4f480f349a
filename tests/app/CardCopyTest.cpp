// The card's fields copied out of the dialog's grid: select all, then copy, as the edit
// commands do.
#include "AppTestSupport.h"

#include "app/CardData.h"
#include "framework/Ole.h"

TEST_F(DialogTest, SelectAllAndCopyGiveTheCardsFields) {
    const CardBasicInfo card = ValidOtherProvinceCard();
    Read(card);
    CGridCtrl& grid = ui_->dlg.Grid();
    grid.SendMessage(WM_COMMAND, ID_EDIT_SELECT_ALL);
    grid.SendMessage(WM_COMMAND, ID_EDIT_COPY);

    // Both cells of the merged title row hold the title.
    const std::string title = "社  会  保  障  卡  基  本  信  息";
    std::string expected = title + "\t" + title;
    for (int n = 1; n <= CardBasicInfo::kFieldCount; ++n) expected += "\n" + std::string(FieldLabel(n)) + "\t" + card.Field(n);
    expected.push_back('\0');
    std::string copied;
    ASSERT_TRUE(AfxReadClipboardBytes(CF_TEXT, &copied));
    EXPECT_EQ(copied, expected);
}
