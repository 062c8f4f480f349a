// The simulated reader's settings: SSCardDriver.ini beside the DLL, or the file that the
// environment variable SSCARDDRIVER_INI names. Read afresh on every call, so a test can
// change what the reader does between two calls. The format is in README.md.
//
// Classes in this file:
//   IniFile         the file's sections and keys, each with its line, and the lines that
//                   are no section, setting or comment
//   SampleCard      a card in the reader, or a reader error
//   ScriptedAnswer  what one entry point returns in scripted mode
//   ConfigError     a mistake of the file: its line and what is wrong
//   Config          everything the reader does, checked when it is read
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// PIN lengths the reader takes: its PIN pad and the INI file accept the same.
constexpr size_t kMinPinDigits = 4;
constexpr size_t kMaxPinDigits = 12;
// True for kMinPinDigits to kMaxPinDigits ASCII digits.
bool IsPin(std::string_view text);

// A UTF-8 INI file: [section] and key = value lines; names are case-insensitive. ";" or
// "#" begins a comment at the start of a line or after a blank, except inside the double
// quotes around a value.
class IniFile {
public:
    // A line the form above does not allow.
    struct Problem {
        int line;
        std::string text;  // GBK
    };

    // Nothing (no sections, no problems) when the file cannot be read; `found` says which.
    static IniFile Read(const std::wstring& path, bool* found = nullptr);
    static IniFile Parse(std::string_view text);

    // The raw value (UTF-8, trimmed, its enclosing quotes removed), if present.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string Get(std::string_view section, std::string_view key, std::string_view fallback = "") const;
    bool HasSection(std::string_view section) const;
    // The line of a key, 0 when it is not there.
    int LineOf(std::string_view section, std::string_view key) const;

    struct Entry {
        std::string name;   // as written
        std::string value;  // as Find gives it
        int line;           // 1-based
    };
    struct Section {
        std::string name;                     // as its first header writes it
        int line = 0;                         // of its header; 0 for keys before any header
        std::map<std::string, Entry> keys;    // by lower-case name
    };
    // Every section by lower-case name ("" for keys before the first header).
    const std::map<std::string, Section>& Sections() const { return sections_; }
    const std::vector<Problem>& Problems() const { return problems_; }

private:
    std::map<std::string, Section> sections_;
    std::vector<Problem> problems_;
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

// Scripted mode: what one entry point returns, without any check.
struct ScriptedAnswer {
    int code = 0;
    std::string out;               // the output bytes
    bool wholeBuffer = false;      // padded (or cut) to the whole output buffer
    std::optional<size_t> length;  // else padded (or cut) to this many bytes
    char pad = ' ';                // the padding byte
    bool nul = true;               // a terminating zero after the output
    std::string hook;              // the host program's export called during the call
};

// A mistake of the INI file. Line 0: the file as a whole.
struct ConfigError {
    int line;
    std::string problem;  // GBK
};

struct Config {
    std::wstring path;          // the INI file in force
    Mode mode = Mode::Interactive;
    SampleCard card;
    std::string pin;            // the card's PIN until a reset sets another
    int pinTries = 3;           // tries before the card locks
    int pinTimeoutSeconds = 60; // the PIN pad gives up after this long
    std::wstring recordPath;    // where each call's arguments are appended; empty: none
    std::vector<std::string> resetAnswers, debitAnswers;  // unattended mode's PIN entries
    std::map<std::string, ScriptedAnswer> script;         // by entry point name
    std::optional<ConfigError> error;  // the file's first mistake: every call reports it
};

// The reader's answer while its INI file holds a mistake.
constexpr int kConfigErrorCode = -90;
// What the reader says about the mistake (GBK, within `maxBytes`, cut at a whole
// character): the file's name, the line and the problem, then the file's full path.
std::string ConfigErrorText(const Config& config, size_t maxBytes);

// The INI file in force, and whether the environment variable named it (a file named there
// must exist; without one beside the DLL the reader runs on its defaults).
std::wstring ConfigPath(bool* named = nullptr);
// The settings of an INI text (defaults where it says nothing), with its first mistake.
Config ParseConfig(std::string_view text, const std::wstring& path);
// The settings in force: the INI file's, or the defaults.
Config LoadConfig();

// The built-in sample cards, by name.
const std::vector<std::string>& SampleCardNames();
// A built-in card by its name (case-insensitive).
std::optional<SampleCard> BuiltInCard(std::string_view name);

// The DLL's own module, set by DllMain.
extern HINSTANCE g_module;

}  // namespace sim
