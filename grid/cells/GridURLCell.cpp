#include "grid/cells/GridURLCell.h"

#include <shellapi.h>

#include "framework/GbkText.h"
#include "grid/GridCtrl.h"
#include "grid/cells/LinkText.h"

IMPLEMENT_DYNCREATE(CGridURLCell, CGridCell)

namespace {

// The old help program's hand, in the Windows folder of systems that still ship it.
constexpr WORD OLD_HAND_CURSOR_ID = 106;

bool OpenWithShell(const std::wstring& target) {
    const HINSTANCE result = ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

GridLinkOpener& Opener() {
    static GridLinkOpener opener = OpenWithShell;
    return opener;
}

std::wstring OldHelpProgram() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(folder, length) + L"\\winhlp32.exe";
}

}  // namespace

CGridURLCell::CGridURLCell() : m_linkColour(::GetSysColor(COLOR_HIGHLIGHT)) { HandCursor(); }

HCURSOR CGridURLCell::LoadHandCursor(const std::wstring& module) {
    HCURSOR hand = nullptr;
    if (HMODULE library = module.empty() ? nullptr : ::LoadLibraryExW(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        if (HCURSOR found = ::LoadCursorW(library, MAKEINTRESOURCEW(OLD_HAND_CURSOR_ID)))
            hand = static_cast<HCURSOR>(::CopyIcon(found));
        ::FreeLibrary(library);
    }
    if (!hand) hand = ::LoadCursorW(nullptr, IDC_HAND);
    if (!hand) hand = ::LoadCursorW(nullptr, IDC_ARROW);
    return hand;
}

HCURSOR CGridURLCell::HandCursor() {
    static const HCURSOR hand = LoadHandCursor(OldHelpProgram());
    return hand;
}

GridLinkOpener CGridURLCell::SetLinkOpener(GridLinkOpener opener) {
    GridLinkOpener previous = std::move(Opener());
    Opener() = opener ? std::move(opener) : GridLinkOpener(OpenWithShell);
    return previous;
}

BOOL CGridURLCell::Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd) {
    if (linktext::HoldsLink(GetText())) SetTextColour(m_linkColour);
    m_lastRect = rect;
    return CGridCell::Draw(dc, row, col, rect, eraseBkgnd);
}

std::string CGridURLCell::LinkUnder(CPoint point) {
    if (m_lastRect.IsRectEmpty()) return std::string();
    const std::string text = GetText();
    if (!linktext::HoldsLink(text)) return std::string();
    linktext::TextPlacement place;
    place.cellLeft = m_lastRect.left;
    place.cellRight = m_lastRect.right;
    place.textWidth = MeasureText(&text, nullptr).cx;
    place.textLength = text.size();
    const DWORD format = GetFormat();
    place.alignRight = format != 0xFFFFFFFF && (format & DT_RIGHT);
    place.alignCentre = format != 0xFFFFFFFF && (format & DT_CENTER);
    const int index = linktext::CharIndexAt(place, point.x + m_lastRect.left);
    if (index < 0) return std::string();
    std::string word = linktext::WordAt(text, static_cast<size_t>(index));
    return linktext::HoldsLink(word) ? word : std::string();
}

void CGridURLCell::OnClick(CPoint point) {
    if (!m_openOnClick) return;
    const std::string target = linktext::TargetToOpen(LinkUnder(point));
    if (target.empty()) return;
    // A copy: the opener may replace itself while it runs.
    GridLinkOpener open = Opener();
    open(gbk::ToWide(target));
}

BOOL CGridURLCell::OnSetCursor() {
    CGridCtrl* grid = GetOwnerGrid();
    if (grid && grid->IsWindow()) {
        const DWORD position = ::GetMessagePos();
        // Signed: a pointer left of or above the primary screen has negative coordinates.
        CPoint point(static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position)));
        grid->ScreenToClient(&point);
        if (!LinkUnder(CPoint(point.x - m_lastRect.left, point.y - m_lastRect.top)).empty()) {
            ::SetCursor(HandCursor());
            return TRUE;
        }
    }
    return CGridCell::OnSetCursor();
}
