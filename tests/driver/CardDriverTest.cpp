#include "app/CardDriver.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

TEST(CardDriverLoad, MissingLibraryFails) {
    CardDriver driver;
    EXPECT_FALSE(driver.Load(L"NoSuchCardDriver.dll"));
    EXPECT_FALSE(driver.IsLoaded());
    DriverResult r = driver.ReadCardBas();
    EXPECT_EQ(r.code, CardDriver::kNotLoaded);
    EXPECT_EQ(driver.DoDebit("a|b|").code, CardDriver::kNotLoaded);
}

TEST(CardDriverLoad, MissingEntryPointFreesTheLibrary) {
    ASSERT_EQ(GetModuleHandleW(L"PartialDriver.dll"), nullptr);
    CardDriver driver;
    EXPECT_FALSE(driver.Load(L"PartialDriver.dll"));
    EXPECT_FALSE(driver.IsLoaded());
    EXPECT_EQ(GetModuleHandleW(L"PartialDriver.dll"), nullptr);
    EXPECT_EQ(driver.ReloadPin("a|b|").code, CardDriver::kNotLoaded);
}

TEST(CardDriverLoad, DecoratedNamesAreFoundToo) {
    CardDriver driver;
    ASSERT_TRUE(driver.Load(L"DecoratedDriver.dll"));
    EXPECT_NE(GetModuleHandleW(L"DecoratedDriver.dll"), nullptr);
    DriverResult read = driver.ReadCardBas(), reset = driver.ReloadPin("a|b|"), debit = driver.DoDebit("a|b|");
    EXPECT_EQ(read.code, 7);
    EXPECT_EQ(read.text, "iReadCardBas");
    EXPECT_EQ(reset.text, "iReloadPIN");
    EXPECT_EQ(debit.text, "iDoDebit");
    driver.Free();
    EXPECT_FALSE(driver.IsLoaded());
    EXPECT_EQ(GetModuleHandleW(L"DecoratedDriver.dll"), nullptr);
}

TEST(CardDriverLoad, DefaultNameIsFoundBesideTheProgramAndFreedOnce) {
    {
        CardDriver driver;
        ASSERT_TRUE(driver.Load());
        EXPECT_NE(GetModuleHandleW(L"SSCardDriver.dll"), nullptr);
        EXPECT_TRUE(driver.Load());  // loading again replaces the first load
        HMODULE extra = LoadLibraryW(L"SSCardDriver.dll");  // a reference of our own
        driver.Free();
        driver.Free();  // harmless
        EXPECT_EQ(GetModuleHandleW(L"SSCardDriver.dll"), extra);  // the driver freed only its own
        FreeLibrary(extra);
        ASSERT_TRUE(driver.Load());
    }  // going out of scope frees it
    EXPECT_EQ(GetModuleHandleW(L"SSCardDriver.dll"), nullptr);
}

TEST(LibraryHandle, MoveOnlyAndFreedExactlyOnce) {
    LibraryHandle a(LoadLibraryW(L"DecoratedDriver.dll"));
    ASSERT_TRUE(a);
    LibraryHandle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_TRUE(b);
    LibraryHandle c;
    c = std::move(b);
    EXPECT_FALSE(b);
    a.Reset();  // empty: frees nothing
    b = LibraryHandle();
    EXPECT_NE(GetModuleHandleW(L"DecoratedDriver.dll"), nullptr);
    c = LibraryHandle(LoadLibraryW(L"PartialDriver.dll"));  // frees the first as it takes the second
    EXPECT_EQ(GetModuleHandleW(L"DecoratedDriver.dll"), nullptr);
    EXPECT_NE(GetModuleHandleW(L"PartialDriver.dll"), nullptr);
    c.Reset();
    EXPECT_EQ(GetModuleHandleW(L"PartialDriver.dll"), nullptr);
}
