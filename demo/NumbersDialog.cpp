#include "demo/NumbersDialog.h"

#include <charconv>

#include "demo/DemoResource.h"
#include "framework/GbkText.h"

namespace {
std::string ItemText(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    std::wstring wide(static_cast<size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
    wide.resize(static_cast<size_t>(::GetWindowTextW(item, &wide[0], static_cast<int>(wide.size()))));
    return gbk::FromWide(wide);
}

void SetItemText(HWND dialog, int id, const std::string& gbkText) {
    ::SetDlgItemTextW(dialog, id, gbk::ToWide(gbkText).c_str());
}
}  // namespace

CNumbersDialog::CNumbersDialog(CWnd* parent, std::string title, std::vector<Field> fields, Check check)
    : CDialog(IDD_NUMBERS, parent), m_title(std::move(title)), m_fields(std::move(fields)), m_check(std::move(check)) {
    if (m_fields.size() > kMaxFields) m_fields.resize(kMaxFields);
}

std::vector<int> CNumbersDialog::Values() const {
    std::vector<int> values;
    for (const Field& f : m_fields) values.push_back(f.value);
    return values;
}

std::string CNumbersDialog::ErrorText() const { return ItemText(m_hWnd, IDC_NUMBER_ERROR); }

BOOL CNumbersDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(m_title);
    for (size_t i = 0; i < kMaxFields; ++i) {
        const int label = IDC_NUMBER_LABEL + static_cast<int>(i), edit = IDC_NUMBER_VALUE + static_cast<int>(i);
        if (i < m_fields.size()) {
            SetItemText(m_hWnd, label, m_fields[i].label);
            SetItemText(m_hWnd, edit, std::to_string(m_fields[i].value));
        } else {
            ::ShowWindow(::GetDlgItem(m_hWnd, label), SW_HIDE);
            ::ShowWindow(::GetDlgItem(m_hWnd, edit), SW_HIDE);
        }
    }
    return TRUE;
}

bool CNumbersDialog::ReadField(size_t i, int* value) const {
    const std::string text = ItemText(m_hWnd, IDC_NUMBER_VALUE + static_cast<int>(i));
    const char* end = text.data() + text.size();
    auto [stop, failure] = std::from_chars(text.data(), end, *value);
    return !text.empty() && text[0] != '-' && failure == std::errc() && stop == end;
}

void CNumbersDialog::OnOK() {
    std::vector<int> values(m_fields.size());
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (!ReadField(i, &values[i])) {
            SetItemText(m_hWnd, IDC_NUMBER_ERROR, m_fields[i].label + " needs a whole number.");
            ::SetFocus(::GetDlgItem(m_hWnd, IDC_NUMBER_VALUE + static_cast<int>(i)));
            return;
        }
    }
    const std::string problem = m_check ? m_check(values) : std::string();
    SetItemText(m_hWnd, IDC_NUMBER_ERROR, problem);
    if (!problem.empty()) return;
    for (size_t i = 0; i < m_fields.size(); ++i) m_fields[i].value = values[i];
    EndDialog(IDOK);
}
