// The simulated reader's settings: SSCardDriver.ini beside the DLL, or the file that the
// environment variable SSCARDDRIVER_INI names. Read afresh on every call, so a test can
// change what the reader does between two calls. The format is in README.md.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// A UTF-8 INI file: [section] and key = value lines; names are case-insensitive.
class IniFile {
public:
    static IniFile Read(const std::wstring& path);
    static IniFile Parse(std::string_view text);

    // The raw value (UTF-8, trimmed, one pair of enclosing quotes removed), if present.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string Get(std::string_view section, std::string_view key, std::string_view fallback = "") const;
    int GetInt(std::string_view section, std::string_view key, int fallback) const;
    bool HasSection(std::string_view section) const;

private:
    std::map<std::string, std::map<std::string, std::string>> sections_;
};

// A value as driver bytes: UTF-8 text becomes GBK; \xHH gives the byte HH, and \\, \r,
// \n, \t, \0 their usual bytes.
std::string DecodeBytes(std::string_view value);
std::wstring Utf8ToWide(std::string_view text);

enum class Mode { Interactive, Unattended, Scripted };
enum class Interface { Contact, Contactless, Dual };

// A card in the reader, or a reader error that every call reports instead.
struct SampleCard {
    std::string name;
    std::vector<std::string> fields;                // the eleven fields, GBK
    std::optional<std::string> terminalNumber;      // else the reader's
    std::optional<std::string> terminalDeviceNumber;
    Interface iface = Interface::Dual;
    int error = 0;                                  // non-zero: a reader error
    std::string errorText;                          // GBK
};

struct Config {
    IniFile ini;
    Mode mode = Mode::Interactive;
    SampleCard card;
    std::string pin;            // the card's PIN until a reset sets another
    int pinTries = 3;           // tries before the card locks
    int pinTimeoutSeconds = 60; // the PIN pad gives up after this long
    std::wstring recordPath;    // where each call's arguments are appended; empty: none
};

// The INI file in force and the settings it gives (defaults where it is missing).
std::wstring ConfigPath();
Config LoadConfig();

// The built-in sample cards, by name.
const std::vector<std::string>& SampleCardNames();
std::optional<SampleCard> FindSampleCard(const IniFile& ini, std::string_view name);

// The DLL's own module, set by DllMain.
extern HINSTANCE g_module;

}  // namespace sim
