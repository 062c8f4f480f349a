#include "demo/DemoFrame.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>

#include "demo/DemoImages.h"
#include "demo/DemoTexts.h"
#include "demo/GridSettingAccess.h"
#include "demo/GridSettings.h"
#include "framework/GbkText.h"
#include "framework/System.h"

namespace {
constexpr int kWidth = 960, kHeight = 720;   // the window's first size
constexpr int kShapePartWidth = 300;         // the status bar's second part
}  // namespace

BEGIN_MESSAGE_MAP(CDemoFrame, CFrameWnd)
    ON_MESSAGE(WM_NOTIFY, OnNotifyMessage)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CDemoFrame::CDemoFrame(const DemoOptions& options)
    : m_options(options), m_features(AllDemoFeatures(kFirstCommandId)) {
    for (size_t i = 0; i < m_features.commands.size(); ++i)
        if (!m_features.commands[i].text.empty()) m_commandIndex[m_features.commands[i].id] = i;
}

CDemoFrame::~CDemoFrame() {
    // The grid draws from the list until its window is gone.
    if (IsWindow()) DestroyWindow();
    m_grid.SetImageList(nullptr);
    if (m_images) ImageList_Destroy(m_images);
}

BOOL CDemoFrame::Create() {
    if (!CFrameWnd::Create("GridDemo", CRect(40, 30, 40 + kWidth, 30 + kHeight), BuildMenuBar())) return FALSE;
    if (!m_grid.Create(CRect(0, 0, 0, 0), this, kGridId)) return FALSE;
    SetView(&m_grid);
    SetAccelerators(Shortcuts());
    m_images = MakeDemoImages();

    Reshape(m_options.shape);
    FillTable(m_options.fill);
    for (const SettingAssignment& a : m_options.settings) WriteGridSetting(m_grid, a.setting, a.value);
    ShowImages(true);
    m_grid.RefreshAll();
    RefreshStatus();
    ShowWindow(SW_SHOW);
    UpdateWindow();
    m_grid.SetFocus();
    return TRUE;
}

TableShape CDemoFrame::Shape() const {
    return {m_grid.GetRowCount(), m_grid.GetColumnCount(), m_grid.GetFixedRowCount(), m_grid.GetFixedColumnCount()};
}

void CDemoFrame::Reshape(const TableShape& shape) {
    CWaitCursor wait;
    // Counts first, so that the fixed counts never exceed them.
    m_grid.SetRowCount(shape.rows);
    m_grid.SetColumnCount(shape.cols);
    m_grid.SetFixedRowCount(shape.fixedRows);
    m_grid.SetFixedColumnCount(shape.fixedCols);
    PlaceImages();
    m_grid.RefreshAll();
}

void CDemoFrame::FillTable(FillMode mode) {
    CWaitCursor wait;
    const TableShape shape = Shape();
    if (mode == FillMode::None) {
        for (int row = 0; row < shape.rows; ++row)
            for (int col = 0; col < shape.cols; ++col) m_grid.SetCellText(row, col, std::string());
    }
    ForEachFillText(shape, mode, [this](int row, int col, const std::string& text) { m_grid.SetCellText(row, col, text); });
    if (mode == FillMode::CellTypes) FillWithCellTypes(m_grid);
    m_grid.SetModified(FALSE);
    m_grid.RefreshAll();
}

void CDemoFrame::ApplySetting(int setting, int64_t value) {
    WriteGridSetting(m_grid, setting, value);
    m_grid.RefreshAll();
}

void CDemoFrame::ShowImages(bool shown) {
    m_imagesShown = shown;
    m_grid.SetImageList(shown ? m_images : nullptr);
}

int CDemoFrame::ImageColumn() const {
    const int col = m_grid.GetFixedColumnCount();
    return col < m_grid.GetColumnCount() ? col : -1;
}

void CDemoFrame::PlaceImages() {
    const int column = ImageColumn();
    const int rows = m_grid.GetRowCount(), fixedRows = m_grid.GetFixedRowCount();
    for (int row = 0; row < rows; ++row) {
        if (m_imageColumn >= 0 && m_imageColumn != column)
            if (CGridCellBase* cell = m_grid.GetCell(row, m_imageColumn)) cell->SetImage(-1);
        if (column >= 0)
            if (CGridCellBase* cell = m_grid.GetCell(row, column))
                cell->SetImage(row < fixedRows ? -1 : (row - fixedRows) % kDemoImageCount);
    }
    m_imageColumn = column;
}

void CDemoFrame::RefreshStatus() {
    CStatusBar& bar = GetStatusBar();
    if (!bar.IsWindow() || !m_grid.IsWindow()) return;
    const CGridSelectionSet& selection = m_grid.Selection();
    const CGridCellRange bounds = selection.Empty() ? CGridCellRange() : m_grid.SelectionBounds();
    bar.SetText(0, SelectionStatusText(m_grid.GetFocusCell(), bounds, static_cast<int64_t>(selection.Size())));
    bar.SetText(1, ShapeStatusText(Shape()));
    m_statusTick = ::GetTickCount();
}

void CDemoFrame::RefreshStatusWhenIdle() {
    const bool due = m_statusDue || m_grid.Selection().Size() <= kExactStatusCells ||
                     ::GetTickCount() - m_statusTick >= kStatusDelayMs;
    if (due) {
        m_statusDue = false;
        RefreshStatus();
    } else if (!m_statusTimer) {
        m_statusTimer = SetTimer(kStatusTimerId, kStatusDelayMs) != 0;
    }
}

void CDemoFrame::OnTimer(UINT_PTR id) {
    if (id != kStatusTimerId) return;
    KillTimer(id);
    m_statusTimer = false;
    // The idle pass that follows this message does the work, after whatever else came.
    m_statusDue = true;
}

void CDemoFrame::RecalcLayout() {
    CFrameWnd::RecalcLayout();
    CStatusBar& bar = GetStatusBar();
    if (!bar.IsWindow()) return;
    CRect client;
    GetClientRect(&client);
    bar.SetParts({std::max(client.Width() - kShapePartWidth, kShapePartWidth), -1});
}

int CDemoFrame::ShowMessage(const std::string& gbkText, UINT type) {
    return ::MessageBoxW(m_hWnd, gbk::ToWide(gbkText).c_str(), L"GridDemo", type);
}

const DemoCommand* CDemoFrame::CommandOf(UINT id) const {
    auto it = m_commandIndex.find(id);
    return it == m_commandIndex.end() ? nullptr : &m_features.commands[it->second];
}

UINT CDemoFrame::CommandId(const std::string& menu, const std::string& text) const {
    return FindCommandId(m_features, menu, text);
}

BOOL CDemoFrame::OnFrameCommand(UINT id) {
    const DemoCommand* command = CommandOf(id);
    if (!command || !command->run) return FALSE;
    command->run(*this);
    return TRUE;
}

void CDemoFrame::UpdateCommand(UINT id, CommandState* state) {
    const DemoCommand* command = CommandOf(id);
    if (command && command->update) command->update(*this, state);
}

LRESULT CDemoFrame::OnNotifyMessage(WPARAM, LPARAM lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->hwndFrom != m_grid.m_hWnd || !m_grid.m_hWnd) return Default();
    const GridNotification& note = *reinterpret_cast<const GridNotification*>(lParam);
    LRESULT reply = 0;
    for (const DemoNotifyHandler& handler : m_features.notifyHandlers) {
        if (handler(*this, note, &reply)) break;
        if (!m_grid.IsWindow()) return reply;
    }
    if (static_cast<int>(header->code) == GRID_NOTIFY_SELCHANGED) RefreshStatus();
    return reply;
}

HMENU CDemoFrame::BuildMenuBar() const {
    HMENU bar = ::CreateMenu();
    std::map<std::string, HMENU> menus;  // path -> popup
    // The popup of `path`, appended to its parent (the bar, or the menu before the last
    // '/') the first time it is named.
    std::function<HMENU(const std::string&)> menuOf = [&](const std::string& path) {
        auto known = menus.find(path);
        if (known != menus.end()) return known->second;
        const size_t slash = path.rfind('/');
        HMENU parent = slash == std::string::npos ? bar : menuOf(path.substr(0, slash));
        HMENU popup = ::CreatePopupMenu();
        const std::wstring title = gbk::ToWide(slash == std::string::npos ? path : path.substr(slash + 1));
        ::AppendMenuW(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), title.c_str());
        menus[path] = popup;
        return popup;
    };
    for (const DemoCommand& c : m_features.commands) {
        HMENU menu = menuOf(c.menu);
        if (c.text.empty()) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::wstring text = gbk::ToWide(c.text);
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        item.fType = MFT_STRING | (c.radio ? MFT_RADIOCHECK : 0);
        item.wID = c.id;
        item.dwTypeData = &text[0];
        ::InsertMenuItemW(menu, static_cast<UINT>(::GetMenuItemCount(menu)), TRUE, &item);
    }
    return bar;
}

std::vector<ACCEL> CDemoFrame::Shortcuts() const {
    std::vector<ACCEL> keys;
    for (const DemoCommand& c : m_features.commands)
        if (c.key) keys.push_back({static_cast<BYTE>(FVIRTKEY | c.keyFlags), c.key, static_cast<WORD>(c.id)});
    return keys;
}
