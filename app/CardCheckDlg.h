// The tool's one window: the basic-information grid, the three check buttons and the
// result list. Every check reports in the list and appends a record to the check log; a
// record that could not be written adds a line saying so.
#pragma once

#include <string>

#include "app/BasicCheck.h"
#include "app/CardDriver.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "grid/GridCtrl.h"
#include "res/resource.h"

// Gives a control one of the dialog's fonts, unless that font could not be made: the control
// then keeps the font it has (WM_SETFONT with no font would put the system font in its place).
void SetCreatedFont(HWND control, const CFont& font);

class CCardCheckDlg : public CDialog {
public:
    enum { IDD = IDD_CARD_CHECK };

    explicit CCardCheckDlg(CWnd* parent = nullptr);

    // Appends a text to the result list, one line per CR LF-separated piece, and selects
    // the last line so the newest is visible; the list scrolls sideways as far as its
    // widest line. Returns 0.
    int AddToList(const std::string& text);
    // Removes every line of the result list. Returns 0.
    int ClearList();
    // The grid's layout and contents before a card is read.
    void SetupGrid();

    CGridCtrl& Grid() { return m_grid; }
    CListBox& ResultList() { return m_list; }
    // What the live checks pass to the driver: card identification code | card number |.
    const std::string& CardReference() const { return m_cardReference; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter does nothing: the dialog stays open.
    void OnOK() override {}

    int OnCreate(CREATESTRUCTW* cs);
    void OnDestroy();
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnReadBasicInfo();
    void OnPinResetCheck();
    void OnDebitCheck();
    void OnResultListDblClk();
    DECLARE_MESSAGE_MAP()

private:
    // The three buttons' states and the focus, held while a driver call runs.
    struct HeldButtons {
        bool enabled[3];
        HWND focus;
    };

    void RunLiveCheck(LiveCheck check);
    void EnableLiveChecks(bool enable);
    // A check starts only from its enabled button and never inside another check's driver
    // call, however its command arrives (another program can send one).
    bool CanStart(int button) const;
    // Around a driver call: the three buttons disabled (a driver that shows a window of its
    // own pumps messages, and a second click would nest a call), then their states and the
    // focus put back. EndDriverCall returns false when the window did not survive the call.
    HeldButtons BeginDriverCall();
    bool EndDriverCall(const HeldButtons& held);
    // The list's horizontal extent: the width of its widest line.
    void UpdateListExtent();

    CardDriver m_hDriver;         // "SSCardDriver.dll", loaded while the window exists (and a call runs)
    CGridCtrl m_grid;             // the card's basic information, control 1008
    CListBox m_list;              // the result list, control 1014
    HICON m_hIcon;                // window icon 128
    std::string m_cardReference;  // set by each basic check that read all eleven fields
    bool m_inDriverCall = false;  // a driver call runs (and may be pumping messages)
};
