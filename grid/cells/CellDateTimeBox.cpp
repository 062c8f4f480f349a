#include "grid/cells/CellDateTimeBox.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "grid/cells/GridCellDateTime.h"

IMPLEMENT_DYNAMIC(CCellDateTimeBox, CCellEditorBase)

BEGIN_MESSAGE_MAP(CCellDateTimeBox, CCellEditorBase)
    ON_MESSAGE(WM_KEYUP, OnKeyUp)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
END_MESSAGE_MAP()

namespace {
// The pickers open on this thread (windows, and so editors, belong to their thread).
std::vector<CCellDateTimeBox*>& OpenBoxes() {
    static thread_local std::vector<CCellDateTimeBox*> boxes;
    return boxes;
}

}  // namespace

CCellDateTimeBox::CCellDateTimeBox(CWnd* parent, const CRect& rect, DWORD style, UINT id, int row, int col,
                                   COLORREF textColour, COLORREF backColour, int64_t* value, UINT firstChar)
    : CCellEditorBase(row, col, textColour, backColour), m_value(value) {
    OpenBoxes().push_back(this);
    static const BOOL registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_DATE_CLASSES};
        return ::InitCommonControlsEx(&classes);
    }();
    (void)registered;
    const DWORD windowStyle = style | WS_CHILD | WS_VISIBLE | WS_BORDER;
    if (!parent || !parent->IsWindow() ||
        !CreateEx(0, DATETIMEPICK_CLASSW, L"", windowStyle, rect, parent->m_hWnd, id))
        return;
    m_windowMade = true;

    SYSTEMTIME shown;
    if (m_value && GridTimeToLocal(*m_value, &shown)) SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&shown));
    SetFont(parent->GetFont(), TRUE);
    SetFocus();
    const bool typed = firstChar != VK_LBUTTON && firstChar != VK_RETURN && !(firstChar >= VK_PRIOR && firstChar <= VK_DOWN);
    if (typed) SendMessage(WM_CHAR, firstChar);
}

CCellDateTimeBox::~CCellDateTimeBox() {
    auto& boxes = OpenBoxes();
    boxes.erase(std::remove(boxes.begin(), boxes.end(), this), boxes.end());
}

void CCellDateTimeBox::ForgetTarget(const int64_t* value) {
    for (CCellDateTimeBox* box : OpenBoxes())
        if (box->m_value == value) box->m_value = nullptr;
}

std::string CCellDateTimeBox::FinalText() const { return GetWindowText(); }

void CCellDateTimeBox::BeforeReport() {
    SYSTEMTIME chosen;
    int64_t seconds = 0;
    if (m_value && SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&chosen)) == GDT_VALID &&
        GridTimeFromLocal(chosen, &seconds))
        *m_value = seconds;
}

LRESULT CCellDateTimeBox::OnKeyUp(WPARAM key, LPARAM) {
    if (!IsEndingKey(key) || !PressedHere(static_cast<UINT>(key))) return Default();
    // Esc keeps what the picker shows: the moment is read in every case.
    EndWithKey(static_cast<UINT>(key));
    return 0;
}

LRESULT CCellDateTimeBox::OnKillFocus(WPARAM gaining, LPARAM) {
    Default();
    if (FocusLeaves(reinterpret_cast<HWND>(gaining))) FinishEdit();
    return 0;
}
