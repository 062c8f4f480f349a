// What the basic-information check reports, composed from the card and the rule outcome,
// and the list texts of every check. Pure text handling: the dialog only calls the
// driver, parses, applies the rules, calls ComposeBasicVerdict and shows what it gets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/CardData.h"
#include "app/FieldRules.h"

struct BasicVerdict {
    std::vector<std::string> listTexts;  // for AddToList, in this order
    std::string resultText;              // the log record's result line
    std::string detailText;              // the log record's details line
    bool liveChecksEnabled = false;      // buttons 1012 and 1013: card of the terminal's province
};

// The verdict, the notes and the province decision for a card whose fields were all read.
BasicVerdict ComposeBasicVerdict(const CardBasicInfo& card, const RuleOutcome& rules);

// List text when iReadCardBas returned a non-zero code with its error description.
std::string ReadBasicDriverErrorText(int code, std::string_view description);
// List text when the driver's output does not hold eleven fields.
std::string ReadBasicFieldErrorText();

// The two live checks through the driver.
enum class LiveCheck { PinReset, Debit };

// Shown while the driver collects the PIN; removed after the call returns.
const char* LiveCheckPrompt(LiveCheck check);
// The list text for the driver's answer: the success text for code 0, else the failure
// text with the code and the driver's description.
std::string LiveCheckResultText(LiveCheck check, int code, std::string_view description);
// The title line of the check's log record.
const char* LiveCheckLogTitle(LiveCheck check);
