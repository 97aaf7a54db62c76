// The calls page: its rows as the call handler shows them, the call
// buttons and the outgoing-call group on the simulated device, the call
// type of the configuration, and the hidden test controls that feed the
// receive path, up to an identity answer on a data call.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "app/radio_group.h"
#include "engine/perif_calls.h"
#include "engine/perif_protikus.h"
#include "engine/uniset.h"
#include "platform/ini_file.h"
#include "tests/app/main_window_fixture.h"
#include "tests/modemsim/pty_client.h"
#include "translation/tixlanguage.h"
#include "widgets/image.h"

using namespace MainWindowTest;
using Platform::FromQString;

namespace {

struct CallsPage : TMainWindowFixture {
    VPerifCalls& calls() { return w().uniset->getHandlers().calls(); }
    std::string RowNumber(int i) { return FromQString(w().callRows[size_t(i)].labelNumber->text()); }
    std::string RowState(int i) { return FromQString(w().callRows[size_t(i)].labelState->text()); }
    void TearDown() override
    {
        peer.Close();
        if (other)
            other->Stop();
        TMainWindowFixture::TearDown();
    }
    std::unique_ptr<ModemSim::TModemSim> other;
    ModemSim::TPtyClient peer;
};

}  // namespace

TEST_F(CallsPage, RowsButtonsAndTestControlsWithoutADevice)
{
    Make(false);
    w().createEngine();
    // Eight rows at their places, undetermined.
    for (int i = 0; i < 8; ++i) {
        const TFormMain::TCallRowControls& row = w().callRows[size_t(i)];
        ASSERT_NE(row.labelIndex, nullptr);
        EXPECT_EQ(FromQString(row.labelIndex->text()), i == 0 ? "?" : std::to_string(i));
        EXPECT_EQ(row.labelIndex->parentWidget(), w().SheetCalls);
        const QWidget* controls[5] = {row.labelIndex, row.imageState, row.imageType, row.labelNumber, row.labelState};
        const int left[5] = {8, 24, 48, 72, 232}, width[5] = {16, 16, 16, 152, 152};
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(controls[c]->geometry(), QRect(left[c], 20 * i + 4, width[c], 16)) << i << " " << c;
        EXPECT_EQ(row.imageState->ImageIndex(), 0);
        EXPECT_EQ(row.imageType->ImageIndex(), 0);
    }
    // Design states.
    EXPECT_FALSE(w().BtnATA->isEnabled());
    EXPECT_FALSE(w().BtnATH->isEnabled());
    EXPECT_FALSE(w().LabelLabTheOther->isVisibleTo(w().SheetCalls));
    EXPECT_EQ(w().RGroupCallType->ItemIndex(), 0);
    EXPECT_EQ(FromQString(w().RGroupCallType->Button(0)->text()), "hlas");
    EXPECT_EQ(FromQString(w().Edit1->text()), "00 12 01 01 50 00 01 FF 02 00");
    for (QWidget* hidden : {static_cast<QWidget*>(w().Edit1), static_cast<QWidget*>(w().Button1),
                            static_cast<QWidget*>(w().Button3), static_cast<QWidget*>(w().BtnCHUP)})
        EXPECT_FALSE(hidden->isVisibleTo(w().SheetCalls)) << hidden->objectName().toStdString();

    // Nothing rings, the port is closed: the buttons do nothing.
    w().Edit1->setText(QStringLiteral("AT+CPAS"));
    w().Button2Click();
    w().Edit1->setText(QStringLiteral("+CPAS: 0"));
    w().Button1Click();
    ASSERT_EQ(calls().row(7).state, 0) << "the activity was read";
    w().BtnATAClick();
    EXPECT_FALSE(calls().isAnswerPending());
    calls().row(2).setState(3);
    w().BtnATHClick();
    EXPECT_FALSE(calls().row(2).hangupMark);
    w().BtnCHUPClick();
    EXPECT_EQ(w().uniset->getTxBuffer().view(), "");
    calls().row(2).setState(0);

    // Button3: nothing for an empty or non-hex text; one byte makes a frame.
    for (const char* text : {"", "zz 12", " "}) {
        w().Edit1->setText(QString::fromLatin1(text));
        w().Button3Click();
        EXPECT_TRUE(w().uniset->getRxBuffer().isEmpty()) << text;
    }
    w().Edit1->setText(QStringLiteral("12"));
    w().Button3Click();
    // (The command mode drops the NUL.)
    EXPECT_EQ(w().uniset->getRxBuffer().view(), "\x80\xA0\xB0\x12\xE3");
    w().uniset->getRxBuffer().clear();

    // Button1: a RING as if received; the row rings, the answer button takes it.
    w().Edit1->setText(QStringLiteral("RING"));
    w().Button1Click();
    EXPECT_EQ(calls().row(0).state, 6);
    EXPECT_TRUE(w().ringing);
    EXPECT_EQ(w().flashCount, 5);
    EXPECT_TRUE(w().BtnATA->isEnabled());
    EXPECT_EQ(RowState(0), Cz("Příchozí"));
    EXPECT_EQ(w().callRows[0].imageState->ImageIndex(), 7);
    w().BtnATAClick();
    EXPECT_TRUE(calls().isAnswerPending());
    // Button2: the echo form of a line.
    w().Edit1->setText(QStringLiteral("AT+CPAS"));
    w().Button2Click();
    EXPECT_EQ(calls().getPending(), VPerifCalls::cmdStatus);
}

TEST_F(CallsPage, TheCallTypeOfTheConfigurationIsShownAndSavedBack)
{
    Make(false);
    const std::string path = home + "/calls.cfg";
    WriteFile(path, "[Project]\r\nCallType=1\r\n");
    w().readConfigFile(path);
    EXPECT_EQ(w().RGroupCallType->ItemIndex(), 1);
    w().configClean = true;
    w().RGroupCallType->Button(0)->click();
    EXPECT_EQ(w().callType, 0);
    EXPECT_FALSE(w().configClean);
    ASSERT_TRUE(w().saveConfig(path));
    EXPECT_EQ(Platform::TIniFile(path).ReadString("Project", "CallType", ""), "0");
}

TEST_F(CallsPage, VoiceAndDataDialsFromTheOutgoingGroup)
{
    Make(false);
    StartSim(ModemSim::TProfile::Builtin("tc35"));
    ASSERT_NO_FATAL_FAILURE(StartOnSim(QSize(640, 600)));
    ASSERT_NO_FATAL_FAILURE(WaitUntilReady());
    w().PageControl1->setCurrentWidget(w().SheetCalls);

    w().EditNumber->setText(QStringLiteral("123"));
    w().BtnATDdata->click();
    EXPECT_GE(sim->Transcript().WaitForCommand("ATD123;", 5000), 0) << sim->Transcript().ToText();
    EXPECT_EQ(RowNumber(0), "123,129");
    EXPECT_EQ(RowState(0), Cz("Vytáčím (Hlas)"));
    EXPECT_EQ(w().callRows[0].imageState->ImageIndex(), 2);
    EXPECT_EQ(w().callRows[0].imageType->ImageIndex(), 1);
    EXPECT_TRUE(w().BtnATH->isEnabled());
    // A language change rewrites the row's text.
    w().VTixLanguage1->SetCurrLanguage("English");
    EXPECT_EQ(RowState(0), "Calling (Voice)");
    EXPECT_EQ(FromQString(w().BtnATH->text()), "Hang Up");
    // Nobody has that number: the call ends by itself.
    ASSERT_TRUE(RunUntil([&] { return calls().row(0).state == 0; }, 10000)) << sim->Transcript().ToText();
    EXPECT_EQ(RowNumber(0), "");
    EXPECT_FALSE(w().BtnATH->isEnabled());

    w().RGroupCallType->Button(1)->click();
    EXPECT_EQ(w().callType, 1);
    w().BtnATDdata->click();
    EXPECT_GE(sim->Transcript().WaitForCommand("ATD123", 5000), 0);
    EXPECT_EQ(RowState(0), "Calling (Data)");
    ASSERT_TRUE(RunUntil([&] { return calls().row(0).state == 0; }, 10000)) << sim->Transcript().ToText();

    // Outside the command mode neither dialling nor AT+CHUP.
    const size_t before = sim->Transcript().Commands().size();
    w().uniset->setMode(2);
    w().BtnATDdata->click();
    w().BtnCHUPClick();
    w().uniset->setMode(0);
    RunFor(300);
    EXPECT_EQ(sim->Transcript().Commands().size(), before);
    w().BtnCHUPClick();
    EXPECT_GE(sim->Transcript().WaitForCommand("AT+CHUP", 5000), 0);
}

TEST_F(CallsPage, TheTestFrameAnswersTheIdentityOfAnOutgoingDataCall)
{
    Make(false);
    ModemSim::TProfile mine = ModemSim::TProfile::Builtin("gm22");
    mine.ownNumber = "+420601000001";
    ModemSim::TProfile theirs = ModemSim::TProfile::Builtin("tc35");
    theirs.ownNumber = "123";
    sim = std::make_unique<ModemSim::TModemSim>(mine);
    other = std::make_unique<ModemSim::TModemSim>(theirs);
    ModemSim::TModemSim::Link(*sim, *other);
    std::string error;
    ASSERT_TRUE(sim->Start(&error)) << error;
    ASSERT_TRUE(other->Start(&error)) << error;
    ASSERT_TRUE(peer.Open(other->PtyPath()));
    ASSERT_NO_FATAL_FAILURE(StartOnSim(QSize(640, 600)));
    ASSERT_NO_FATAL_FAILURE(WaitUntilReady());

    VPerifProtikus& protikus = w().uniset->getHandlers().protikus();
    protikus.addStation("123");
    ASSERT_TRUE(RunUntil([&] {
        peer.ReadFor(3);
        return peer.Received().find("RING") != std::string::npos;
    }, 10000)) << sim->Transcript().ToText() << "\nthe other:\n" << other->Transcript().ToText();
    peer.Command("ATA");
    // The call is up and the identity asked for.
    ASSERT_TRUE(RunUntil([&] { return protikus.getPending() == 1; }, 10000)) << sim->Transcript().ToText();
    EXPECT_EQ(w().uniset->getMode(), 3);
    EXPECT_EQ(FromQString(w().LabelTheOther->text()), Cz("[Nezjištěno]"));
    EXPECT_TRUE(w().LabelLabTheOther->isVisibleTo(w().SheetCalls));
    // The device's call report put the call on row 1.
    const int row = calls().singleActiveDataCall();
    ASSERT_GE(row, 0);
    EXPECT_EQ(RowState(row), Cz("Probíhá (Data)"));

    w().Button3Click();
    EXPECT_EQ(FromQString(w().LabelTheOther->text()), Cz("Zelvitor  V1.0 ([Nezjištěn])"));
    EXPECT_EQ(protikus.getPending(), 0);
    // A language change describes the other station anew.
    w().VTixLanguage1->SetCurrLanguage("English");
    EXPECT_EQ(FromQString(w().LabelTheOther->text()), "Zelvitor  V1.0 ([Untested])");
    EXPECT_EQ(FromQString(w().LabelLabTheOther->text()), "Other End:");
}
