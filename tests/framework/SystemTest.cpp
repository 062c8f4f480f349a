// Window class registration through the framework and the scoped wait cursor.
#include <gtest/gtest.h>

#include "framework/Exceptions.h"
#include "framework/System.h"

TEST(SystemClasses, RegisterOnceKeepsTheFirstRegistration) {
    const wchar_t* name = L"FrameworkTestOnce";
    AfxRegisterClassOnce(name, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    AfxRegisterClassOnce(name, CS_SAVEBITS, nullptr);  // known already: nothing changes
    WNDCLASSW wc{};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), name, &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(wc.hCursor, LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(wc.cbClsExtra + wc.cbWndExtra, 0);
}

TEST(SystemClasses, RefusedRegistrationRaisesTheResourceException) {
    // The system refuses a class without a name.
    EXPECT_THROW(AfxRegisterClassOnce(L"", 0, nullptr), CResourceException);
}

TEST(SystemCursor, WaitCursorLastsForItsScope) {
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(arrow);
    {
        CWaitCursor wait;
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    }
    EXPECT_EQ(GetCursor(), arrow);
}
