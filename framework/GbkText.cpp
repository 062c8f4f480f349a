#include "framework/GbkText.h"

#include <windows.h>

namespace gbk {
namespace {
constexpr UINT kGbk = 936;

std::wstring Decode(std::string_view text, DWORD flags, bool* ok) {
    std::wstring out;
    if (ok) *ok = true;
    if (text.empty()) return out;
    int n = MultiByteToWideChar(kGbk, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) {
        if (ok) *ok = false;
        return out;
    }
    out.resize(static_cast<size_t>(n));
    MultiByteToWideChar(kGbk, flags, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}
}  // namespace

std::wstring ToWide(std::string_view text) { return Decode(text, 0, nullptr); }

bool TryDecode(std::string_view text, std::wstring& out) {
    bool ok = false;
    out = Decode(text, MB_ERR_INVALID_CHARS, &ok);
    if (!ok) out.clear();
    return ok;
}

std::string FromWide(std::wstring_view text) {
    std::string out;
    if (text.empty()) return out;
    int n = WideCharToMultiByte(kGbk, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return out;
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(kGbk, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

}  // namespace gbk
