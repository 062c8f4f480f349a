// The seven rules that decide whether a card's basic information allows it to be used
// outside its issuing province. Pure functions of the field texts: no platform header.
// Texts are GBK bytes; lengths count bytes; only the name rule decodes to UTF-16.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/CardData.h"

// Weights of the 17 digits of a citizen identity number (GB 11643, ISO 7064 MOD 11-2).
extern const int ID_WEIGHTS[17];
// Check character for each remainder 0..10 of the weighted sum.
extern const char ID_CHECK_CHARACTERS[11];
// ISO 3166-1 alpha-3 codes in ascending order (the 246 of the original list, ANT included,
// and BES, CUW, SSD and SXM, assigned since).
constexpr size_t COUNTRY_CODE_COUNT = 250;
extern const char* const COUNTRY_CODES[COUNTRY_CODE_COUNT];

// First line of failureText, before the messages of the failed rules.
extern const char FAILURE_HEADLINE[];

// True for the UTF-16 units the name rule accepts as Chinese characters.
bool IsChineseChar(wchar_t unit);
// True when every byte is an ASCII letter (so also for an empty text).
bool IsAllLetters(std::string_view text);
// The check of an 18-character citizen identity number; false for any other length.
bool CheckCitizenIdNumber(std::string_view text);
// Three-letter country code, then (from the sixth byte on) letters and digits only.
bool CheckSocialSecurityNumberRule(std::string_view text);
// -1 invalid, 0 valid, 1 valid but worth a note. Undecodable GBK counts as empty (0).
int CheckNameFormat(std::string_view name);
// True when every byte is a decimal digit or an upper-case letter A-G.
bool CheckResetInfo(std::string_view text);

// What one rule found.
enum class RuleVerdict { Pass, Failure, Note };

// A note's flag in the rule outcome.
enum class NoteKind { None, SocialSecurityNumber, SpecVersion, Name };

struct RuleFinding {
    RuleVerdict verdict = RuleVerdict::Pass;
    NoteKind note = NoteKind::None;   // set for RuleVerdict::Note
    const char* message = "";         // failure message, or a note's list form (both end in CR LF)
    const char* bracketed = "";       // the social security number note's bracketed form (no CR LF)
};

struct FieldRule {
    const char* field;                             // the field it judges, for reading and tests
    RuleFinding (*check)(const CardBasicInfo& card);
};

// In the order they are applied; each stops at its first failing test.
constexpr int FIELD_RULE_COUNT = 7;
extern const FieldRule FIELD_RULES[FIELD_RULE_COUNT];

// All rules applied to one card.
struct RuleOutcome {
    int failureCount = 0;
    std::string failureText;     // FAILURE_HEADLINE, then each failure's message in rule order
    bool ssnNote = false;
    std::string ssnNoteList;     // list form, ends in CR LF
    std::string ssnNoteBracketed;
    bool versionNote = false;
    bool nameNote = false;
};

RuleOutcome ApplyFieldRules(const CardBasicInfo& card);
