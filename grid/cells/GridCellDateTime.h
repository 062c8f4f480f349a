// CGridCellDateTime: a cell that holds a moment besides its text, edited with a date-time
// picker (CCellDateTimeBox, with spin buttons) over the cell. When editing ends the picker
// writes the moment chosen into the cell, Esc included, and the grid stores the picker's
// display text as the cell's text. A new cell holds the moment it was made and no text.
//
// The moment is a 64-bit count of seconds since 1970-01-01 00:00:00 UTC: a 32-bit count
// ends in January 2038, and cards and documents carry later dates. Any moment from 1601 to
// 30827 converts to the system's calendar; the picker shows the years 1753 to 9999.
#pragma once

#include <cstdint>
#include <string>

#include "grid/cells/GridCell.h"

// The moment `seconds` as local calendar time (what the picker shows); FALSE outside the
// system's calendar.
BOOL GridTimeToLocal(int64_t seconds, SYSTEMTIME* local);
// The moment of a local calendar time (milliseconds dropped); FALSE for no valid time.
BOOL GridTimeFromLocal(const SYSTEMTIME& local, int64_t* seconds);
// Now, as a moment.
int64_t GridTimeNow();

class CGridCellDateTime : public CGridCell {
    DECLARE_DYNCREATE(CGridCellDateTime)

public:
    CGridCellDateTime();
    // An open picker forgets the cell: it must not write into a cell that is gone.
    ~CGridCellDateTime() override;

    int64_t GetTime() const { return m_time; }
    void SetTime(int64_t seconds) { m_time = seconds; }
    // The moment's date as the picker shows it (the user's short date format, GBK); empty
    // outside the system's calendar. An owner that sets a moment sets this as the text.
    static std::string DateText(int64_t seconds);
    // Extra DTS_ styles of the picker (DTS_UPDOWN is always added); 0 at first.
    DWORD GetPickerStyle() const { return m_pickerStyle; }
    void SetPickerStyle(DWORD style) { m_pickerStyle = style; }

    // Room for the spin buttons, and at least their height.
    CSize MeasureCell(CDC* dc) override;

protected:
    // A CCellDateTimeBox (with spin buttons) over `rect`, showing the cell's moment and
    // writing it back when editing ends.
    CWnd* OpenEditor(int row, int col, const CRect& rect, UINT id, UINT key) override;

private:
    int64_t m_time;            // seconds since 1970-01-01 00:00:00 UTC
    DWORD m_pickerStyle = 0;   // DTS_ styles added to the picker's
};
