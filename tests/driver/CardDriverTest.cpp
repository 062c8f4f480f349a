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

namespace {
std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, n);
}
}  // namespace

// The driver comes from the program's folder, else from the system folder; a file of its
// name in the working directory or on the PATH is never loaded.
TEST(CardDriverLoad, SearchesOnlyTheProgramsFolderThenTheSystemFolder) {
    const std::wstring source = CardDriver::ProgramFolderPath(L"DecoratedDriver.dll");
    TempDir planted;
    ASSERT_TRUE(CopyFileW(source.c_str(), (planted / L"PlantedDriver.dll").c_str(), FALSE));
    {
        ScopedCurrentDirectory cwd(planted.Path());
        ASSERT_TRUE(cwd.Changed());
        CardDriver driver;
        EXPECT_FALSE(driver.Load(L"PlantedDriver.dll")) << "loaded from the working directory";
    }
    {
        ScopedEnv path(L"PATH", planted.Path());
        CardDriver driver;
        EXPECT_FALSE(driver.Load(L"PlantedDriver.dll")) << "loaded from the PATH";
    }
    EXPECT_EQ(GetModuleHandleW(L"PlantedDriver.dll"), nullptr);

    // Only in the system folder: found there. In both: the program's own is taken.
    const std::wstring system = CardDriver::SystemFolderPath(L"PlantedDriver.dll");
    const std::wstring systemDecorated = CardDriver::SystemFolderPath(L"DecoratedDriver.dll");
    ASSERT_TRUE(CopyFileW(source.c_str(), system.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(source.c_str(), systemDecorated.c_str(), FALSE));
    {
        CardDriver driver;
        EXPECT_TRUE(driver.Load(L"PlantedDriver.dll"));
        EXPECT_EQ(ModulePath(GetModuleHandleW(L"PlantedDriver.dll")), system);
        EXPECT_EQ(driver.ReadCardBas().text, "iReadCardBas");
    }
    {
        CardDriver driver;
        EXPECT_TRUE(driver.Load(L"DecoratedDriver.dll"));
        EXPECT_EQ(ModulePath(GetModuleHandleW(L"DecoratedDriver.dll")), source);
    }
    // One beside the program that does not load is not replaced by the system folder's.
    const std::wstring broken = CardDriver::ProgramFolderPath(L"PlantedDriver.dll");
    WriteFileBytes(broken, "not a library");
    {
        CardDriver driver;
        EXPECT_FALSE(driver.Load(L"PlantedDriver.dll"));
    }
    DeleteFileW(broken.c_str());
    DeleteFileW(system.c_str());
    DeleteFileW(systemDecorated.c_str());
}
