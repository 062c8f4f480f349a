#include "sim/PinPad.h"

#include <windows.h>

#include "framework/GbkText.h"
#include "sim/PinPadIds.h"
#include "sim/SimConfig.h"

namespace sim {
namespace {
constexpr UINT_PTR kTimeoutTimer = 1;

struct PadState {
    const std::string* prompt;
    int timeoutSeconds;
    PinEntry entry{PinEntry::Cancelled, std::string()};
};

void SetText(HWND window, const char* gbkText) { SetWindowTextW(window, gbk::ToWide(gbkText).c_str()); }

INT_PTR CALLBACK PadProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    PadState* state = reinterpret_cast<PadState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            state = reinterpret_cast<PadState*>(lParam);
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SetText(dialog, "社保卡读卡器");
            SetWindowTextW(GetDlgItem(dialog, IDC_PIN_PROMPT), gbk::ToWide(*state->prompt).c_str());
            SetText(GetDlgItem(dialog, IDOK), "确定");
            SetText(GetDlgItem(dialog, IDCANCEL), "取消");
            SendDlgItemMessageW(dialog, IDC_PIN_EDIT, EM_LIMITTEXT, kMaxPinDigits, 0);
            SetTimer(dialog, kTimeoutTimer, static_cast<UINT>(state->timeoutSeconds) * 1000u, nullptr);
            return TRUE;  // the focus goes to the edit, the first tab stop
        case WM_TIMER:
            if (wParam != kTimeoutTimer) break;
            KillTimer(dialog, kTimeoutTimer);
            state->entry = {PinEntry::TimedOut, std::string()};
            EndDialog(dialog, 0);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                wchar_t typed[kMaxPinDigits + 2] = {};  // room to see one character too many
                GetDlgItemTextW(dialog, IDC_PIN_EDIT, typed, kMaxPinDigits + 2);
                std::string pin = gbk::FromWide(typed);
                if (!IsPin(pin)) {  // too short (or not digits): the pad waits for the rest
                    MessageBeep(MB_ICONWARNING);
                    return TRUE;
                }
                state->entry = {PinEntry::Entered, pin};
            } else if (LOWORD(wParam) != IDCANCEL) {
                break;
            }
            KillTimer(dialog, kTimeoutTimer);
            EndDialog(dialog, 0);
            return TRUE;
    }
    return FALSE;
}
}  // namespace

PinEntry AskPin(const std::string& prompt, int timeoutSeconds) {
    PadState state{&prompt, timeoutSeconds};
    INT_PTR result = DialogBoxParamW(g_module, MAKEINTRESOURCEW(IDD_PIN_PAD), GetActiveWindow(), PadProc,
                                     reinterpret_cast<LPARAM>(&state));
    if (result == -1) return {PinEntry::Cancelled, std::string()};  // the pad could not be shown
    return state.entry;
}

}  // namespace sim
