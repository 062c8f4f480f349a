// The tool's one window: the basic-information grid, the three check buttons and the
// result list. Every check reports in the list and appends a record to the check log.
#pragma once

#include <string>

#include "app/BasicCheck.h"
#include "app/CardDriver.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "grid/GridCtrl.h"
#include "res/resource.h"

class CCardCheckDlg : public CDialog {
public:
    enum { IDD = IDD_CARD_CHECK };

    explicit CCardCheckDlg(CWnd* parent = nullptr);

    // Appends a text to the result list, one line per CR LF-separated piece, and selects
    // the last line so the newest is visible. Returns 0.
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
    void RunLiveCheck(LiveCheck check);
    void EnableLiveChecks(bool enable);

    CardDriver m_hDriver;         // "SSCardDriver.dll", loaded while the window exists
    CGridCtrl m_grid;             // the card's basic information, control 1008
    CListBox m_list;              // the result list, control 1014
    HICON m_hIcon;                // window icon 128
    std::string m_cardReference;  // set by each basic check that read all eleven fields
};
