#include "tests/grid/GridTestSupport.h"

#include <algorithm>

#include "framework/MessageLoop.h"
#include "framework/System.h"

BEGIN_MESSAGE_MAP(RecordingParent, CWnd)
    ON_MESSAGE(WM_NOTIFY, OnNotify)
END_MESSAGE_MAP()

BOOL RecordingParent::CreateTopLevel(int width, int height) {
    AfxRegisterClassOnce(L"GridTestParent", 0, nullptr);
    // Shown: a hidden window has no area to invalidate.
    return CreateEx(0, L"GridTestParent", L"parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                    CRect(0, 0, width, height), nullptr, 0);
}

LRESULT RecordingParent::OnNotify(WPARAM wParam, LPARAM lParam) {
    const auto* nm = reinterpret_cast<const GridNotification*>(lParam);
    notes.push_back({static_cast<int>(nm->hdr.code), nm->row, nm->col, nm->hdr.hwndFrom, wParam});
    const NotifyRecord note = notes.back();  // a copy: the answer may bring more notes
    return answer ? answer(note) : reply;
}

void PrintTo(const CellNote& n, std::ostream* os) { *os << "{" << n.code << ", " << n.row << ", " << n.col << "}"; }

std::vector<CellNote> CellNotes(const RecordingParent& parent) {
    std::vector<CellNote> notes;
    for (const NotifyRecord& r : parent.notes) notes.push_back({r.code, r.row, r.col});
    return notes;
}

GridInWindow::GridInWindow(int rows, int cols, int fixedRows, int fixedCols, int width, int height) {
    EXPECT_TRUE(parent.CreateTopLevel());
    EXPECT_TRUE(grid.Create(CRect(0, 0, width, height), &parent, GRID_ID, WS_CHILD | WS_VISIBLE));
    grid.SetRowCount(rows);
    grid.SetColumnCount(cols);
    grid.SetFixedRowCount(fixedRows);
    grid.SetFixedColumnCount(fixedCols);
}

MessageBoxRecorder::MessageBoxRecorder()
    : m_previous(SetMessageBoxHandler([](const std::string& text, unsigned) {
          Texts().push_back(text);
          return IDOK;
      })) {
    Texts().clear();
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHandler(m_previous); }

std::vector<std::string>& MessageBoxRecorder::Texts() {
    static std::vector<std::string> texts;
    return texts;
}

void MakeUniform(CGridCtrl& grid, int rows, int cols) {
    grid.SetRowCount(rows);
    grid.SetColumnCount(cols);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    for (int r = 0; r < rows; ++r) grid.SetRowHeight(r, 20);
    for (int c = 0; c < cols; ++c) grid.SetColumnWidth(c, 50);
}

DibSurface::DibSurface(int w, int h, COLORREF fill) : width(w), height(h), dc(nullptr) {
    EXPECT_TRUE(bitmap.CreateDIBSection(w, h, &bits));
    old = dc.SelectObject(bitmap.GetSafeHandle());
    Fill(fill);
}

DibSurface::~DibSurface() { dc.SelectObject(old); }

void DibSurface::Fill(COLORREF colour) { dc.FillSolidRect(CRect(0, 0, width, height), colour); }

COLORREF DibSurface::Pixel(int x, int y) const {
    GdiFlush();
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    const DWORD p = bits[y * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int DibSurface::Count(const RECT& area, COLORREF colour) const {
    int n = 0;
    for (int y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, height); ++y)
        for (int x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, width); ++x)
            n += Pixel(x, y) == colour;
    return n;
}

bool DibSurface::SameAs(const DibSurface& other) const {
    GdiFlush();
    return width == other.width && height == other.height &&
           std::equal(bits, bits + width * height, other.bits);
}

long LiveGdiObjects() {
    SetLastError(0);
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return static_cast<long>(counted);
    // Wine keeps GDI handles in one table of 64K slots; a handle with a zero upper word
    // names whatever object its slot holds.
    long live = 0;
    for (ULONG_PTR slot = 1; slot < 0x10000; ++slot) live += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
    return live;
}

long long AddressSpaceInUse() {
    long long used = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof(region));) {
        if (region.State != MEM_FREE) used += static_cast<long long>(region.RegionSize);
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return used;
}

void HeldKeys::Set(bool ctrl, bool shift) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (AfxPreTranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
