#include "app/FieldRules.h"

#include <algorithm>

#include "framework/GbkText.h"

const int ID_WEIGHTS[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
const char ID_CHECK_CHARACTERS[11] = {'1', '0', 'X', '9', '8', '7', '6', '5', '4', '3', '2'};

const char* const COUNTRY_CODES[COUNTRY_CODE_COUNT] = {
    "ABW", "AFG", "AGO", "AIA", "ALA", "ALB", "AND", "ANT", "ARE", "ARG", "ARM", "ASM", "ATA", "ATF",
    "ATG", "AUS", "AUT", "AZE", "BDI", "BEL", "BEN", "BES", "BFA", "BGD", "BGR", "BHR", "BHS", "BIH",
    "BLM", "BLR", "BLZ", "BMU", "BOL", "BRA", "BRB", "BRN", "BTN", "BVT", "BWA", "CAF", "CAN", "CCK",
    "CHE", "CHL", "CHN", "CIV", "CMR", "COD", "COG", "COK", "COL", "COM", "CPV", "CRI", "CUB", "CUW",
    "CXR", "CYM", "CYP", "CZE", "DEU", "DJI", "DMA", "DNK", "DOM", "DZA", "ECU", "EGY", "ERI", "ESH",
    "ESP", "EST", "ETH", "FIN", "FJI", "FLK", "FRA", "FRO", "FSM", "GAB", "GBR", "GEO", "GGY", "GHA",
    "GIB", "GIN", "GLP", "GMB", "GNB", "GNQ", "GRC", "GRD", "GRL", "GTM", "GUF", "GUM", "GUY", "HKG",
    "HMD", "HND", "HRV", "HTI", "HUN", "IDN", "IMN", "IND", "IOT", "IRL", "IRN", "IRQ", "ISL", "ISR",
    "ITA", "JAM", "JEY", "JOR", "JPN", "KAZ", "KEN", "KGZ", "KHM", "KIR", "KNA", "KOR", "KWT", "LAO",
    "LBN", "LBR", "LBY", "LCA", "LIE", "LKA", "LSO", "LTU", "LUX", "LVA", "MAC", "MAF", "MAR", "MCO",
    "MDA", "MDG", "MDV", "MEX", "MHL", "MKD", "MLI", "MLT", "MMR", "MNE", "MNG", "MNP", "MOZ", "MRT",
    "MSR", "MTQ", "MUS", "MWI", "MYS", "MYT", "NAM", "NCL", "NER", "NFK", "NGA", "NIC", "NIU", "NLD",
    "NOR", "NPL", "NRU", "NZL", "OMN", "PAK", "PAN", "PCN", "PER", "PHL", "PLW", "PNG", "POL", "PRI",
    "PRK", "PRT", "PRY", "PSE", "PYF", "QAT", "REU", "ROU", "RUS", "RWA", "SAU", "SDN", "SEN", "SGP",
    "SGS", "SHN", "SJM", "SLB", "SLE", "SLV", "SMR", "SOM", "SPM", "SRB", "SSD", "STP", "SUR", "SVK",
    "SVN", "SWE", "SWZ", "SXM", "SYC", "SYR", "TCA", "TCD", "TGO", "THA", "TJK", "TKL", "TKM", "TLS",
    "TON", "TTO", "TUN", "TUR", "TUV", "TWN", "TZA", "UGA", "UKR", "UMI", "URY", "USA", "UZB", "VAT",
    "VCT", "VEN", "VGB", "VIR", "VNM", "VUT", "WLF", "WSM", "YEM", "ZAF", "ZMB", "ZWE",
};

const char FAILURE_HEADLINE[] = "读基本信息检测失败，不能跨省使用！请去卡窗口处理！\r\n";

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigitUnit(wchar_t u) { return u >= L'0' && u <= L'9'; }
bool IsLetterUnit(wchar_t u) { return (u >= L'A' && u <= L'Z') || (u >= L'a' && u <= L'z'); }
constexpr wchar_t kIdeographicSpace = 0x3000;

bool AllBytes(std::string_view text, bool (*test)(char)) { return std::all_of(text.begin(), text.end(), test); }

RuleFinding Pass() { return {}; }
RuleFinding Failure(const char* message) { return {RuleVerdict::Failure, NoteKind::None, message, ""}; }
RuleFinding Note(NoteKind kind, const char* list = "", const char* bracketed = "") {
    return {RuleVerdict::Note, kind, list, bracketed};
}

RuleFinding RegionCodeRule(const CardBasicInfo& card) {
    const std::string& region = card.regionCode;
    if (region.empty()) return Failure("发卡地区行政区划代码为空。\r\n");
    if (region.size() != 6 || !AllBytes(region, IsDigit)) return Failure("发卡地区行政区划代码不是6位数字。\r\n");
    if (card.cardIdCode.size() < 6 || card.cardIdCode.compare(0, 6, region) != 0)
        return Failure("发卡地区行政区划代码与卡识别码前6位不一致。\r\n");
    return Pass();
}

RuleFinding SocialSecurityNumberRule(const CardBasicInfo& card) {
    const std::string& ssn = card.socialSecurityNumber;
    if (ssn.empty()) return Failure("社会保障号码为空。\r\n");
    if (IsDigit(ssn[0])) {
        if (ssn.size() != 18)
            return Note(NoteKind::SocialSecurityNumber, "社会保障号码不是18位。如可通过卡鉴权，此卡可跨省使用。\r\n",
                        "社会保障号码不是18位（如可通过卡鉴权，此卡可跨省使用）。");
        if (!CheckCitizenIdNumber(ssn))
            return Note(NoteKind::SocialSecurityNumber,
                        "社会保障号码不符合公民身份号码校验规则。如可通过卡鉴权，此卡可跨省使用。\r\n",
                        "社会保障号码不符合公民身份号码校验规则（如可通过卡鉴权，此卡可跨省使用）。");
        return Pass();
    }
    if (IsLetter(ssn[0]) && !CheckSocialSecurityNumberRule(ssn))
        return Failure("社会保障号码不符合社会保障号码校验规则。\r\n");
    return Pass();  // any other first byte is not examined
}

RuleFinding CardNumberRule(const CardBasicInfo& card) {
    const std::string& number = card.cardNumber;
    if (number.empty()) return Failure("卡号为空。\r\n");
    if (number.size() != 9) return Failure("卡号不是9位。\r\n");
    if (!IsDigit(number[0]) && !IsLetter(number[0])) return Failure("卡号格式不符合规范。\r\n");
    return Pass();
}

RuleFinding CardIdCodeRule(const CardBasicInfo& card) {
    const std::string& id = card.cardIdCode;
    if (id.empty()) return Failure("卡识别码为空。\r\n");
    if (id.size() != 32) return Failure("卡识别码不是32位。\r\n");
    if (id.compare(6, 10, "D156000005") != 0) return Failure("卡识别码应用标识符不符合规范。\r\n");
    return Pass();
}

RuleFinding NameRule(const CardBasicInfo& card) {
    if (card.name.empty()) return Failure("姓名为空。\r\n");
    switch (CheckNameFormat(card.name)) {
        case -1: return Failure("姓名格式不符合规范，此卡无法跨省使用。\r\n");
        case 1: return Note(NoteKind::Name);
        default: return Pass();
    }
}

RuleFinding ResetInfoRule(const CardBasicInfo& card) {
    const std::string& reset = card.resetInfo;
    if (reset.empty()) return Failure("卡复位信息（仅取历史字节）为空。\r\n");
    if (reset.size() != 26 || !CheckResetInfo(reset)) return Failure("卡复位信息（仅取历史字节）不是26位数字。\r\n");
    return Pass();
}

RuleFinding SpecVersionRule(const CardBasicInfo& card) {
    const std::string& version = card.specVersion;
    if (version.empty()) return Pass();  // reported as a note by the check when the card passes
    std::string_view province = ProvinceCode(card.regionCode);
    std::string_view major = std::string_view(version).substr(0, 3);  // fewer when shorter
    if (major == "1.0" || major == "2.0" || major == "3.0")
        return (province == "15" && major == "2.0") ? Note(NoteKind::SpecVersion) : Pass();
    const char* crossProvince = "规范版本不符合规范，此卡无法跨省使用。\r\n";
    if (province == "14" || province == "15" || province == "35")
        return version[0] == '2' ? Note(NoteKind::SpecVersion) : Failure(crossProvince);
    if (province == "33") return version[0] == '1' ? Note(NoteKind::SpecVersion) : Failure(crossProvince);
    return Failure("规范版本不符合规范。\r\n");
}
}  // namespace

const FieldRule FIELD_RULES[FIELD_RULE_COUNT] = {
    {"regionCode", RegionCodeRule}, {"socialSecurityNumber", SocialSecurityNumberRule},
    {"cardNumber", CardNumberRule}, {"cardIdCode", CardIdCodeRule},
    {"name", NameRule},             {"resetInfo", ResetInfoRule},
    {"specVersion", SpecVersionRule},
};

bool IsChineseChar(wchar_t unit) {
    static const wchar_t kSingles[] = {0x00B7, 0xF92C, 0xF979, 0xF995, 0xF9E7, 0xF9F1, 0xFA0C, 0xFA0D,
                                       0xFA0E, 0xFA0F, 0xFA11, 0xFA13, 0xFA14, 0xFA18, 0xFA1F, 0xFA20,
                                       0xFA21, 0xFA23, 0xFA24, 0xFA27, 0xFA28, 0xFA29};
    if ((unit >= 0x4E00 && unit <= 0x9FA5) || (unit >= 0xE815 && unit <= 0xE864)) return true;
    return std::find(std::begin(kSingles), std::end(kSingles), unit) != std::end(kSingles);
}

bool IsAllLetters(std::string_view text) { return AllBytes(text, IsLetter); }

bool CheckCitizenIdNumber(std::string_view text) {
    if (text.size() != 18) return false;
    std::string_view digits = text.substr(0, 17);
    if (!AllBytes(digits, IsDigit)) return false;
    char check = text[17];
    if (!IsDigit(check) && !(check >= 'A' && check <= 'Z')) return false;
    int sum = 0;
    for (size_t i = 0; i < 17; ++i) sum += (digits[i] - '0') * ID_WEIGHTS[i];
    return check == ID_CHECK_CHARACTERS[sum % 11];
}

bool CheckSocialSecurityNumberRule(std::string_view text) {
    if (text.size() <= 5) return false;
    std::string_view country = text.substr(0, 3);
    if (!IsAllLetters(country)) return false;
    // Exact, case-sensitive match in the sorted table.
    auto less = [](const char* code, std::string_view key) { return std::string_view(code, 3) < key; };
    const char* const* found = std::lower_bound(std::begin(COUNTRY_CODES), std::end(COUNTRY_CODES), country, less);
    if (found == std::end(COUNTRY_CODES) || std::string_view(*found, 3) != country) return false;
    // Bytes 4 and 5 are not examined.
    return AllBytes(text.substr(5), [](char c) { return IsDigit(c) || IsLetter(c); });
}

int CheckNameFormat(std::string_view name) {
    std::wstring units;
    if (!gbk::TryDecode(name, units) || units.empty()) return 0;
    if (IsLetterUnit(units[0])) {  // a Latin name
        for (wchar_t u : units)
            if (IsChineseChar(u) || IsDigitUnit(u) || u == kIdeographicSpace) return -1;
        return 0;
    }
    bool noted = false;
    for (wchar_t u : units) {
        if (IsChineseChar(u)) continue;
        if (IsLetterUnit(u) || IsDigitUnit(u) || u == L' ' || u == kIdeographicSpace) return -1;
        noted = true;  // "*", a full-width letter, a hyphen, ...: accepted, but worth a note
    }
    return noted ? 1 : 0;
}

bool CheckResetInfo(std::string_view text) {
    return AllBytes(text, [](char c) { return IsDigit(c) || (c >= 'A' && c <= 'G'); });
}

RuleOutcome ApplyFieldRules(const CardBasicInfo& card) {
    RuleOutcome outcome;
    outcome.failureText = FAILURE_HEADLINE;
    for (const FieldRule& rule : FIELD_RULES) {
        RuleFinding finding = rule.check(card);
        if (finding.verdict == RuleVerdict::Failure) {
            outcome.failureText += finding.message;
            ++outcome.failureCount;
        } else if (finding.verdict == RuleVerdict::Note) {
            switch (finding.note) {
                case NoteKind::SocialSecurityNumber:
                    outcome.ssnNote = true;
                    outcome.ssnNoteList = finding.message;
                    outcome.ssnNoteBracketed = finding.bracketed;
                    break;
                case NoteKind::SpecVersion: outcome.versionNote = true; break;
                case NoteKind::Name: outcome.nameNote = true; break;
                case NoteKind::None: break;
            }
        }
    }
    return outcome;
}
