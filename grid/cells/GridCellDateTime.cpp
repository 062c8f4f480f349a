#include "grid/cells/GridCellDateTime.h"

#include <climits>
#include <ctime>

#include "framework/GbkText.h"
#include "grid/GridCtrl.h"
#include "grid/cells/CellDateTimeBox.h"

IMPLEMENT_DYNCREATE(CGridCellDateTime, CGridCell)

namespace {
// From the system's epoch (1601-01-01) to 1970-01-01, and its ticks per second.
constexpr int64_t EPOCH_DIFFERENCE = 11644473600LL;
constexpr int64_t TICKS_PER_SECOND = 10000000LL;
}  // namespace

BOOL GridTimeToLocal(int64_t seconds, SYSTEMTIME* local) {
    if (!local || seconds < -EPOCH_DIFFERENCE || seconds > LLONG_MAX / TICKS_PER_SECOND - EPOCH_DIFFERENCE)
        return FALSE;
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<ULONGLONG>(seconds + EPOCH_DIFFERENCE) * TICKS_PER_SECOND;
    const FILETIME file{ticks.LowPart, ticks.HighPart};
    SYSTEMTIME utc;
    return ::FileTimeToSystemTime(&file, &utc) && ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, local);
}

BOOL GridTimeFromLocal(const SYSTEMTIME& local, int64_t* seconds) {
    SYSTEMTIME utc;
    FILETIME file;
    if (!seconds || !::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !::SystemTimeToFileTime(&utc, &file))
        return FALSE;
    ULARGE_INTEGER ticks;
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    *seconds = static_cast<int64_t>(ticks.QuadPart / TICKS_PER_SECOND) - EPOCH_DIFFERENCE;
    return TRUE;
}

std::string CGridCellDateTime::DateText(int64_t seconds) {
    SYSTEMTIME local;
    wchar_t text[80];
    if (!GridTimeToLocal(seconds, &local) ||
        !::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, text, 80))
        return std::string();
    return gbk::FromWide(text);
}

int64_t GridTimeNow() { return static_cast<int64_t>(_time64(nullptr)); }

CGridCellDateTime::CGridCellDateTime() : m_time(GridTimeNow()) {}

CGridCellDateTime::~CGridCellDateTime() {
    if (IsEditing()) CCellDateTimeBox::ForgetTarget(&m_time);
}

CSize CGridCellDateTime::MeasureCell(CDC* dc) { return WithButtonRoom(CGridCell::MeasureCell(dc)); }

CWnd* CGridCellDateTime::OpenEditor(int row, int col, const CRect& rect, UINT id, UINT key) {
    return KeepIfMade(new CCellDateTimeBox(m_grid, rect, m_pickerStyle | DTS_UPDOWN, id, row, col, GetTextColour(),
                                           GetBackColour(), &m_time, key));
}
