#include "sim/SimConfig.h"

#include <algorithm>
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
struct BuiltInCard {
    const char* name;
    const char* fields[9];
    int error;
    const char* errorText;
};

// Narrow literals are compiled to GBK, so these are driver bytes already.
#define HOME_ID "410100D156000005004F2A3C1D8E9B70"
#define HOME_RESET "00814E43238697159900BF7C7A"
const BuiltInCard kBuiltInCards[] = {
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
}  // namespace

IniFile IniFile::Read(const std::wstring& path) {
    std::string text;
    if (std::FILE* file = _wfopen(path.c_str(), L"rb")) {
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
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = Lower(Trim(line.substr(1, line.size() - 2)));
            ini.sections_[section];
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        std::string_view value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        ini.sections_[section][Lower(Trim(line.substr(0, eq)))] = std::string(value);
    }
    return ini;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    auto s = sections_.find(Lower(section));
    if (s == sections_.end()) return std::nullopt;
    auto k = s->second.find(Lower(key));
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

std::string IniFile::Get(std::string_view section, std::string_view key, std::string_view fallback) const {
    return Find(section, key).value_or(std::string(fallback));
}

int IniFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
    std::optional<std::string> value = Find(section, key);
    if (!value || value->empty()) return fallback;
    char* end = nullptr;
    long n = std::strtol(value->c_str(), &end, 0);
    return *end == '\0' ? static_cast<int>(n) : fallback;
}

bool IniFile::HasSection(std::string_view section) const { return sections_.count(Lower(section)) != 0; }

std::wstring Utf8ToWide(std::string_view text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(std::max(n, 0)), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
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

const std::vector<std::string>& SampleCardNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const BuiltInCard& card : kBuiltInCards) all.push_back(card.name);
        return all;
    }();
    return names;
}

std::optional<SampleCard> FindSampleCard(const IniFile& ini, std::string_view name) {
    std::string section = "card." + std::string(name);
    if (ini.HasSection(section)) {
        // A card of the INI file's own, starting from a built-in one when it names one.
        std::string base = ini.Get(section, "base");
        std::optional<SampleCard> card;
        if (!base.empty() && Lower(base) != Lower(name)) card = FindSampleCard(IniFile(), base);
        if (!card) card = SampleCard{std::string(name), std::vector<std::string>(11)};
        card->name = std::string(name);
        for (int i = 0; i < 11; ++i)
            if (std::optional<std::string> v = ini.Find(section, kFieldKeys[i])) {
                card->fields[i] = DecodeBytes(*v);
                if (i == 9) card->terminalNumber = card->fields[i];
                if (i == 10) card->terminalDeviceNumber = card->fields[i];
            }
        std::string iface = Lower(ini.Get(section, "interface"));
        if (iface == "contact") card->iface = Interface::Contact;
        if (iface == "contactless") card->iface = Interface::Contactless;
        card->error = ini.GetInt(section, "error", card->error);
        if (std::optional<std::string> v = ini.Find(section, "errorText")) card->errorText = DecodeBytes(*v);
        return card;
    }
    for (const BuiltInCard& builtIn : kBuiltInCards) {
        if (Lower(builtIn.name) != Lower(name)) continue;
        SampleCard card{builtIn.name, std::vector<std::string>(11)};
        for (int i = 0; i < 9; ++i) card.fields[i] = builtIn.fields[i] ? builtIn.fields[i] : "";
        card.error = builtIn.error;
        card.errorText = builtIn.errorText ? builtIn.errorText : "";
        return card;
    }
    return std::nullopt;
}

std::wstring ConfigPath() {
    wchar_t buffer[32768];
    DWORD n = GetEnvironmentVariableW(L"SSCARDDRIVER_INI", buffer, static_cast<DWORD>(std::size(buffer)));
    if (n > 0 && n < std::size(buffer)) return std::wstring(buffer, n);
    return ModuleDirectory() + L"SSCardDriver.ini";
}

Config LoadConfig() {
    Config config;
    config.ini = IniFile::Read(ConfigPath());
    const IniFile& ini = config.ini;
    std::string mode = Lower(ini.Get("reader", "mode", "interactive"));
    config.mode = mode == "scripted" ? Mode::Scripted : mode == "unattended" ? Mode::Unattended : Mode::Interactive;
    std::string cardName = ini.Get("reader", "card", "home");
    std::optional<SampleCard> card = FindSampleCard(ini, cardName);
    if (!card) {
        // A name that is neither built in nor defined: the reader finds no such card.
        card = SampleCard{cardName, {}, std::nullopt, std::nullopt, Interface::Dual, -2, "无卡"};
    }
    config.card = std::move(*card);
    if (!config.card.terminalNumber) config.card.terminalNumber = DecodeBytes(ini.Get("reader", "terminal", "410100813475"));
    if (!config.card.terminalDeviceNumber) config.card.terminalDeviceNumber = DecodeBytes(ini.Get("reader", "device", ""));
    if (config.card.error == 0) {
        config.card.fields[9] = *config.card.terminalNumber;
        config.card.fields[10] = *config.card.terminalDeviceNumber;
    }
    config.pin = DecodeBytes(ini.Get("reader", "pin", "123456"));
    config.pinTries = std::max(1, ini.GetInt("reader", "tries", 3));
    config.pinTimeoutSeconds = std::max(1, ini.GetInt("reader", "pinTimeout", 60));
    config.recordPath = Utf8ToWide(ini.Get("reader", "record"));
    return config;
}

}  // namespace sim
