// The simulated reader's settings as the reader reads them: comments after values and
// headers, every mistake named with its line, the examples of its README and the sample
// file that the build puts beside the DLL.
#include "sim/SimConfig.h"

#include <gtest/gtest.h>

#include <functional>

#include "framework/GbkText.h"
#include "tests/driver/TestSupport.h"

namespace {
std::wstring BesideThisProgram(const std::wstring& name) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self(path, n);
    return self.substr(0, self.find_last_of(L'\\') + 1) + name;
}

std::string Problem(const sim::Config& config) {
    return config.error ? std::to_string(config.error->line) + ": " + config.error->problem : "";
}
}  // namespace

// Comments after values and section headers are no part of them; quotes keep what they hold.
TEST(SimIniForm, CommentsAndQuotes) {
    sim::IniFile ini = sim::IniFile::Parse(
        "# a comment line\r\n"
        "[reader]           ; the reader\r\n"
        "pin=123456;no blank before it: no comment\r\n"
        "device =           ; nothing\r\n"
        "terminal = \"  41 ; 01 # x \"   ; quoted: kept whole\r\n"
        "\t[ Unattended ]\t# tabs too\r\n"
        "reset=1111 , 2222\t;x\n");
    EXPECT_TRUE(ini.Problems().empty());
    EXPECT_EQ(ini.Get("reader", "pin"), "123456;no blank before it: no comment");
    EXPECT_EQ(ini.Find("reader", "device").value_or("<none>"), "");
    EXPECT_EQ(ini.Get("reader", "terminal"), "  41 ; 01 # x ");
    EXPECT_EQ(ini.Get("UNATTENDED", "Reset"), "1111 , 2222");
    EXPECT_EQ(ini.LineOf("unattended", "reset"), 7);
    EXPECT_EQ(ini.Sections().size(), 2u);  // nothing landed in a section of its own
}

// Each mistake answers with its line and what is wrong; the first line's wins. (The INI
// texts are UTF-8, as the file is; the problems GBK, as the reader says them.)
TEST(SimConfigMistakes, NamedWithLineAndProblem) {
    struct Case {
        std::string text;
        std::string expected;  // "line: problem"
    } cases[] = {
        {"[reader]\ncard = hom", "2: 没有名为“hom”的卡，也没有 [card.hom] 节"},
        {"[reader]\nmode = auto   ; typed in a hurry", "2: 未知的模式“auto”，可用 interactive、unattended、scripted"},
        {"[reader]\ntries = 0", "2: 应为正整数：“0”"},
        {"[reader]\npinTimeout = 1O", "2: 应为正整数：“1O”"},
        {"[reader]\npin = 123", "2: PIN应为4到12位数字：“123”"},
        {"[reader]\npin = 1234567890123", "2: PIN应为4到12位数字：“1234567890123”"},
        {"[reader]\n\npinn = 1234", "3: 节 [reader] 中没有设置“pinn”"},
        {"[Raeder]\ncard = home", "1: 未知的节 [Raeder]"},
        {"card = home\n[reader]", "1: 设置“card”不在任何节中"},
        {"[reader]\ncard home", "2: 无法识别的行，应为 [节] 或 名称 = 值"},
        {"[reader]\n= home", "2: 等号前缺少名称"},
        {"[reader\ncard = home", "1: 节的名称应写在 [ ] 中"},
        {"[reader]\nrecord = \"C:\\a b ; x", "2: 引号没有结束"},
        {"[reader]\ndevice = \"x\" y", "2: 引号后面还有别的内容"},
        {"[unattended]\nreset = 1111, 12", "2: PIN应为4到12位数字，或 cancel、timeout：“12”"},
        {"[card.x]\ninterface = usb", "2: 未知的接口“usb”，可用 contact、contactless、dual"},
        {"[card.x]\nerror = -4x", "2: 应为整数：“-4x”"},
        {"[card.x]\nbase = hom", "2: 没有名为“hom”的内置卡"},
        {u8"[card.x]\nnmae = 王", "2: 节 [card.x] 中没有设置“nmae”"},
        {"[script]\niReadCardBas.code = 0x1G", "2: 应为整数：“0x1G”"},
        {"[script]\niReadCardBas.code = 2147483648", "2: 应为整数：“2147483648”"},
        {"[script]\niReloadPIN.length = 301", "2: 长度应为 buffer 或 0 到 300 的整数：“301”"},
        {"[script]\niDoDebit.pad = 4G", "2: 填充字节应为一到两位十六进制数：“4G”"},
        {"[script]\niDoDebit.nul = nein", "2: 未知的取值“nein”，可用 yes、no"},
        {"[script]\niReadCard.code = 0", "2: 节 [script] 中没有设置“iReadCard.code”"},
        // No mistake: names in any case, hex numbers, escapes, a base card in capitals.
        {"\xEF\xBB\xBF[Reader]\nMODE = Scripted\ncard = Mine\ntries = 0x10\n[unattended]\ndebit = \\x31234, cancel\n"
         "[CARD.mine]\nbase = OTHER\ninterface = CONTACT\n[script]\niDoDebit.length = buffer\niDoDebit.pad = 5a\n",
         ""},
        // Checked in another order than written: still the first line's.
        {"[reader]\ncard = nobody\nmode = auto", "2: 没有名为“nobody”的卡，也没有 [card.nobody] 节"},
        {"[reader]\nmode = auto\n" + std::string(60, 'x'), "2: 未知的模式“auto”，可用 interactive、unattended、scripted"},
        {"[reader]\ncard = " + std::string(60, 'y'), "2: 没有名为“" + std::string(36, 'y') + "…”的卡，也没有 [card." + std::string(60, 'y') + "] 节"},
    };
    for (const Case& c : cases) EXPECT_EQ(Problem(sim::ParseConfig(c.text, L"C:\\x.ini")), c.expected) << c.text;
}

// What the tool shows: the file's name, the line and the problem first, then the full
// path, within the driver's buffer and cut at a whole GBK character.
TEST(SimConfigMistakes, ErrorTextFitsTheBuffer) {
    sim::Config config = sim::ParseConfig(u8"[reader]\n\n\ncard = 王", L"C:\\设置\\SSCardDriver.ini");
    EXPECT_EQ(sim::ConfigErrorText(config, 299),
              "模拟读卡器配置有误：SSCardDriver.ini 第4行：没有名为“王”的卡，也没有 [card.王] 节（C:\\设置\\SSCardDriver.ini）");
    std::wstring deep = L"C:\\" + std::wstring(200, L'\u738B') + L"\\SSCardDriver.ini";
    sim::Config inDeepFolder = sim::ParseConfig("[reader]\ncard = x", deep);
    for (size_t limit : {299u, 100u, 61u}) {
        std::string text = sim::ConfigErrorText(inDeepFolder, limit);
        EXPECT_LE(text.size(), limit);
        EXPECT_GE(text.size(), limit - 1);  // cut only to keep a character whole
        std::wstring decoded;
        EXPECT_TRUE(gbk::TryDecode(text, decoded)) << limit;
        EXPECT_EQ(text.substr(0, 40), "模拟读卡器配置有误：SSCardDriver.ini 第2");
    }
    EXPECT_EQ(sim::ConfigErrorText(sim::ParseConfig("", deep), 299), "");
}

namespace {
// The ```ini blocks of a Markdown text, in order.
std::vector<std::string> IniBlocks(const std::string& markdown) {
    std::vector<std::string> blocks;
    const std::string open = "```ini\n", close = "\n```";
    for (size_t at = markdown.find(open); at != std::string::npos; at = markdown.find(open, at)) {
        size_t start = at + open.size(), end = markdown.find(close, start);
        if (end == std::string::npos) break;
        blocks.push_back(markdown.substr(start, end - start + 1));
        at = end + close.size();
    }
    return blocks;
}

}  // namespace

// Every INI example of the reader's README, copied as it is, is read as the text says: the
// cards, PINs, answers and scripted output it describes, and no mistake.
TEST(SimReadme, EveryExampleWorksAsWritten) {
    std::string readme;
    ASSERT_TRUE(ReadFileBytes(BesideThisProgram(L"sim-README.md"), readme));
    std::vector<std::string> blocks = IniBlocks(readme);
    const std::function<void(const sim::Config&)> expectations[] = {
        [](const sim::Config& c) {  // the reader's settings
            EXPECT_EQ(c.mode, sim::Mode::Interactive);
            EXPECT_EQ(c.card.fields[2], "B41000001");  // home
            EXPECT_EQ(c.card.fields[9], "410100813475");
            EXPECT_EQ(c.card.fields[10], "");
            EXPECT_EQ(c.pin, "123456");
            EXPECT_EQ(c.pinTimeoutSeconds, 60);
            EXPECT_EQ(c.recordPath, L"C:\\temp\\calls.txt");
            EXPECT_EQ(c.resetAnswers, (std::vector<std::string>{"111111", "111111"}));
            EXPECT_EQ(c.debitAnswers, std::vector<std::string>{"123456"});
        },
        [](const sim::Config& c) {  // scripted output
            EXPECT_EQ(c.mode, sim::Mode::Scripted);
            const sim::ScriptedAnswer& read = c.script.at("iReadCardBas");
            EXPECT_EQ(read.out, "639900|\xAB\x7C|");
            EXPECT_TRUE(read.wholeBuffer);
            EXPECT_EQ(read.pad, 'A');
            EXPECT_FALSE(read.nul);
            EXPECT_EQ(read.hook, "SeeCall");
        },
        [](const sim::Config& c) {  // a card of one's own, in the reader
            EXPECT_EQ(c.card.name, "mine");
            EXPECT_EQ(c.card.fields[0], "410100");  // from home
            EXPECT_EQ(c.card.fields[2], "X00000019");
            EXPECT_EQ(c.card.fields[4], "王珅");
            EXPECT_EQ(c.card.iface, sim::Interface::Contact);
        },
    };
    ASSERT_EQ(blocks.size(), std::size(expectations)) << "an example without expectations here";
    for (size_t i = 0; i < blocks.size(); ++i) {
        SCOPED_TRACE(blocks[i]);
        TempDir dir;
        WriteFileBytes(dir / L"SSCardDriver.ini", blocks[i]);
        ScopedEnv env(L"SSCARDDRIVER_INI", dir / L"SSCardDriver.ini");
        sim::Config config = sim::LoadConfig();  // as the reader reads it at every call
        EXPECT_EQ(Problem(config), "");
        expectations[i](config);
    }
}

// The sample beside the DLL: no mistake, and the defaults.
TEST(SimReadme, SampleSettingsFile) {
    std::string sample;
    ASSERT_TRUE(ReadFileBytes(BesideThisProgram(L"sample-SSCardDriver.ini"), sample));
    sim::Config config = sim::ParseConfig(sample, L"SSCardDriver.ini");
    EXPECT_EQ(Problem(config), "");
    EXPECT_EQ(config.mode, sim::Mode::Interactive);
    EXPECT_EQ(config.card.name, "home");
    EXPECT_EQ(config.card.fields[9], "410100813475");
    EXPECT_EQ(config.pin, "123456");
    EXPECT_TRUE(config.recordPath.empty());
    EXPECT_EQ(config.resetAnswers, (std::vector<std::string>{"111111", "111111"}));
    EXPECT_EQ(config.debitAnswers, std::vector<std::string>{"123456"});

    // The everyday settings come before the test machinery, which is all comment.
    sim::IniFile ini = sim::IniFile::Parse(sample);
    int machinery = 1 + static_cast<int>(std::count(sample.begin(), sample.begin() + sample.find("Test machinery"), '\n'));
    EXPECT_LT(ini.LineOf("reader", "card"), ini.LineOf("reader", "mode"));
    EXPECT_LT(ini.LineOf("unattended", "debit"), machinery);
    EXPECT_EQ(ini.Sections().size(), 2u);
}
