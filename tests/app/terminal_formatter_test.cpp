#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <string>
#include <vector>

#include "app/terminal_line_formatter.h"
#include "app/terminal_log.h"

using F = VTixTerminalLineFormatter;
using Platform::MakeColor;

namespace {

const TColor kBlack = MakeColor(0, 0, 0);
const TColor kBlue = MakeColor(0, 0, 255);

std::vector<TTerminalPiece> format(const std::string& bytes, VTixTerminal_LineType type,
                                 VTixTerminal_LineType open = VTixTerminal_lt_NoType, int lastLen = 0,
                                 const std::string& stamp = "", int maxPerLine = 500)
{
    F::TAppend a;
    a.data = bytes.data();
    a.count = int(bytes.size());
    a.type = type;
    a.openType = open;
    a.lastLineLength = lastLen;
    a.timeStamp = stamp;
    a.maxCharsPerLine = maxPerLine;
    return F::Emit(a);
}

std::vector<std::string> splitLines(const std::string& s)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t p; (p = s.find("\r\n", start)) != std::string::npos; start = p + 2)
        lines.push_back(s.substr(start, p - start));
    lines.push_back(s.substr(start));
    return lines;
}

}  // namespace

TEST(TerminalFormatter, TableIsConsistent)
{
    for (int t = 0; t < VTixTerminal_LineTypeCount; ++t) {
        const VTixTerminal_LineTypeFormat& f = VTixTerminal_LineTypeFormats[t];
        EXPECT_EQ(int(std::strlen(f.prefix)), f.prefixLength) << "type " << t;
    }
    EXPECT_STREQ(VTixTerminal_LineTypeFormats[VTixTerminal_ltOutBin].prefix, " - #");
    EXPECT_EQ(VTixTerminal_LineTypeFormats[VTixTerminal_ltExtra].mainColor, MakeColor(128, 0, 128));
    EXPECT_EQ(VTixTerminal_LineTypeFormats[VTixTerminal_ltExtraR].mainColor, MakeColor(255, 0, 0));
    EXPECT_EQ(VTixTerminal_LineTypeFormats[VTixTerminal_ltExtraG].mainColor, MakeColor(0, 128, 0));
    EXPECT_EQ(VTixTerminal_LineTypeFormats[VTixTerminal_ltExtraB].mainColor, MakeColor(0, 0, 128));
    EXPECT_EQ(VTixTerminal_LineTypeFormats[VTixTerminal_ltExtraPlus].secondColor, MakeColor(128, 80, 32));
    EXPECT_EQ(VTixTerminal_LineTypeFormats[VTixTerminal_ltBinMinus].kind, VTixTerminal_lkHex);
    EXPECT_EQ(F::Normalize(15), VTixTerminal_lt_NoType);
    EXPECT_EQ(F::Normalize(-1), VTixTerminal_lt_NoType);
}

TEST(TerminalFormatter, OkLineEscapesCrLfInBlue)
{
    const auto p = format("OK\r\n", VTixTerminal_ltInLine);
    const std::vector<TTerminalPiece> want = {{"+ OK", kBlack}, {"<#0D><#0A>", kBlue}};
    EXPECT_EQ(p, want);
    // The same bytes as the program's own text: blue, escapes black.
    const auto q = format("OK\r\n", VTixTerminal_ltInText);
    const std::vector<TTerminalPiece> want2 = {{"+ OK", kBlue}, {"<#0D><#0A>", kBlack}};
    EXPECT_EQ(q, want2);
}

TEST(TerminalFormatter, TextKindEscapesEverythingOutside20To7F)
{
    const std::string bytes{'\x1F', ' ', '\x7F', '\x80', '\xFF', '\0'};
    EXPECT_EQ(F::Text(format(bytes, VTixTerminal_ltOutLine)), " - <#1F> \x7F<#80><#FF><#00>");
}

TEST(TerminalFormatter, SameTypeJoinsOtherTypeBreaksFirst)
{
    // Continuing the open line: no prefix, no break.
    EXPECT_EQ(F::Text(format("AB", VTixTerminal_ltInLine, VTixTerminal_ltInLine, 4)), "AB");
    // Another type ends the open line first.
    const auto p = format("AT", VTixTerminal_ltOutLine, VTixTerminal_ltInLine, 4);
    EXPECT_EQ(F::Text(p), "\r\n - AT");
    EXPECT_EQ(p.front().color, kBlack);
    // No line open: no break before the prefix.
    EXPECT_EQ(F::Text(format("AT", VTixTerminal_ltOutLine)), " - AT");
}

TEST(TerminalFormatter, NoTypeContinuesThePanesLastLine)
{
    EXPECT_EQ(F::Text(format("xy", VTixTerminal_lt_NoType, VTixTerminal_lt_NoType, 10)), "xy");
    // ... but as a new type after another line it gets its "? " prefix.
    EXPECT_EQ(F::Text(format("xy", VTixTerminal_lt_NoType, VTixTerminal_ltInLine, 10)), "\r\n? xy");
    EXPECT_TRUE(format("", VTixTerminal_ltInLine).empty());
}

TEST(TerminalFormatter, TimeStampStartsNewLinesOnly)
{
    EXPECT_EQ(F::Text(format("OK", VTixTerminal_ltInLine, VTixTerminal_lt_NoType, 0, "9:05:01.123")),
              "9:05:01.123: + OK");
    EXPECT_EQ(F::Text(format("OK", VTixTerminal_ltInLine, VTixTerminal_ltInLine, 5, "9:05:01.123")), "OK");
    // The stamp counts in the column: 11 + 2 + 2 + "O" = 16 > 15 wraps before "K".
    EXPECT_EQ(F::Text(format("OK", VTixTerminal_ltInLine, VTixTerminal_lt_NoType, 0, "9:05:01.123", 15)),
              "9:05:01.123: + O\r\nK");
}

TEST(TerminalFormatter, BinaryBlockOf1200BytesWraps)
{
    std::string block;
    for (int i = 0; i < 1200; ++i)
        block += char(i & 0xFF);
    const auto p = format(block, VTixTerminal_ltInBin);
    ASSERT_EQ(p.size(), 1u);  // one colour throughout
    EXPECT_EQ(p[0].color, kBlue);
    const std::vector<std::string> lines = splitLines(p[0].text);
    // "+ #" then 166 groups reach column 501; each continuation line takes
    // 167 groups (column 501): 166 + 6 * 167 + 32 = 1200.
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].substr(0, 9), "+ # 00 01");
    EXPECT_EQ(lines[0].size(), 3u + 166 * 3);
    for (size_t i = 1; i < 7; ++i) {
        EXPECT_EQ(lines[i].size(), 167u * 3) << i;
        EXPECT_EQ(lines[i][0], ' ') << "no prefix on continuation line " << i;
    }
    EXPECT_EQ(lines[7].size(), 32u * 3);
    EXPECT_EQ(lines[1].substr(0, 3), " A6");  // byte 166
    EXPECT_EQ(lines[7].substr(lines[7].size() - 3), " AF");  // byte 1199 = 0x4AF
}

TEST(TerminalFormatter, RawKindKeepsBytes)
{
    const auto p = format("a\tb\r\n", VTixTerminal_ltExtraG);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].text, "E a\tb\r\n");
    EXPECT_EQ(p[0].color, MakeColor(0, 128, 0));
}

TEST(TerminalFormatter, TrimsAboutATenthOfMaxLines)
{
    // 1101 lines of 10 characters each and its break.
    auto start = [](int i) { return int64_t(i) * 12; };
    const int64_t len = 1101 * 12 - 2;
    const F::TTrim t = F::Trim(1101, len, 20, 1100, 65535, start);
    EXPECT_EQ(t.lines, 111);
    EXPECT_EQ(t.chars, 111 * 12);
    // Within both limits nothing goes.
    EXPECT_EQ(F::Trim(1100, len, 20, 1100, 65535, start).lines, 0);
}

TEST(TerminalFormatter, TrimsByMaxCharsLineByLine)
{
    // 100 lines of 100 + 2 characters; room for 10,000.
    auto start = [](int i) { return int64_t(i) * 102; };
    const int64_t len = 100 * 102 - 2;
    // Over by 10198 + 50 - 10000 = 248: three lines (306 characters).
    const F::TTrim t = F::Trim(100, len, 50, 1100, 10000, start);
    EXPECT_EQ(t.lines, 3);
    EXPECT_EQ(t.chars, 306);
    // A single append larger than the limit takes everything, no more.
    const F::TTrim all = F::Trim(100, len, 20000, 1100, 10000, [&](int i) { return i >= 100 ? len : start(i); });
    EXPECT_EQ(all.lines, 100);
    EXPECT_EQ(all.chars, len);
}

TEST(TerminalLog, CutKeepsTheLastNineTenths)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = (dir.path() + "/term.log").toStdString();
    VTixTerminalLog log;
    ASSERT_TRUE(log.Open(path)) << log.LastError();
    // The separator is the first 4 bytes; fill to 1,000,050 with a pattern.
    std::string data;
    for (int i = 0; i < 1000050 - 4; ++i)
        data += char('a' + i % 26);
    ASSERT_TRUE(log.Append(data.data(), data.size() - 60, true, 1000000));
    EXPECT_EQ(QFile(QString::fromStdString(path)).size(), 999990);  // not yet over
    ASSERT_TRUE(log.Append(data.data() + data.size() - 60, 60, true, 1000000));
    log.Close();
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray content = f.readAll();
    ASSERT_EQ(content.size(), 900000);
    const std::string whole = "\r\n\r\n" + data;
    EXPECT_EQ(content.toStdString(), whole.substr(whole.size() - 900000));
}

TEST(TerminalLog, AppendsAfterExistingContentWithSeparator)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/t.log";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    VTixTerminalLog log;
    ASSERT_TRUE(log.Open(path.toStdString()));
    ASSERT_TRUE(log.Append("new", 3, true, 1000000));
    log.Close();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old\r\n\r\nnew"));
}

TEST(TerminalLog, RefusesWhatIsNoRegularFile)
{
    QTemporaryDir dir;
    VTixTerminalLog log;
    EXPECT_FALSE(log.Open(dir.path().toStdString()));  // a folder
    EXPECT_FALSE(log.IsOpen());
    EXPECT_FALSE(log.LastError().empty());
    EXPECT_FALSE(log.Open("/dev/null"));  // a device could block or swallow
    EXPECT_FALSE(log.Open((dir.path() + "/missing/dir/x.log").toStdString()));
    EXPECT_FALSE(log.Append("x", 1, true, 100));  // closed: nothing written, no crash
}
