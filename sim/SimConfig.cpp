#include "sim/SimConfig.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "framework/GbkText.h"

namespace sim {

HINSTANCE g_module = nullptr;

namespace {
std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Field keys of a [card.NAME] section, in driver order.
const char* const kFieldKeys[11] = {"regionCode", "socialSecurityNumber", "cardNumber", "cardIdCode",
                                    "name",       "resetInfo",            "specVersion", "issueDate",
                                    "expiryDate", "terminalNumber",       "terminalDeviceNumber"};

// A built-in card: fields 1-9 (the terminal's two come from the reader), or an error.
struct BuiltInCardData {
    const char* name;
    const char* fields[9];
    int error;
    const char* errorText;
};

// Narrow literals are compiled to GBK, so these are driver bytes already.
#define HOME_ID "410100D156000005004F2A3C1D8E9B70"
#define HOME_RESET "00814E43238697159900BF7C7A"
const BuiltInCardData kBuiltInCards[] = {
    // Valid cards: of the reader's own province (41), and of another one.
    {"home", {"410100", "410102198001010018", "B41000001", HOME_ID, "张伟", HOME_RESET, "3.00", "20200101", "20300101"}},
    {"other", {"639900", "111111198101011110", "X00000019", "639900D15600000500BF7C7A48FB4966", "李明",
               HOME_RESET, "1.00", "20151001", "20251001"}},
    // The second character's trail byte is "|".
    {"wang-shen", {"410100", "410102198506150024", "B41000002", HOME_ID, "王珅", HOME_RESET, "3.00", "20200101", "20300101"}},
    // One hard failure each, in rule order.
    {"bad-region", {"410101", "410102198001010018", "B41000003", HOME_ID, "张伟", HOME_RESET, "3.00", "20200101", "20300101"}},
    {"bad-ssn", {"410100", "chn123456789", "B41000004", HOME_ID, "张伟", HOME_RESET, "3.00", "20200101", "20300101"}},
    {"bad-card-number", {"410100", "410102198001010018", "B4100005", HOME_ID, "张伟", HOME_RESET, "3.00", "20200101", "20300101"}},
    {"bad-card-id", {"410100", "410102198001010018", "B41000006", "410100D156000006004F2A3C1D8E9B70", "张伟", HOME_RESET,
                     "3.00", "20200101", "20300101"}},
    {"bad-name", {"410100", "410102198001010018", "B41000007", HOME_ID, "张A", HOME_RESET, "3.00", "20200101", "20300101"}},
    {"bad-reset", {"410100", "410102198001010018", "B41000008", HOME_ID, "张伟", "00814e43238697159900BF7C7A", "3.00",
                   "20200101", "20300101"}},
    {"bad-version", {"410100", "410102198001010018", "B41000009", HOME_ID, "张伟", HOME_RESET, "4.0", "20200101", "20300101"}},
    // Notes on an otherwise valid card.
    {"ssn-short", {"410100", "41010219800101001", "B41000010", HOME_ID, "张伟", HOME_RESET, "3.00", "20200101", "20300101"}},
    {"ssn-checksum", {"410100", "410102198001010019", "B41000011", HOME_ID, "张伟", HOME_RESET, "3.00", "20200101", "20300101"}},
    {"name-star", {"410100", "410102198001010018", "B41000012", HOME_ID, "张*", HOME_RESET, "3.00", "20200101", "20300101"}},
    {"version-empty", {"410100", "410102198001010018", "B41000013", HOME_ID, "张伟", HOME_RESET, "", "20200101", "20300101"}},
    {"version-note", {"150100", "15010219700101001X", "K15000001", "150100D156000005004F2A3C1D8E9B70", "张伟", HOME_RESET,
                      "2.00", "20200101", "20300101"}},
    // Two failures and the number's note, which then closes the failure text.
    {"many-failures", {"410100", "41010219800101001", "B4100014", HOME_ID, "张伟", "00814e43238697159900BF7C7A", "3.00",
                       "20200101", "20300101"}},
    // Reader errors.
    {"wrong-type", {}, -1, "卡类型不对"},
    {"no-card", {}, -2, "无卡"},
    {"reader-offline", {}, -11, "读卡器连接错"},
    {"no-psam", {}, -2201, "无PSAM卡"},
};
#undef HOME_ID
#undef HOME_RESET

// ---- the file's form ----

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One line of the file, split into its parts.
struct Line {
    enum Kind { Empty, Header, Setting, Bad } kind = Empty;
    std::string_view name;   // the section's or the key's
    std::string_view value;  // a setting's, its quotes removed
    const char* problem = "";
};

// ";" or "#" at the start or after a blank begins a comment; a value may be put in double
// quotes, which keep blanks and comment characters. Anything but a comment after the
// closing quote is a mistake, as is a quote that does not close.
Line SplitLine(std::string_view text) {
    Line line;
    size_t eq = std::string_view::npos;
    size_t end = text.size();
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if ((c == ';' || c == '#') && (i == 0 || IsBlank(text[i - 1]))) {
            end = i;
            break;
        }
        if (c != '=' || eq != std::string_view::npos) continue;
        eq = i;
        size_t first = text.find_first_not_of(" \t", i + 1);
        if (first == std::string_view::npos || text[first] != '"') continue;
        size_t close = text.find('"', first + 1);
        if (close == std::string_view::npos) return {Line::Bad, {}, {}, "引号没有结束"};
        std::string_view after = Trim(text.substr(close + 1));
        if (!after.empty() && after[0] != ';' && after[0] != '#') return {Line::Bad, {}, {}, "引号后面还有别的内容"};
        return {Line::Setting, Trim(text.substr(0, eq)), text.substr(first + 1, close - first - 1)};
    }
    std::string_view body = Trim(text.substr(0, end));
    if (body.empty()) return line;
    if (body.front() == '[') {
        if (body.back() != ']' || body.size() < 3) return {Line::Bad, {}, {}, "节的名称应写在 [ ] 中"};
        return {Line::Header, Trim(body.substr(1, body.size() - 2))};
    }
    if (eq == std::string_view::npos) return {Line::Bad, {}, {}, "无法识别的行，应为 [节] 或 名称 = 值"};
    std::string_view key = Trim(text.substr(0, eq));
    if (key.empty()) return {Line::Bad, {}, {}, "等号前缺少名称"};
    return {Line::Setting, key, Trim(text.substr(eq + 1, end - eq - 1))};
}

// ---- checking the settings ----

// A value as a problem text shows it: GBK, at most about 40 bytes.
std::string Shown(std::string_view value) {
    std::string text = gbk::FromWide(Utf8ToWide(value));
    if (text.size() <= 40) return "“" + text + "”";
    size_t cut = 0;
    while (cut < text.size() && cut + gbk::CharLength(text, cut) <= 36) cut += gbk::CharLength(text, cut);
    return "“" + text.substr(0, cut) + "…”";
}

std::optional<long long> ParseInteger(const std::string& text) {
    if (text.empty() || IsBlank(text[0])) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    long long n = std::strtoll(text.c_str(), &end, 0);
    if (*end != '\0' || errno == ERANGE) return std::nullopt;
    return n;
}

// The entry points whose answers [script] sets, and their output buffers.
struct ScriptedEntry {
    const char* name;
    size_t outputSize;
};
const ScriptedEntry kScriptedEntries[] = {{"iReadCardBas", 20480}, {"iReloadPIN", 300}, {"iDoDebit", 300}};
const char* const kScriptKeys[] = {"code", "out", "length", "pad", "nul", "hook"};
const char* const kReaderKeys[] = {"card", "mode", "pin", "tries", "pintimeout", "terminal", "device", "record"};
const char* const kCardKeys[] = {"base", "interface", "error", "errortext"};

template <typename Names>
bool Among(const Names& names, std::string_view key) {
    return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return Lower(n) == key; });
}

bool IsScriptKey(std::string_view key) {
    size_t dot = key.find('.');
    if (dot == std::string_view::npos) return false;
    bool entry = std::any_of(std::begin(kScriptedEntries), std::end(kScriptedEntries),
                             [&](const ScriptedEntry& e) { return Lower(e.name) == key.substr(0, dot); });
    return entry && Among(kScriptKeys, key.substr(dot + 1));
}

// Reads the settings, noting each mistake with its line; the first line's mistake wins.
class Checker {
public:
    explicit Checker(const IniFile& ini) : ini_(ini) {
        for (const IniFile::Problem& p : ini.Problems()) Fail(p.line, p.text);
    }

    void Fail(int line, std::string problem) {
        if (!error_ || line < error_->line) error_ = ConfigError{line, std::move(problem)};
    }
    const std::optional<ConfigError>& Error() const { return error_; }

    // Every section and key the reader knows; the others are mistakes (a misspelt name
    // would otherwise be ignored without a word).
    void CheckNames() {
        for (const auto& [name, section] : ini_.Sections()) {
            bool card = name.compare(0, 5, "card.") == 0 && name.size() > 5;
            if (name.empty()) {
                for (const auto& [key, entry] : section.keys) Fail(entry.line, "设置" + Shown(entry.name) + "不在任何节中");
                continue;
            }
            if (!card && name != "reader" && name != "unattended" && name != "script") {
                Fail(section.line, "未知的节 [" + gbk::FromWide(Utf8ToWide(section.name)) + "]");
                continue;
            }
            for (const auto& [key, entry] : section.keys) {
                bool known = name == "reader"       ? Among(kReaderKeys, key)
                             : name == "unattended" ? key == "reset" || key == "debit"
                             : name == "script"     ? IsScriptKey(key)
                                                    : Among(kCardKeys, key) || IsFieldKey(key);
                if (!known) Fail(entry.line, "节 [" + gbk::FromWide(Utf8ToWide(section.name)) + "] 中没有设置" + Shown(entry.name));
            }
        }
    }

    // A whole number within int; `fallback` when the key is not there.
    int Integer(std::string_view section, std::string_view key, int fallback, int least = INT_MIN) {
        std::optional<std::string> value = ini_.Find(section, key);
        if (!value) return fallback;
        std::optional<long long> n = ParseInteger(*value);
        if (!n || *n < least || *n > INT_MAX) {
            Fail(ini_.LineOf(section, key), (least > 0 ? "应为正整数：" : "应为整数：") + Shown(*value));
            return fallback;
        }
        return static_cast<int>(*n);
    }

    // One of `choices` (case-insensitive), as its index; `fallback` when the key is not there.
    template <size_t N>
    int Choice(std::string_view section, std::string_view key, const char* const (&choices)[N], int fallback,
               const char* what) {
        std::optional<std::string> value = ini_.Find(section, key);
        if (!value) return fallback;
        for (size_t i = 0; i < N; ++i)
            if (Lower(*value) == choices[i]) return static_cast<int>(i);
        std::string list;
        for (const char* c : choices) list += list.empty() ? c : std::string("、") + c;
        Fail(ini_.LineOf(section, key), std::string("未知的") + what + Shown(*value) + "，可用 " + list);
        return fallback;
    }

    // A PIN of the right length, or (`answers`) cancel or timeout too.
    bool PinLike(std::string_view section, std::string_view key, const std::string& text, bool answers) {
        std::string bytes = DecodeBytes(text);
        if (IsPin(bytes) || (answers && (text == "cancel" || text == "timeout"))) return true;
        Fail(ini_.LineOf(section, key), std::string("PIN应为") + std::to_string(kMinPinDigits) + "到" +
                                            std::to_string(kMaxPinDigits) + "位数字" + (answers ? "，或 cancel、timeout" : "") +
                                            "：" + Shown(text));
        return false;
    }

    // The comma-separated PIN entries of an [unattended] key.
    std::vector<std::string> Answers(std::string_view key) {
        std::vector<std::string> answers;
        std::string list = ini_.Get("unattended", key);
        for (size_t start = 0; start <= list.size();) {
            size_t comma = std::min(list.find(',', start), list.size());
            std::string item(Trim(std::string_view(list).substr(start, comma - start)));
            start = comma + 1;
            if (item.empty()) continue;
            if (PinLike("unattended", key, item, true)) answers.push_back(item == "cancel" || item == "timeout" ? item : DecodeBytes(item));
        }
        return answers;
    }

    ScriptedAnswer Script(const ScriptedEntry& entry) {
        static const char* const kYesNo[] = {"yes", "no"};
        std::string base = std::string(entry.name) + ".";
        ScriptedAnswer a;
        a.code = Integer("script", base + "code", 0);
        a.out = DecodeBytes(ini_.Get("script", base + "out"));
        if (std::optional<std::string> length = ini_.Find("script", base + "length")) {
            std::optional<long long> n = ParseInteger(*length);
            if (Lower(*length) == "buffer")
                a.wholeBuffer = true;
            else if (n && *n >= 0 && static_cast<unsigned long long>(*n) <= entry.outputSize)
                a.length = static_cast<size_t>(*n);
            else
                Fail(ini_.LineOf("script", base + "length"),
                     "长度应为 buffer 或 0 到 " + std::to_string(entry.outputSize) + " 的整数：" + Shown(*length));
        }
        if (std::optional<std::string> pad = ini_.Find("script", base + "pad")) {
            if (pad->size() >= 1 && pad->size() <= 2 && std::all_of(pad->begin(), pad->end(), [](char c) { return HexDigit(c) >= 0; }))
                a.pad = static_cast<char>(std::strtoul(pad->c_str(), nullptr, 16));
            else
                Fail(ini_.LineOf("script", base + "pad"), "填充字节应为一到两位十六进制数：" + Shown(*pad));
        }
        a.nul = Choice("script", base + "nul", kYesNo, 0, "取值") == 0;
        a.hook = ini_.Get("script", base + "hook");
        return a;
    }

    // The card in the reader: a [card.NAME] section of the file (starting from the
    // built-in card its `base` names), else a built-in card; nothing when neither exists.
    std::optional<SampleCard> Card(const std::string& name) {
        static const char* const kInterfaces[] = {"contact", "contactless", "dual"};
        std::string section = "card." + name;
        if (!ini_.HasSection(section)) return BuiltInCard(name);
        SampleCard card{name, std::vector<std::string>(11)};
        if (std::optional<std::string> base = ini_.Find(section, "base")) {
            if (std::optional<SampleCard> built = BuiltInCard(*base))
                card = std::move(*built);
            else
                Fail(ini_.LineOf(section, "base"), "没有名为" + Shown(*base) + "的内置卡");
            card.name = name;
        }
        for (int i = 0; i < 11; ++i) {
            std::optional<std::string> v = ini_.Find(section, kFieldKeys[i]);
            if (!v) continue;
            card.fields[i] = DecodeBytes(*v);
            if (i == 9) card.terminalNumber = card.fields[i];
            if (i == 10) card.terminalDeviceNumber = card.fields[i];
        }
        card.iface = static_cast<Interface>(Choice(section, "interface", kInterfaces, static_cast<int>(card.iface), "接口"));
        card.error = Integer(section, "error", card.error);
        if (std::optional<std::string> v = ini_.Find(section, "errorText")) card.errorText = DecodeBytes(*v);
        return card;
    }

private:
    static bool IsFieldKey(std::string_view key) { return Among(kFieldKeys, key); }

    const IniFile& ini_;
    std::optional<ConfigError> error_;
};

// The folder of the DLL, with a trailing backslash.
std::wstring ModuleDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(g_module, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

// The longest beginning of a GBK text within `maxBytes`, cut at a whole character.
std::string FitGbk(const std::string& text, size_t maxBytes) {
    size_t end = 0;
    while (end < text.size() && end + gbk::CharLength(text, end) <= maxBytes) end += gbk::CharLength(text, end);
    return text.substr(0, end);
}
}  // namespace

bool IsPin(std::string_view text) {
    return text.size() >= kMinPinDigits && text.size() <= kMaxPinDigits &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

IniFile IniFile::Read(const std::wstring& path, bool* found) {
    std::string text;
    std::FILE* file = _wfopen(path.c_str(), L"rb");
    if (found) *found = file != nullptr;
    if (file) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
        std::fclose(file);
    }
    return Parse(text);
}

IniFile IniFile::Parse(std::string_view text) {
    IniFile ini;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a UTF-8 byte order mark
    std::string section;
    for (int number = 1; !text.empty(); ++number) {
        size_t end = text.find('\n');
        Line line = SplitLine(Trim(text.substr(0, end)));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        switch (line.kind) {
            case Line::Empty: break;
            case Line::Bad: ini.problems_.push_back({number, line.problem}); break;
            case Line::Header: {
                section = Lower(line.name);
                Section& header = ini.sections_[section];
                if (header.line == 0) {  // its first header
                    header.name = line.name;
                    header.line = number;
                }
                break;
            }
            case Line::Setting:
                ini.sections_[section].keys[Lower(line.name)] = {std::string(line.name), std::string(line.value), number};
                break;
        }
    }
    return ini;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    auto s = sections_.find(Lower(section));
    if (s == sections_.end()) return std::nullopt;
    auto k = s->second.keys.find(Lower(key));
    if (k == s->second.keys.end()) return std::nullopt;
    return k->second.value;
}

std::string IniFile::Get(std::string_view section, std::string_view key, std::string_view fallback) const {
    return Find(section, key).value_or(std::string(fallback));
}

bool IniFile::HasSection(std::string_view section) const { return sections_.count(Lower(section)) != 0; }

int IniFile::LineOf(std::string_view section, std::string_view key) const {
    auto s = sections_.find(Lower(section));
    if (s == sections_.end()) return 0;
    auto k = s->second.keys.find(Lower(key));
    return k == s->second.keys.end() ? 0 : k->second.line;
}

std::string DecodeBytes(std::string_view value) {
    std::string out;
    size_t runStart = 0;  // start of the UTF-8 text not yet converted
    auto flush = [&](size_t end) { out += gbk::FromWide(Utf8ToWide(value.substr(runStart, end - runStart))); };
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 >= value.size()) continue;
        char e = value[i + 1];
        int hi = i + 2 < value.size() ? HexDigit(value[i + 2]) : -1;
        int lo = i + 3 < value.size() ? HexDigit(value[i + 3]) : -1;
        std::string bytes;
        size_t length = 2;
        switch (e) {
            case '\\': bytes = "\\"; break;
            case 'r': bytes = "\r"; break;
            case 'n': bytes = "\n"; break;
            case 't': bytes = "\t"; break;
            case '0': bytes.assign(1, '\0'); break;
            case 'x':
                if (hi < 0 || lo < 0) continue;  // not an escape: kept as text
                bytes.assign(1, static_cast<char>(hi * 16 + lo));
                length = 4;
                break;
            default: continue;
        }
        flush(i);
        out += bytes;
        i += length - 1;
        runStart = i + 1;
    }
    flush(value.size());
    return out;
}

std::wstring Utf8ToWide(std::string_view text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(std::max(n, 0)), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

const std::vector<std::string>& SampleCardNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const BuiltInCardData& card : kBuiltInCards) all.push_back(card.name);
        return all;
    }();
    return names;
}

std::optional<SampleCard> BuiltInCard(std::string_view name) {
    for (const BuiltInCardData& builtIn : kBuiltInCards) {
        if (Lower(builtIn.name) != Lower(name)) continue;
        SampleCard card{builtIn.name, std::vector<std::string>(11)};
        for (int i = 0; i < 9; ++i) card.fields[i] = builtIn.fields[i] ? builtIn.fields[i] : "";
        card.error = builtIn.error;
        card.errorText = builtIn.errorText ? builtIn.errorText : "";
        return card;
    }
    return std::nullopt;
}

std::wstring ConfigPath(bool* named) {
    wchar_t buffer[32768];
    DWORD n = GetEnvironmentVariableW(L"SSCARDDRIVER_INI", buffer, static_cast<DWORD>(std::size(buffer)));
    bool fromEnvironment = n > 0 && n < std::size(buffer);
    if (named) *named = fromEnvironment;
    return fromEnvironment ? std::wstring(buffer, n) : ModuleDirectory() + L"SSCardDriver.ini";
}

namespace {
Config Settings(const IniFile& ini, const std::wstring& path) {
    static const char* const kModes[] = {"interactive", "unattended", "scripted"};
    Config config;
    config.path = path;
    Checker check(ini);
    check.CheckNames();
    config.mode = static_cast<Mode>(check.Choice("reader", "mode", kModes, 0, "模式"));
    // Every card of the file is checked, not only the one in the reader.
    for (const auto& [name, section] : ini.Sections())
        if (name.compare(0, 5, "card.") == 0 && name.size() > 5) check.Card(name.substr(5));
    std::string cardName = ini.Get("reader", "card", "home");
    if (std::optional<SampleCard> card = check.Card(cardName)) {
        config.card = std::move(*card);
    } else {
        check.Fail(ini.LineOf("reader", "card"), "没有名为" + Shown(cardName) + "的卡，也没有 [card." + gbk::FromWide(Utf8ToWide(cardName)) + "] 节");
        config.card = SampleCard{cardName, {}, std::nullopt, std::nullopt, Interface::Dual, kConfigErrorCode, ""};
    }
    if (!config.card.terminalNumber) config.card.terminalNumber = DecodeBytes(ini.Get("reader", "terminal", "410100813475"));
    if (!config.card.terminalDeviceNumber) config.card.terminalDeviceNumber = DecodeBytes(ini.Get("reader", "device", ""));
    if (config.card.error == 0) {
        config.card.fields[9] = *config.card.terminalNumber;
        config.card.fields[10] = *config.card.terminalDeviceNumber;
    }
    config.pin = "123456";
    if (std::optional<std::string> pin = ini.Find("reader", "pin"); pin && check.PinLike("reader", "pin", *pin, false))
        config.pin = DecodeBytes(*pin);
    config.pinTries = check.Integer("reader", "tries", 3, 1);
    config.pinTimeoutSeconds = check.Integer("reader", "pinTimeout", 60, 1);
    config.recordPath = Utf8ToWide(ini.Get("reader", "record"));
    config.resetAnswers = check.Answers("reset");
    config.debitAnswers = check.Answers("debit");
    for (const ScriptedEntry& entry : kScriptedEntries) config.script[entry.name] = check.Script(entry);
    config.error = check.Error();
    return config;
}
}  // namespace

Config ParseConfig(std::string_view text, const std::wstring& path) { return Settings(IniFile::Parse(text), path); }

Config LoadConfig() {
    bool named = false, found = false;
    std::wstring path = ConfigPath(&named);
    Config config = Settings(IniFile::Read(path, &found), path);
    // Without a file beside the DLL the defaults hold; a file the environment names must be there.
    if (named && !found) config.error = ConfigError{0, "文件不存在或无法读取"};
    return config;
}

std::string ConfigErrorText(const Config& config, size_t maxBytes) {
    if (!config.error) return std::string();
    std::wstring name = config.path.substr(config.path.find_last_of(L"\\/") + 1);
    std::string text = "模拟读卡器配置有误：" + gbk::FromWide(name);
    if (config.error->line > 0) text += " 第" + std::to_string(config.error->line) + "行";
    text += "：" + config.error->problem + "（" + gbk::FromWide(config.path) + "）";
    return FitGbk(text, maxBytes);
}

}  // namespace sim
