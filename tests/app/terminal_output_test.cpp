#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <csignal>
#include <map>
#include <memory>
#include <sys/resource.h>

#include "app/terminal.h"
#include "tests/app/key_helpers.h"

namespace {

struct TerminalOutput : ::testing::Test {
    void SetUp() override
    {
        KeyHelpers::AppWithDevices();
        term = std::make_unique<VTixTerminal>();
        term->SetDocked(false);
        term->Loaded();
    }
    QPlainTextEdit* pane() { return term->Form()->findChild<QPlainTextEdit*>("VTixTerminal1_RichEdit"); }
    // The colour of every character of a line, as "b" black, "B" blue, "r" red, ...
    std::vector<std::pair<std::string, QColor>> runs(int line)
    {
        std::vector<std::pair<std::string, QColor>> out;
        term->Update();
        const QTextBlock b = pane()->document()->findBlockByNumber(line);
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it)
            out.emplace_back(it.fragment().text().toStdString(), it.fragment().charFormat().foreground().color());
        return out;
    }
    std::unique_ptr<VTixTerminal> term;
};

// A window whose pages are a General page and the docked terminal.
struct TDockedTerminal {
    QMainWindow owner;
    QTabWidget* pages = new QTabWidget(&owner);
    VTixTerminal t{&owner};
    TDockedTerminal()
    {
        pages->addTab(new QLabel("General page"), "General");
        owner.setCentralWidget(pages);
        owner.resize(640, 480);
        t.SetParentPageControl(pages);
    }
    // After the terminal's own settings: the window shows, the given page in front.
    void Show(int page)
    {
        t.SetVisible(true);
        t.Loaded();
        pages->setCurrentIndex(page);
        owner.show();
    }
};

}  // namespace

TEST_F(TerminalOutput, OkLineShowsPrefixTextAndBlueEscapes)
{
    term->addChars("OK\r\n", VTixTerminal_ltInLine);
    EXPECT_EQ(term->PaneText(), "+ OK<#0D><#0A>");
    const auto r = runs(0);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].first, "+ OK");
    EXPECT_EQ(r[0].second, QColor(0, 0, 0));
    EXPECT_EQ(r[1].first, "<#0D><#0A>");
    EXPECT_EQ(r[1].second, QColor(0, 0, 255));
    EXPECT_FALSE(term->startingNewLine());  // open until breakLine
    term->breakLine();
    EXPECT_TRUE(term->startingNewLine());
    EXPECT_EQ(term->PaneText(), "+ OK<#0D><#0A>\r\n");
}

TEST_F(TerminalOutput, LinesJoinByTypeAndBreakBetweenTypes)
{
    term->addChars("AT", VTixTerminal_ltOutLine);
    term->addChars("+CSQ", VTixTerminal_ltOutLine);
    term->addChars("+CSQ: 5,0", VTixTerminal_ltInLine);
    term->addLine("note", VTixTerminal_ltExtra);
    term->addLine("", VTixTerminal_ltExtra);  // nothing, and no line to close
    EXPECT_EQ(term->PaneText(), " - AT+CSQ\r\n+ +CSQ: 5,0\r\nE note\r\n");
    EXPECT_EQ(runs(2)[0].second, QColor(128, 0, 128));
}

TEST_F(TerminalOutput, NoTypeContinuesTheLastLineAndOpensNothing)
{
    term->addLine("OK", VTixTerminal_ltInLine);
    term->addChars("abc", VTixTerminal_lt_NoType);
    EXPECT_TRUE(term->startingNewLine());
    term->breakLine();  // adds nothing
    EXPECT_EQ(term->PaneText(), "+ OK\r\nabc");
}

TEST_F(TerminalOutput, IgnoreAddCharsStillClosesTheOpenLine)
{
    term->addChars("OK", VTixTerminal_ltInLine);
    term->SetIgnoreAddChars(true);
    term->addLine("AT", VTixTerminal_ltOutLine);
    EXPECT_EQ(term->PaneText(), "+ OK\r\n");
    EXPECT_TRUE(term->startingNewLine());
}

TEST_F(TerminalOutput, TimesStartEachNewLine)
{
    term->SetShowTimes(true);
    term->SetTimeStampSource([] { return std::string("10:11:12.345"); });
    term->addChars("O", VTixTerminal_ltInLine);
    term->addLine("K", VTixTerminal_ltInLine);
    EXPECT_EQ(term->PaneText(), "10:11:12.345: + OK\r\n");
    // The built-in clock: hours, minutes, seconds, milliseconds.
    term->SetTimeStampSource(nullptr);
    term->addLine("x", VTixTerminal_ltExtra);
    const std::string last = term->PaneText().substr(std::string("10:11:12.345: + OK\r\n").size());
    ASSERT_GE(last.size(), 12u);
    EXPECT_EQ(last.substr(last.size() - 7), ": E x\r\n") << last;
    EXPECT_NE(last.find('.'), std::string::npos) << last;
}

TEST_F(TerminalOutput, ElevenHundredAndOneLinesLoseOneHundredEleven)
{
    // 1100 closed lines and the empty one after them: 1101 lines.
    for (int i = 0; i < 1100; ++i)
        term->addLine("L" + std::to_string(i), VTixTerminal_ltInLine);
    term->Update();
    ASSERT_EQ(pane()->document()->blockCount(), 1101);
    term->addChars("y", VTixTerminal_ltInLine);
    term->Update();
    EXPECT_EQ(pane()->document()->blockCount(), 1101 - 111);
    EXPECT_EQ(pane()->document()->firstBlock().text(), "+ L111");
    EXPECT_EQ(pane()->document()->lastBlock().text(), "+ y");
}

TEST_F(TerminalOutput, MaxCharsCountsLineBreaksAsTwo)
{
    term->SetMaxChars(1000);
    for (int i = 0; i < 200; ++i) {
        term->addLine("0123456789", VTixTerminal_ltInLine);  // 12 characters and a break: 14
        const int64_t len = int64_t(term->PaneText().size());
        ASSERT_LE(len, 1000) << i;
    }
    // Trimmed line by line: nearly full all the time.
    EXPECT_GE(term->PaneText().size(), 1000u - 14);
    term->SetMaxChars(0);  // ignored
    EXPECT_EQ(term->GetMaxChars(), 1000);
}

TEST_F(TerminalOutput, PaneWithFocusKeepsTheUsersSelection)
{
    for (int i = 0; i < 50; ++i)
        term->addLine("line " + std::to_string(i), VTixTerminal_ltInLine);
    term->Update();
    term->Form()->show();
    QApplication::setActiveWindow(term->Form());
    pane()->setFocus();
    if (!pane()->hasFocus())
        GTEST_SKIP() << "the platform gives no focus";
    QTextCursor c(pane()->document()->findBlockByNumber(3));
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    pane()->setTextCursor(c);
    term->addLine("more", VTixTerminal_ltInLine);
    term->Update();
    EXPECT_EQ(pane()->textCursor().selectedText(), "+ line 3");
}

TEST_F(TerminalOutput, LogFileGetsWhatThePaneShows)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/term.log";
    term->SetLogFileName(path.toStdString());
    term->addLine("OK\r\n", VTixTerminal_ltInLine);
    term->addLine(std::string("\x01\x02", 2), VTixTerminal_ltOutBin);
    term->SetLogFileName("");  // closes it
    term->addLine("later", VTixTerminal_ltExtra);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\r\n\r\n+ OK<#0D><#0A>\r\n - # 01 02\r\n"));
}

TEST_F(TerminalOutput, LogThatCannotBeOpenedIsSwitchedOffWithARedLine)
{
    QTemporaryDir dir;
    term->SetLogFileName(dir.path().toStdString());  // a folder
    const std::string text = term->PaneText();
    EXPECT_EQ(text.rfind("E ", 0), 0u) << text;
    EXPECT_NE(text.find(dir.path().toStdString()), std::string::npos) << text;
    EXPECT_EQ(runs(0)[0].second, QColor(255, 0, 0));
    term->addLine("OK", VTixTerminal_ltInLine);  // the terminal goes on
    EXPECT_NE(term->PaneText().find("+ OK"), std::string::npos);
}

TEST_F(TerminalOutput, LogWriteFailureSwitchesLoggingOff)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/term.log";
    term->SetTextLookup([](const std::string& section, const std::string& key, const std::string&) {
        return section + "." + key + " %1";
    });
    term->SetLogFileName(path.toStdString());
    // Files may not grow past 64 bytes for a moment: writes fail with EFBIG.
    struct rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    term->addLine(std::string(100, 'x'), VTixTerminal_ltInLine);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    const std::string text = term->PaneText();
    EXPECT_NE(text.find("E Texts.TermLogFileOff " + path.toStdString()), std::string::npos) << text;
    term->addLine("after", VTixTerminal_ltInLine);
    QFile f(path);
    EXPECT_LE(f.size(), 64);  // nothing more was written
}

TEST_F(TerminalOutput, AppendsOfOnePassReachThePaneTogether)
{
    term->addLine("AT", VTixTerminal_ltOutLine);
    term->addChars("O", VTixTerminal_ltInLine);
    term->addChars("K", VTixTerminal_ltInLine);  // continues the waiting line
    EXPECT_EQ(pane()->document()->characterCount(), 1);  // nothing yet
    QCoreApplication::processEvents();  // the end of the pass
    EXPECT_EQ(pane()->toPlainText(), " - AT\n+ OK");
    // Large batches go in at once.
    for (int i = 0; i < 200; ++i)
        term->addLine("x", VTixTerminal_ltInLine);
    EXPECT_GT(pane()->document()->blockCount(), 100);
}

TEST_F(TerminalOutput, APaneBehindAnotherPageIsFilledWhenItShows)
{
    TDockedTerminal d;
    d.Show(0);
    QTabWidget* pages = d.pages;
    VTixTerminal& t = d.t;
    auto* edit = t.Form()->findChild<QPlainTextEdit*>("VTixTerminal1_RichEdit");
    ASSERT_TRUE(edit && !edit->isVisible());

    t.addLine("AT+CSQ\r", VTixTerminal_ltOutLine);
    t.addLine("+CSQ: 17,0\r\n", VTixTerminal_ltInLine);
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->document()->characterCount(), 1);  // waits while nobody sees it
    EXPECT_TRUE(t.startingNewLine());                   // the waiting lines still count

    pages->setCurrentIndex(1);
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->toPlainText(), " - AT+CSQ<#0D>\n+ +CSQ: 17,0<#0D><#0A>\n");

    // Hidden again: a long stream still goes in bounded batches, and a
    // reader of the text gets all of it.
    pages->setCurrentIndex(0);
    for (int i = 0; i < 200; ++i)
        t.addLine("x", VTixTerminal_ltInLine);
    EXPECT_GT(edit->document()->blockCount(), 100);
    t.addLine("last", VTixTerminal_ltInLine);
    EXPECT_NE(t.PaneText().find("+ last"), std::string::npos);
}

// New lines repaint only themselves: not the window behind the pane, not
// the lines already shown. What the window holds afterwards is what a
// fresh paint of it gives, so no line was left unpainted.
TEST_F(TerminalOutput, NewLinesRepaintOnlyThemselves)
{
    TDockedTerminal d;
    d.Show(1);
    VTixTerminal& t = d.t;
    for (int i = 0; i < 60; ++i)  // enough to scroll
        t.addLine("line " + std::to_string(i), VTixTerminal_ltInLine);

    struct TPaints : QObject {
        std::map<const QObject*, int> count;
        const QObject* viewport = nullptr;
        int tallest = 0;     // of the viewport's painted regions
        bool grabbing = false;  // a grab paints everything: not counted
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::Paint && !grabbing) {
                ++count[o];
                if (o == viewport)
                    tallest = std::max(tallest, static_cast<QPaintEvent*>(e)->region().boundingRect().height());
            }
            return false;
        }
    } paints;
    auto* edit = t.Form()->findChild<QPlainTextEdit*>("VTixTerminal1_RichEdit");
    paints.viewport = edit->viewport();
    // Flushes are spaced a little apart.
    auto settle = [] {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 100)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    auto shownIsFresh = [&d, &paints] {
        const QImage shown = d.owner.screen()->grabWindow(d.owner.winId()).toImage();
        paints.grabbing = true;
        const QImage fresh = d.owner.grab().toImage();
        paints.grabbing = false;
        return !shown.isNull() && shown.convertToFormat(QImage::Format_RGB32) == fresh.convertToFormat(QImage::Format_RGB32);
    };
    settle();
    ASSERT_TRUE(shownIsFresh());
    const int lineHeight = edit->fontMetrics().lineSpacing();
    ASSERT_GT(edit->viewport()->height(), 12 * lineHeight);

    qApp->installEventFilter(&paints);
    // A command, its answer, then several lines in one flush, a line
    // continued, and a flush of more lines than the view holds.
    t.addLine("AT+CSQ\r", VTixTerminal_ltOutLine);
    settle();
    t.addLine("+CSQ: 17,0\r\n", VTixTerminal_ltInLine);
    settle();
    EXPECT_TRUE(shownIsFresh());
    t.addLine("\r\nOK\r\n", VTixTerminal_ltInLine);
    t.addLine("AT+CREG?\r", VTixTerminal_ltOutLine);
    settle();
    t.addChars("+CREG: 0,1", VTixTerminal_ltInLine);
    settle();
    EXPECT_TRUE(shownIsFresh());
    EXPECT_GT(paints.count[edit->viewport()], 0);
    EXPECT_GT(paints.count[edit->verticalScrollBar()], 0);
    EXPECT_LE(paints.tallest, 6 * lineHeight) << "view " << edit->viewport()->height();
    for (const QObject* behind : {static_cast<const QObject*>(&d.owner), static_cast<const QObject*>(d.pages),
                                  static_cast<const QObject*>(t.Form())})
        EXPECT_EQ(paints.count[behind], 0) << behind->metaObject()->className();

    for (int i = 0; i < 40; ++i)
        t.addLine("more " + std::to_string(i), VTixTerminal_ltExtraB);
    settle();
    qApp->removeEventFilter(&paints);
    EXPECT_TRUE(shownIsFresh());
    EXPECT_EQ(paints.tallest, edit->viewport()->height());
}

TEST_F(TerminalOutput, ClearEmptiesAndClosesTheLine)
{
    term->addChars("OK", VTixTerminal_ltInLine);
    term->Clear();
    EXPECT_EQ(term->PaneText(), "");
    EXPECT_TRUE(term->startingNewLine());
    term->addChars("OK", VTixTerminal_ltInLine);
    EXPECT_EQ(term->PaneText(), "+ OK");
}

TEST_F(TerminalOutput, SavesPlainAndRichText)
{
    QTemporaryDir dir;
    term->addLine("OK\r\n", VTixTerminal_ltInLine);
    const std::string plain = (dir.path() + "/p.txt").toStdString();
    const std::string rich = (dir.path() + "/r.rtf").toStdString();
    ASSERT_TRUE(term->saveContentsToFile(plain, false));
    ASSERT_TRUE(term->saveContentsToFile(rich, true));
    QFile p(QString::fromStdString(plain)), r(QString::fromStdString(rich));
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    ASSERT_TRUE(r.open(QIODevice::ReadOnly));
    EXPECT_EQ(p.readAll(), QByteArray("+ OK<#0D><#0A>\r\n\r\n"));
    const QByteArray rtf = r.readAll();
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1250")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\red0\\green0\\blue255;")) << rtf.constData();
    EXPECT_FALSE(term->saveContentsToFile(dir.path().toStdString() + "/no/such/dir/x", false));
}

TEST_F(TerminalOutput, ScreenshotOfColouredLines)
{
    TDockedTerminal d;
    VTixTerminal& t = d.t;
    t.SetShowHexEdit(true);
    t.SetDebugWindowsVisible(true);
    t.SetModeItems({"AT", "Data"});
    d.Show(1);
    t.addLine("AT+CSQ\r", VTixTerminal_ltOutLine);
    t.addLine("AT+CSQ\r\r\n", VTixTerminal_ltInLine);
    t.addLine("+CSQ: 17,0\r\n", VTixTerminal_ltInLine);
    t.addLine("OK\r\n", VTixTerminal_ltInLine);
    t.addLine(std::string("\x81\x00\xB0\xA0\x01\x32", 6), VTixTerminal_ltOutBin);
    t.addLine(std::string("\x80\x02\xB0\xA0\x02\x41\x42\x38", 8), VTixTerminal_ltInBin);
    t.addLine("OnRequestHangup", VTixTerminal_ltExtra);
    t.addLine("Port closed", VTixTerminal_ltExtraR);
    t.addLine("Connected", VTixTerminal_ltExtraG);
    t.addLine("Info", VTixTerminal_ltExtraB);
    t.addLine("program text", VTixTerminal_ltExtraPlus);
    t.addLine(std::string("\x05\x06", 2), VTixTerminal_ltBinMinus);
    t.addLine("unknown", VTixTerminal_lt_NoType);
    auto* line = t.Form()->findChild<QLineEdit*>("VTixTerminal1_ManualLine");
    line->setText("AT+CCLK?");
    t.Update();
    QCoreApplication::processEvents();
    const QImage shot = d.owner.grab().toImage();
    const QString file = QStringLiteral(ZELVITOR_TEST_BUILD_DIR) + "/terminal_screenshot.png";
    ASSERT_TRUE(shot.save(file)) << file.toStdString();
    // Some red text of the error line made it onto the picture.
    bool red = false;
    for (int y = 0; y < shot.height() && !red; ++y)
        for (int x = 0; x < shot.width() && !red; ++x) {
            const QColor c = shot.pixelColor(x, y);
            red = c.red() > 200 && c.green() < 60 && c.blue() < 60;
        }
    EXPECT_TRUE(red);
}
