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

void CaptureWindow(HWND window, DibSurface& into, bool whole) {
    const HDC dc = whole ? GetWindowDC(window) : GetDC(window);
    BitBlt(into.dc, 0, 0, into.width, into.height, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
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

// ---- the mouse ----

BEGIN_MESSAGE_MAP(LoggingParent, CWnd)
    ON_MESSAGE(WM_NOTIFY, OnNotify)
    ON_MESSAGE(WM_COMMAND, OnCommand)
END_MESSAGE_MAP()

BOOL LoggingParent::CreateTopLevel() {
    AfxRegisterClassOnce(L"GridTestParent", 0, nullptr);
    if (!CreateEx(0, L"GridTestParent", L"parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                  CRect(0, 0, 400, 300), nullptr, 0))
        return FALSE;
    // Over any other program's window, so points on the screen find this one.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

LRESULT LoggingParent::OnNotify(WPARAM, LPARAM lParam) {
    const auto* nm = reinterpret_cast<const GridNotification*>(lParam);
    static const std::pair<UINT, const char*> names[] = {
        {NM_CLICK, "NM_CLICK"}, {NM_DBLCLK, "NM_DBLCLK"}, {NM_RCLICK, "NM_RCLICK"},
        {static_cast<UINT>(GRID_NOTIFY_SELCHANGING), "SELCHANGING"}, {static_cast<UINT>(GRID_NOTIFY_SELCHANGED), "SELCHANGED"},
        {static_cast<UINT>(GRID_NOTIFY_BEGINDRAG), "BEGINDRAG"}, {static_cast<UINT>(GRID_NOTIFY_BEGINEDIT), "BEGINEDIT"}};
    std::string name = std::to_string(static_cast<int>(nm->hdr.code));
    for (const auto& n : names)
        if (n.first == nm->hdr.code) name = n.second;
    log.push_back(name + " " + std::to_string(nm->row) + "," + std::to_string(nm->col));
    if (static_cast<int>(nm->hdr.code) == destroyOn) ::DestroyWindow(nm->hdr.hwndFrom);
    return 0;
}

LRESULT LoggingParent::OnCommand(WPARAM wParam, LPARAM lParam) {
    const HWND from = reinterpret_cast<HWND>(lParam);
    log.push_back("WM_COMMAND " + std::to_string(LOWORD(wParam)) + "/" + std::to_string(HIWORD(wParam)) +
                  (from == ::GetDlgItem(m_hWnd, LOWORD(wParam)) ? "" : " from elsewhere"));
    return 0;
}

IMPLEMENT_DYNCREATE(CHookCell, CGridCell)
std::vector<std::string>* CHookCell::sink = nullptr;

void CHookCell::Log(const char* what, CPoint p) {
    if (sink) sink->push_back(std::string(what) + " " + std::to_string(p.x) + "," + std::to_string(p.y));
}

MouseGrid::MouseGrid(int rows, int cols) {
    EXPECT_TRUE(parent.CreateTopLevel());
    grid.CellClass = RUNTIME_CLASS(CHookCell);
    EXPECT_TRUE(grid.Create(CRect(0, 0, 300, 200), &parent, GRID_ID, WS_CHILD | WS_VISIBLE));
    MakeUniform(grid, rows, cols);
    CHookCell::sink = &parent.log;
    grid.SetFocus();
}

MouseGrid::~MouseGrid() {
    CHookCell::sink = nullptr;
    BYTE keys[256] = {};
    SetKeyboardState(keys);
    ::ReleaseCapture();
    ::ClipCursor(nullptr);
}

std::vector<std::string> MouseGrid::Do(UINT message, CPoint point, UINT keys) {
    const size_t before = parent.log.size();
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_CONTROL] = (keys & MK_CONTROL) ? 0x80 : 0;
    state[VK_SHIFT] = (keys & MK_SHIFT) ? 0x80 : 0;
    state[VK_LBUTTON] = (keys & MK_LBUTTON) ? 0x80 : 0;
    SetKeyboardState(state);
    if (grid.IsWindow()) grid.SendMessage(message, keys, MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
    PumpPosted();
    return std::vector<std::string>(parent.log.begin() + static_cast<std::ptrdiff_t>(before), parent.log.end());
}

int PumpPosted(HWND window, UINT message) {
    int reached = 0;
    MSG msg;
    // Posted messages only: no timer fires in between (the auto-scroll reads the real cursor).
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | (QS_POSTMESSAGE << 16))) {
        if (AfxPreTranslateMessage(&msg)) continue;
        reached += (!window || msg.hwnd == window) && (!message || msg.message == message);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return reached;
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
