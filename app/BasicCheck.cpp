#include "app/BasicCheck.h"

namespace {
// "...状态码：[code] 错误描述：[description]" after the headline line.
std::string CodeAndDescription(const char* headline, int code, std::string_view description) {
    std::string text = headline;
    text += "\r\n状态码：[";
    text += std::to_string(code);
    text += "] 错误描述：[";
    text += description;
    text += "]";
    return text;
}

struct LiveCheckTexts {
    const char* prompt;
    const char* success;
    const char* failureHeadline;
    const char* logTitle;
};

const LiveCheckTexts& TextsOf(LiveCheck check) {
    static const LiveCheckTexts kPinReset = {"PIN重置检测需要输入两次密码！", "PIN重置检测通过！", "PIN重置检测失败！",
                                             "PIN重置检测结果："};
    static const LiveCheckTexts kDebit = {"消费交易检测需要输入一次密码！", "消费交易检测通过！", "消费交易检测失败！",
                                          "消费交易检测结果："};
    return check == LiveCheck::PinReset ? kPinReset : kDebit;
}
}  // namespace

BasicVerdict ComposeBasicVerdict(const CardBasicInfo& card, const RuleOutcome& rules) {
    BasicVerdict v;
    if (rules.failureCount > 0) {
        std::string failureText = rules.failureText;
        if (rules.ssnNote) failureText += rules.ssnNoteBracketed;
        v.resultText = "检测失败，此卡不能跨省使用！";
        v.detailText = failureText;
        v.listTexts.push_back(std::move(failureText));
    } else if (rules.ssnNote) {
        // The number's note stands in for the pass line and the other notes.
        v.listTexts.push_back(rules.ssnNoteList);
        v.resultText = rules.ssnNoteList;
    } else {
        v.resultText = "读基本信息检测通过！";
        v.listTexts.push_back(v.resultText);
        if (card.specVersion.empty()) {
            v.detailText = "卡规范版本为空，建议去卡窗口补全!";
            v.listTexts.push_back(v.detailText);
        }
        if (rules.versionNote) {
            std::string note = ProvinceCode(card.regionCode) == "15" ? "卡规范版本与卡结构不一致，建议去卡窗口处理!"
                                                                   : "卡规范版本不符合规范，建议去卡窗口处理!";
            v.resultText += note + "|";
            v.listTexts.push_back(std::move(note));
        }
        if (rules.nameNote) {
            std::string note = "姓名不符合规范，建议去卡窗口处理!";
            v.resultText += note + "|";
            v.listTexts.push_back(std::move(note));
        }
    }
    v.liveChecksEnabled = ProvinceCode(card.terminalNumber) == ProvinceCode(card.regionCode);
    if (!v.liveChecksEnabled) v.listTexts.push_back("异地卡片，不进行消费交易、PIN重置检测！");
    return v;
}

std::string ReadBasicDriverErrorText(int code, std::string_view description) {
    return CodeAndDescription("读基本信息检测失败！", code, description);
}

std::string ReadBasicFieldErrorText() { return "读基本信息检测失败！\r\n错误描述：[iReadBas函数返回数据有错！]"; }

const char* LiveCheckPrompt(LiveCheck check) { return TextsOf(check).prompt; }

std::string LiveCheckResultText(LiveCheck check, int code, std::string_view description) {
    const LiveCheckTexts& texts = TextsOf(check);
    return code == 0 ? std::string(texts.success) : CodeAndDescription(texts.failureHeadline, code, description);
}

const char* LiveCheckLogTitle(LiveCheck check) { return TextsOf(check).logTitle; }
