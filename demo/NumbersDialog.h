// CNumbersDialog: a small modal dialog that asks for up to four whole numbers, each with its
// label, and keeps itself open (saying why in its own error line) until the numbers pass the
// caller's check or the user cancels.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/Dialog.h"

class CNumbersDialog : public CDialog {
public:
    struct Field {
        std::string label;  // GBK
        int value;          // shown first; the number entered after OK
    };
    // What is wrong with the numbers entered, or empty when they are fine.
    using Check = std::function<std::string(const std::vector<int>& values)>;
    static constexpr size_t kMaxFields = 4;

    CNumbersDialog(CWnd* parent, std::string title, std::vector<Field> fields, Check check);

    // The numbers after OK (as first given before).
    std::vector<int> Values() const;
    // The error line's text: empty, or why OK did not close the dialog.
    std::string ErrorText() const;

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    // The number in field `i`, or false when it holds no whole number from 0 to INT_MAX.
    bool ReadField(size_t i, int* value) const;

    std::string m_title;          // the caption
    std::vector<Field> m_fields;  // at most kMaxFields; the rows below them are hidden
    Check m_check;                // may be empty: any numbers pass
};
