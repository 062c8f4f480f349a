#include "tests/grid/PrintTestSupport.h"

#include <winspool.h>

#include <algorithm>
#include <cstdio>

namespace {
constexpr wchar_t kPrinter[] = L"Grid Test Printer";
constexpr wchar_t kDriver[] = L"Grid Test Printer Driver";
constexpr wchar_t kDescriptionFile[] = L"gridtest.ppd";

// An A4 colour page at 600 dpi with a quarter-inch border.
constexpr char kDescription[] =
    "*PPD-Adobe: \"4.3\"\n"
    "*FormatVersion: \"4.3\"\n"
    "*FileVersion: \"1.0\"\n"
    "*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n"
    "*PCFileName: \"GRIDTEST.PPD\"\n"
    "*Manufacturer: \"Grid Tests\"\n"
    "*Product: \"(Grid Test Printer)\"\n"
    "*ModelName: \"Grid Test Printer\"\n"
    "*ShortNickName: \"Grid Test Printer\"\n"
    "*NickName: \"Grid Test Printer\"\n"
    "*PSVersion: \"(3010.000) 0\"\n"
    "*LanguageLevel: \"3\"\n"
    "*ColorDevice: True\n"
    "*DefaultColorSpace: RGB\n"
    "*TTRasterizer: Type42\n"
    "*DefaultResolution: 600dpi\n"
    "*OpenUI *PageSize/Page Size: PickOne\n"
    "*DefaultPageSize: A4\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageSize\n"
    "*OpenUI *PageRegion: PickOne\n"
    "*DefaultPageRegion: A4\n"
    "*PageRegion A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageRegion\n"
    "*DefaultImageableArea: A4\n"
    "*ImageableArea A4/A4: \"18 18 577 824\"\n"
    "*DefaultPaperDimension: A4\n"
    "*PaperDimension A4/A4: \"595 842\"\n";

// Adds the printer to this prefix unless it is there; the reason when that fails.
std::string InstallPrinter() {
    HANDLE existing = nullptr;
    if (OpenPrinterW(const_cast<wchar_t*>(kPrinter), &existing, nullptr)) {
        ClosePrinter(existing);
        return {};
    }
    wchar_t dir[MAX_PATH];
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir), &needed))
        return "no printer driver directory";
    const std::wstring versionDir = std::wstring(dir) + L"\\3";
    CreateDirectoryW(versionDir.c_str(), nullptr);
    FILE* file = _wfopen((versionDir + L"\\" + kDescriptionFile).c_str(), L"wb");
    if (!file) return "cannot write the page description";
    const bool written = std::fwrite(kDescription, 1, sizeof(kDescription) - 1, file) == sizeof(kDescription) - 1;
    if (std::fclose(file) != 0 || !written) return "cannot write the page description";
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<wchar_t*>(kDriver);
    driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    driver.pDataFile = const_cast<wchar_t*>(kDescriptionFile);
    driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES))
        return "AddPrinterDriverEx failed: " + std::to_string(GetLastError());
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = const_cast<wchar_t*>(kPrinter);
    printer.pPortName = const_cast<wchar_t*>(L"FILE:");
    printer.pDriverName = const_cast<wchar_t*>(kDriver);
    printer.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
    printer.pDatatype = const_cast<wchar_t*>(L"RAW");
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
    if (!added) return "AddPrinter failed: " + std::to_string(GetLastError());
    ClosePrinter(added);
    return {};
}

int CALLBACK CollectRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
    auto* page = reinterpret_cast<PageRecords*>(data);
    switch (record->iType) {
    case EMR_EXTTEXTOUTW: {
        const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
        if (text->emrtext.nChars > 0) page->texts.emplace_back(chars, text->emrtext.nChars);
        break;
    }
    case EMR_LINETO:
    {
        const POINTL& end = reinterpret_cast<const EMRLINETO*>(record)->ptl;
        page->lineEnds.push_back(POINT{end.x, end.y});
    }
        break;
    case EMR_RECTANGLE:
    {
        const RECTL& box = reinterpret_cast<const EMRRECTANGLE*>(record)->rclBox;
        page->boxes.push_back(RECT{box.left, box.top, box.right, box.bottom});
    }
        break;
    default:
        break;
    }
    return 1;
}
}  // namespace

TestPrinter::TestPrinter() {
    failure = InstallPrinter();
    if (!failure.empty()) return;
    dc = CreateDCW(L"WINSPOOL", kPrinter, nullptr, nullptr);
    if (!dc) failure = "CreateDC failed for the test printer";
}

TestPrinter::~TestPrinter() {
    if (dc) DeleteDC(dc);
}

bool PageRecords::HasLineTo(int x, int y) const {
    return std::any_of(lineEnds.begin(), lineEnds.end(), [&](const POINT& p) { return p.x == x && p.y == y; });
}

bool PageRecords::HasBox(int width, int height) const {
    return std::any_of(boxes.begin(), boxes.end(),
                       [&](const RECT& r) { return r.right - r.left == width && r.bottom - r.top == height; });
}

PageRecords ReadPage(HENHMETAFILE page) {
    PageRecords records;
    EnumEnhMetaFile(nullptr, page, &CollectRecord, &records, nullptr);
    return records;
}
