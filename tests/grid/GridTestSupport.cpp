#include "tests/grid/GridTestSupport.h"

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
    return reply;
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
