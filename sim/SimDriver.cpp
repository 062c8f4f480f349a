// A card reader with a card inserted, behind the reader interface's three entry points.
// What card is in it, how the PIN is collected, and scripted answers for tests come from
// the INI file (SimConfig.h, README.md).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sim/PinPad.h"
#include "sim/SimConfig.h"

using namespace sim;

namespace {
// The output buffer sizes of the call contract; the reader never writes past them.
constexpr size_t kReadCardBasOutput = 20480;
constexpr size_t kLiveCheckOutput = 300;
constexpr size_t kTransactionBuffer = 200;
constexpr size_t kCardReferenceBuffer = 100;

struct Reply {
    int code;
    std::string text;  // GBK
};

// The PIN and its try counter live on the card; here, as long as the DLL is loaded,
// for the card last used.
struct CardState {
    std::string cardName;
    std::string pin;
    int triesLeft = 0;
};
CardState g_card;

CardState& StateOf(const Config& config) {
    if (g_card.cardName != config.card.name) g_card = {config.card.name, config.pin, config.pinTries};
    return g_card;
}

std::string Hex(const char* bytes, size_t n) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string HexOfText(const char* text) { return text ? Hex(text, std::strlen(text)) : std::string("-"); }

// The text arguments an entry point takes besides its output buffer.
enum class Takes { Nothing, Card, CardAndPayment };

// Appends what an entry point received to the record file: the argument texts in hex, the
// card reference's and the transaction's whole buffers as the interface sizes them, and
// whether the output buffer was all zeros over the contract's size.
void Record(const Config& config, const char* entry, int iType, Takes takes, const char* cardInfo,
            const char* payInfo, const char* out, size_t outSize) {
    if (config.recordPath.empty()) return;
    std::string block = std::string("[") + entry + "]\r\niType=" + std::to_string(iType) + "\r\n";
    if (takes != Takes::Nothing) block += "cardInfo=" + HexOfText(cardInfo) + "\r\n";
    if (takes != Takes::Nothing && cardInfo) block += "cardBuffer=" + Hex(cardInfo, kCardReferenceBuffer) + "\r\n";
    if (takes == Takes::CardAndPayment) block += "payInfo=" + HexOfText(payInfo) + "\r\n";
    if (payInfo) block += "payBuffer=" + Hex(payInfo, kTransactionBuffer) + "\r\n";
    bool zeroed = out && std::all_of(out, out + outSize, [](char c) { return c == '\0'; });
    block += std::string("outputZeroed=") + (zeroed ? "1" : "0") + "\r\n\r\n";
    if (std::FILE* file = _wfopen(config.recordPath.c_str(), L"ab")) {
        std::fwrite(block.data(), 1, block.size(), file);
        std::fclose(file);
    }
}

// A text and its terminating zero, cut so that both fit.
void WriteText(char* out, size_t outSize, const std::string& text) {
    if (!out || outSize == 0) return;
    size_t n = std::min(text.size(), outSize - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// A test looks at its own program while the reader "works": the host program's exported
// function `void __cdecl NAME(const char* entry)` named by the script, called during the
// call, before the output is written. A name the program does not export is ignored.
void CallHostHook(const std::string& name, const char* entry) {
    if (name.empty()) return;
    using Hook = void(__cdecl*)(const char* entry);
    FARPROC found = GetProcAddress(GetModuleHandleW(nullptr), name.c_str());
    if (found) reinterpret_cast<Hook>(reinterpret_cast<void*>(found))(entry);
}

// Scripted mode: the code and the exact bytes the INI file gives for this entry point.
int ScriptedReply(const Config& config, const char* entry, char* out, size_t outSize) {
    auto found = config.script.find(entry);
    const ScriptedAnswer answer = found == config.script.end() ? ScriptedAnswer() : found->second;
    CallHostHook(answer.hook, entry);
    std::string bytes = answer.out;
    if (answer.wholeBuffer || answer.length) bytes.resize(answer.wholeBuffer ? outSize : *answer.length, answer.pad);
    if (!out) return answer.code;
    if (answer.nul) {
        WriteText(out, outSize, bytes);
    } else {
        std::memcpy(out, bytes.data(), std::min(bytes.size(), outSize));
    }
    return answer.code;
}

bool Finds(int iType, Interface iface, Reply* reply) {
    bool contact = iface != Interface::Contactless, contactless = iface != Interface::Contact;
    bool found;
    switch (iType) {
        case 1: found = contact; break;
        case 2: found = contactless; break;
        case 3:
        case 4: found = contact || contactless; break;  // either interface, in the order asked for
        default: *reply = {-1, "卡类型不对"}; return false;
    }
    if (!found) *reply = {-2, "无卡"};
    return found;
}

// The card the call is about is in the reader and answers; else the reader's error.
bool CardPresent(const Config& config, int iType, Reply* reply) {
    if (config.card.error != 0) {
        *reply = {config.card.error, config.card.errorText};
        return false;
    }
    return Finds(iType, config.card.iface, reply);
}

bool SameCard(const Config& config, const char* cardInfo, Reply* reply) {
    const std::vector<std::string>& f = config.card.fields;
    if (cardInfo && f[3] + "|" + f[2] + "|" == cardInfo) return true;
    *reply = {-23, "传入数据与卡内不符"};
    return false;
}

// Where PIN entries come from: the pad, or the INI file's answers for this call.
class PinSource {
public:
    PinSource(const Config& config, const std::vector<std::string>& answers) : config_(config), answers_(answers) {}

    PinEntry Ask(const std::string& prompt) {
        if (config_.mode == Mode::Interactive) return AskPin(prompt, config_.pinTimeoutSeconds);
        if (next_ >= answers_.size()) return {PinEntry::Cancelled, std::string()};
        const std::string& answer = answers_[next_++];
        if (answer == "cancel") return {PinEntry::Cancelled, std::string()};
        if (answer == "timeout") return {PinEntry::TimedOut, std::string()};
        return {PinEntry::Entered, answer};
    }

private:
    const Config& config_;
    const std::vector<std::string>& answers_;  // checked PINs, "cancel" or "timeout"
    size_t next_ = 0;
};

// A PIN entry that ended without a PIN.
Reply Abandoned(const PinEntry& entry) {
    return entry.outcome == PinEntry::TimedOut ? Reply{-32, "密码输入操作超时"} : Reply{-31, "用户取消密码输入"};
}

Reply ReloadPin(const Config& config, int iType, const char* cardInfo) {
    Reply reply{0, std::string()};
    if (!CardPresent(config, iType, &reply) || !SameCard(config, cardInfo, &reply)) return reply;
    PinSource pins(config, config.resetAnswers);
    PinEntry first = pins.Ask("请输入新密码");
    if (first.outcome != PinEntry::Entered) return Abandoned(first);
    PinEntry second = pins.Ask("请再次输入新密码");
    if (second.outcome != PinEntry::Entered) return Abandoned(second);
    if (first.pin != second.pin) return {-34, "两次输入密码不一致"};
    CardState& card = StateOf(config);
    card.pin = first.pin;
    card.triesLeft = config.pinTries;  // a reset also unlocks the PIN
    return reply;
}

bool IsAmount(const std::string& text) {
    size_t point = text.find('.');
    std::string digits = point == std::string::npos ? text : text.substr(0, point) + text.substr(point + 1);
    return !digits.empty() && point != 0 && point + 1 != text.size() &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "amount|amount|YYYYMMDDhhmmss|".
bool IsTransaction(const char* payInfo) {
    if (!payInfo) return false;
    std::string text = payInfo;
    std::vector<std::string> fields;
    for (size_t start = 0, bar; (bar = text.find('|', start)) != std::string::npos; start = bar + 1)
        fields.push_back(text.substr(start, bar - start));
    if (fields.size() != 3 || text.back() != '|') return false;
    const std::string& when = fields[2];
    return IsAmount(fields[0]) && IsAmount(fields[1]) && when.size() == 14 &&
           std::all_of(when.begin(), when.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Reply DoDebit(const Config& config, int iType, const char* cardInfo, const char* payInfo) {
    Reply reply{0, std::string()};
    if (!CardPresent(config, iType, &reply) || !SameCard(config, cardInfo, &reply)) return reply;
    if (!IsTransaction(payInfo)) return {-14, "命令参数错"};
    CardState& card = StateOf(config);
    if (card.triesLeft == 0) return {-52, "PIN锁定"};
    PinSource pins(config, config.debitAnswers);
    PinEntry entry = pins.Ask("请输入密码");
    if (entry.outcome != PinEntry::Entered) return Abandoned(entry);
    if (entry.pin != card.pin) {
        if (--card.triesLeft == 0) return {-52, "PIN锁定"};
        return {-51, "PIN校验失败，剩余次数" + std::to_string(card.triesLeft) + "次"};
    }
    card.triesLeft = config.pinTries;
    return reply;
}

Reply ReadCardBas(const Config& config, int iType) {
    Reply reply{0, std::string()};
    if (!CardPresent(config, iType, &reply)) return reply;
    for (const std::string& field : config.card.fields) reply.text += field + "|";
    return reply;
}

int Answer(char* out, size_t outSize, const Reply& reply) {
    WriteText(out, outSize, reply.text);
    return reply.code;
}

// One entry point's call: the settings read afresh and the call recorded; then a mistake in
// the settings is reported, a script answers, or the reader does its work. Nothing thrown
// leaves the DLL: the caller is no C++ program of ours.
template <typename Work>
int Call(const char* entry, int iType, Takes takes, const char* cardInfo, const char* payInfo, char* out,
         size_t outSize, Work work) {
    try {
        Config config = LoadConfig();
        Record(config, entry, iType, takes, cardInfo, payInfo, out, outSize);
        if (config.error) return Answer(out, outSize, {kConfigErrorCode, ConfigErrorText(config, outSize - 1)});
        if (config.mode == Mode::Scripted) return ScriptedReply(config, entry, out, outSize);
        return Answer(out, outSize, work(config));
    } catch (...) {
        return Answer(out, outSize, {-99, "模拟读卡器内部错误"});
    }
}
}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" int __stdcall iReadCardBas(int iType, char* pOutInfo) {
    return Call("iReadCardBas", iType, Takes::Nothing, nullptr, nullptr, pOutInfo, kReadCardBasOutput,
                [&](const Config& config) { return ReadCardBas(config, iType); });
}

extern "C" int __stdcall iReloadPIN(int iType, char* pCardInfo, char* pOutInfo) {
    return Call("iReloadPIN", iType, Takes::Card, pCardInfo, nullptr, pOutInfo, kLiveCheckOutput,
                [&](const Config& config) { return ReloadPin(config, iType, pCardInfo); });
}

extern "C" int __stdcall iDoDebit(int iType, char* pCardInfo, char* pPayInfo, char* pOutInfo) {
    return Call("iDoDebit", iType, Takes::CardAndPayment, pCardInfo, pPayInfo, pOutInfo, kLiveCheckOutput,
                [&](const Config& config) { return DoDebit(config, iType, pCardInfo, pPayInfo); });
}
