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
        "; a comment line\r\n"
        "# another\r\n"
        "[reader]           ; the reader\r\n"
        "card = home        ; the card\r\n"
        "pin=123456;not a comment: no blank before it\r\n"
        "device =           ; nothing\r\n"
        "terminal = \"  41 ; 01 # x \"   ; quoted: kept whole\r\n"
        "record = C:\\a#b\\c.txt\r\n"
        "\t[ Unattended ]\t# tabs too\r\n"
        "reset=1111 , 2222\t;x\n");
    EXPECT_TRUE(ini.Problems().empty());
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        int line;
    } cases[] = {
        {"reader", "card", "home", 4},
        {"reader", "pin", "123456;not a comment: no blank before it", 5},
        {"reader", "device", "", 6},
        {"reader", "terminal", "  41 ; 01 # x ", 7},
        {"reader", "record", "C:\\a#b\\c.txt", 8},
        {"UNATTENDED", "Reset", "1111 , 2222", 10},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.Find(c.section, c.key).value_or("<none>"), c.value) << c.key;
        EXPECT_EQ(ini.LineOf(c.section, c.key), c.line) << c.key;
    }
    EXPECT_EQ(ini.Sections().size(), 2u);  // nothing landed in a section of its own
    EXPECT_FALSE(ini.Find("reader", "reset"));
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
        // Checked in another order than written: still the first line's.
        {"[reader]\ncard = nobody\nmode = auto", "2: 没有名为“nobody”的卡，也没有 [card.nobody] 节"},
        {"[reader]\nmode = auto\n" + std::string(60, 'x'), "2: 未知的模式“auto”，可用 interactive、unattended、scripted"},
        {"[reader]\ncard = " + std::string(60, 'y'), "2: 没有名为“" + std::string(36, 'y') + "…”的卡，也没有 [card." + std::string(60, 'y') + "] 节"},
    };
    for (const Case& c : cases) EXPECT_EQ(Problem(sim::ParseConfig(c.text, L"C:\\x.ini")), c.expected) << c.text;
}

// A file without a mistake: what it says, and the defaults where it says nothing.
TEST(SimConfigMistakes, NoneInAGoodFile) {
    sim::Config none = sim::ParseConfig("", L"C:\\x.ini");
    EXPECT_EQ(Problem(none), "");
    EXPECT_EQ(none.mode, sim::Mode::Interactive);
    EXPECT_EQ(none.card.name, "home");
    EXPECT_EQ(none.pin, "123456");
    EXPECT_EQ(none.pinTries, 3);
    EXPECT_EQ(none.pinTimeoutSeconds, 60);

    sim::Config full = sim::ParseConfig(
        u8"\xEF\xBB\xBF[reader]\nmode = Unattended\ncard = Mine\npin = 1234\ntries = 5\npinTimeout = 0x10\n"
        "[unattended]\nreset = 123456789012, cancel , timeout\ndebit = \\x31\\x32\\x33\\x34\n"
        "[card.mine]\nbase = OTHER\nname = 王珅\ninterface = CONTACT\nerror = 0\n"
        "[script]\niDoDebit.code = -0x10\niDoDebit.length = buffer\niDoDebit.pad = 5a\niDoDebit.nul = NO\n",
        L"C:\\x.ini");
    EXPECT_EQ(Problem(full), "");
    EXPECT_EQ(full.mode, sim::Mode::Unattended);
    EXPECT_EQ(full.card.fields[0], "639900");
    EXPECT_EQ(full.card.fields[4], "王珅");
    EXPECT_EQ(full.card.iface, sim::Interface::Contact);
    EXPECT_EQ(full.pin, "1234");
    EXPECT_EQ(full.pinTries, 5);
    EXPECT_EQ(full.pinTimeoutSeconds, 16);
    EXPECT_EQ(full.resetAnswers, (std::vector<std::string>{"123456789012", "cancel", "timeout"}));
    EXPECT_EQ(full.debitAnswers, std::vector<std::string>{"1234"});
    const sim::ScriptedAnswer& debit = full.script.at("iDoDebit");
    EXPECT_EQ(debit.code, -16);
    EXPECT_TRUE(debit.wholeBuffer);
    EXPECT_EQ(debit.pad, 'Z');
    EXPECT_FALSE(debit.nul);
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

// The reader's three entry points, from the DLL beside this program.
class Reader {
public:
    Reader() : dll_(LoadLibraryW(BesideThisProgram(L"SSCardDriver.dll").c_str())) {}
    ~Reader() {
        if (dll_) FreeLibrary(dll_);
    }
    bool Loaded() const { return dll_ != nullptr; }
    int ReadCardBas(int iType, std::vector<char>& out) {
        out.assign(20480, '\0');
        using Fn = int(__stdcall*)(int, char*);
        auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll_, "iReadCardBas")));
        return fn ? fn(iType, out.data()) : -100000;
    }

private:
    HMODULE dll_;
};

const std::string kHomeId = "410100D156000005004F2A3C1D8E9B70";
}  // namespace

// Every INI example of the reader's README, copied as it is, works: the reader reads the
// cards, PINs and answers the text says, and answers as it says.
TEST(SimReadme, EveryExampleWorksAsWritten) {
    std::string readme;
    ASSERT_TRUE(ReadFileBytes(BesideThisProgram(L"sim-README.md"), readme));
    std::vector<std::string> blocks = IniBlocks(readme);
    Reader reader;
    ASSERT_TRUE(reader.Loaded());
    std::vector<char> out;
    const std::function<void(const sim::Config&)> expectations[] = {
        // The settings of the reader.
        [&](const sim::Config& c) {
            EXPECT_EQ(c.mode, sim::Mode::Interactive);
            EXPECT_EQ(c.card.name, "home");
            EXPECT_EQ(c.card.fields[2], "B41000001");
            EXPECT_EQ(c.card.fields[9], "410100813475");
            EXPECT_EQ(c.card.fields[10], "");
            EXPECT_EQ(c.pin, "123456");
            EXPECT_EQ(c.pinTries, 3);
            EXPECT_EQ(c.pinTimeoutSeconds, 60);
            EXPECT_EQ(c.recordPath, L"C:\\temp\\calls.txt");
            EXPECT_EQ(c.resetAnswers, (std::vector<std::string>{"111111", "111111"}));
            EXPECT_EQ(c.debitAnswers, std::vector<std::string>{"123456"});
        },
        // Scripted output.
        [&](const sim::Config& c) {
            EXPECT_EQ(c.mode, sim::Mode::Scripted);
            const sim::ScriptedAnswer& read = c.script.at("iReadCardBas");
            EXPECT_EQ(read.out, "639900|\xAB\x7C|");
            EXPECT_EQ(read.hook, "SeeCall");
            EXPECT_EQ(reader.ReadCardBas(3, out), 0);
            std::string expected = "639900|\xAB\x7C|" + std::string(20480 - 10, 'A');  // no zero at the end
            EXPECT_EQ(std::string(out.begin(), out.end()), expected);
        },
        // A card of one's own, in the reader.
        [&](const sim::Config& c) {
            EXPECT_EQ(c.card.name, "mine");
            EXPECT_EQ(c.card.iface, sim::Interface::Contact);
            EXPECT_EQ(reader.ReadCardBas(3, out), 0);
            EXPECT_EQ(std::string(out.data()), "410100|410102198001010018|X00000019|" + kHomeId +
                                                   "|王珅|00814E43238697159900BF7C7A|3.00|20200101|20300101|410100813475||");
            EXPECT_EQ(reader.ReadCardBas(2, out), -2);  // contact only
            EXPECT_EQ(std::string(out.data()), "无卡");
        },
    };
    ASSERT_EQ(blocks.size(), std::size(expectations)) << "an example without expectations here";
    for (size_t i = 0; i < blocks.size(); ++i) {
        SCOPED_TRACE(blocks[i]);
        TempDir dir;
        WriteFileBytes(dir / L"SSCardDriver.ini", blocks[i]);
        ScopedEnv env(L"SSCARDDRIVER_INI", dir / L"SSCardDriver.ini");
        sim::Config config = sim::LoadConfig();
        EXPECT_EQ(Problem(config), "");
        expectations[i](config);
    }
}

// The sample beside the DLL: the everyday settings first, each with its default, and no
// mistake; the test machinery after them is all comment.
TEST(SimReadme, SampleSettingsFile) {
    std::string sample;
    ASSERT_TRUE(ReadFileBytes(BesideThisProgram(L"sample-SSCardDriver.ini"), sample));
    sim::Config config = sim::ParseConfig(sample, L"SSCardDriver.ini");
    EXPECT_EQ(Problem(config), "");
    EXPECT_EQ(config.mode, sim::Mode::Interactive);
    EXPECT_EQ(config.card.name, "home");
    EXPECT_EQ(config.card.fields[9], "410100813475");
    EXPECT_EQ(config.pin, "123456");
    EXPECT_EQ(config.pinTries, 3);
    EXPECT_EQ(config.pinTimeoutSeconds, 60);
    EXPECT_TRUE(config.recordPath.empty());
    EXPECT_EQ(config.resetAnswers, (std::vector<std::string>{"111111", "111111"}));
    EXPECT_EQ(config.debitAnswers, std::vector<std::string>{"123456"});

    sim::IniFile ini = sim::IniFile::Parse(sample);
    std::vector<int> everyday;
    for (const char* key : {"card", "terminal", "pin", "mode"}) everyday.push_back(ini.LineOf("reader", key));
    EXPECT_TRUE(std::is_sorted(everyday.begin(), everyday.end()));
    EXPECT_GT(everyday.front(), 0);
    EXPECT_LT(ini.LineOf("reader", "mode"), ini.LineOf("reader", "tries"));
    int machinery = 1;
    for (size_t at = 0; at < sample.find("Test machinery"); ++at) machinery += sample[at] == '\n';
    EXPECT_LT(ini.LineOf("unattended", "debit"), machinery);
    EXPECT_EQ(ini.Sections().size(), 2u);  // [reader] and [unattended]: the rest is comment
}
