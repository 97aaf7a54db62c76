// The main window's controls and their layout, the translation component,
// the terminal and the binding of the events.
#include <QApplication>
#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include "app/app_info.h"
#include "app/form_helpers.h"
#include "app/form_main.h"
#include "app/form_main_controls.h"
#include "app/terminal.h"
#include "engine/uniset.h"
#include "platform/qt/qt_text.h"
#include "serial/vtscomm32.h"
#include "translation/forms/tixlanguage_forms.h"
#include "translation/qt_translations.h"
#include "translation/tixlanguage.h"
#include "widgets/check_control.h"
#include "widgets/gauge.h"
#include "widgets/image.h"
#include "widgets/image_list.h"

using FormHelpers::Cz;
using FormHelpers::Label;
using FormHelpers::Named;
using Platform::FromQString;
using Platform::ToQString;

namespace {

VTixGauge* SignalGauge(QWidget* parent, const char* name, int max)
{
    auto* g = Named(new VTixGauge(parent), name);
    g->SetMaxValue(max);
    g->SetShowMaxValue(max);
    g->SetShowText(false);
    g->SetForeColor(clBtnFace);
    g->SetBackColor(clBtnFace);
    g->setFixedSize(180, 16);
    return g;
}

TIACheckControl* Lamp(QWidget* parent, const char* name, const char* text)
{
    auto* lamp = Named(new TIACheckControl(parent), name);
    lamp->SetStyle(iaccsStyleLamp);
    lamp->SetControlType(iacctReadOnly);
    lamp->SetCheckFieldColor1(clRed);
    lamp->SetCheckFieldColor2(clLime);
    lamp->SetText(text);
    // Sized by the layout from its size hint (its full size); the control's
    // own AutoSize would fight the layout.
    lamp->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    lamp->SetEnabled(false);
    lamp->setFocusPolicy(Qt::NoFocus);
    return lamp;
}

}  // namespace

void TFormMain::setUpLanguage()
{
    VTixLanguage1 = new VTixLanguage(this);
    VTixLanguage1->setObjectName(QStringLiteral("VTixLanguage1"));
    VTixLanguage1->SetDefaultSection("Texts");
    VTixLanguage1->Translate = {vtl_tRichEdit, vtl_t_Charset, vtl_t_RichHTML};
    VTixLanguage1->ExceptionList = {"FormAbout.MemoAddress", "FormAbout.MemoContact"};
    VTixLanguage1->UseBuiltInTexts();
    VTixLanguageForms1 = new VTixLanguageForms(VTixLanguage1);
    VTixLanguageForms1->RegisterControlClass(
        "TIACheckControl", [](QObject* o) { return ToQString(static_cast<TIACheckControl*>(o)->Text()); },
        [](QObject* o, const QString& t) { static_cast<TIACheckControl*>(o)->SetText(FromQString(t)); });
    VTixLanguage1->Loaded();
    // Dialogs in the user's language.
    QtTranslations = std::make_unique<VTixQtTranslations>();
    QtTranslations->SelectLanguage(VTixLanguage1->GetCurrLanguageId());
}

void TFormMain::buildMenus()
{
    MainMenu1 = Named(new QMenuBar(this), "MainMenu1");
    setMenuBar(MainMenu1);
    MenuFile = Named(MainMenu1->addMenu(Cz("Soubor")), "MenuFile");
    ItemFileLoadAnyCfg = Named(MenuFile->addAction(Cz("Nahr\xE1t nastaven\xED")), "ItemFileLoadAnyCfg");
    ItemFileSavePCcfg = Named(MenuFile->addAction(Cz("Ulo\x9Eit nastaven\xED")), "ItemFileSavePCcfg");
    MenuFile->addSeparator();
    ItemFileExit = Named(MenuFile->addAction(Cz("E&xit")), "ItemFileExit");
    MenuOpt = Named(MainMenu1->addAction(Cz("Nastaven\xED")), "MenuOpt");
    MenuHelp = Named(MainMenu1->addMenu(Cz("N\xE1pov\xEC" "da")), "MenuHelp");
    MenuAbout = Named(MenuHelp->addAction(Cz("O aplikaci...")), "MenuAbout");
}

void TFormMain::buildTopBar(QWidget* parent, QBoxLayout* into)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    LabelPort = Label(parent, "LabelPort", "Port:");
    ComboComm = Named(new QComboBox(parent), "ComboComm");
    ComboComm->setEditable(true);
    ComboComm->setInsertPolicy(QComboBox::NoInsert);
    ComboComm->setMinimumContentsLength(10);
    ComboComm->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    LabelPort->setBuddy(ComboComm);
    BtnDisCon = Named(new QPushButton(Cz("P\xF8ipojit"), parent), "BtnDisCon");
    BtnDisCon->setMinimumWidth(80);
    LabelComConn = Label(parent, "LabelComConn", "Spojen\xED:");
    LabelComm = Label(parent, "LabelComm", "");
    QFont bold = LabelComm->font();
    bold.setBold(true);
    LabelComm->setFont(bold);
    row->addWidget(LabelPort);
    row->addWidget(ComboComm, 1);
    row->addWidget(BtnDisCon);
    row->addSpacing(12);
    row->addWidget(LabelComConn);
    row->addWidget(LabelComm, 1);
    into->addLayout(row);
}

void TFormMain::buildPages()
{
    PageControl1 = Named(new QTabWidget(centralWidget()), "PageControl1");
    PageControl1->setDocumentMode(false);
    auto page = [this](const char* name, const char* caption) {
        QWidget* w = Named(new QWidget, name);
        PageControl1->addTab(w, Cz(caption));
        return w;
    };
    SheetGeneral = page("SheetGeneral", "Obecn\xE9");
    SheetCalls = page("SheetCalls", "Vol\xE1n\xED");
    SheetSMS = page("SheetSMS", "SMS");
    SheetPhonebook = page("SheetPhonebook", "Seznam");
    SheetFiles = page("SheetFiles", "P\xF8" "enos soubor\xF9");
    buildGeneralPage();
    buildFilesPage();
    buildCallsPage();
    buildPhonebookPage();
    // SMS page
    buildSMSPage();
}

void TFormMain::buildGeneralPage()
{
    auto* page = new QVBoxLayout(SheetGeneral);
    page->setContentsMargins(8, 8, 8, 8);
    page->setSpacing(8);

    GroupDevice = Named(new QGroupBox(Cz("Za\xF8\xEDzen\xED"), SheetGeneral), "GroupDevice");
    auto* grid = new QGridLayout(GroupDevice);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);

    ShapeProgress = Named(new TFormMainShape(GroupDevice), "ShapeProgress");
    LabelDevice = Label(GroupDevice, "LabelDevice", "");
    QFont big = LabelDevice->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.15);
    LabelDevice->setFont(big);
    LabelDevice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* deviceRow = new QHBoxLayout;
    deviceRow->setSpacing(8);
    deviceRow->addWidget(ShapeProgress, 0, Qt::AlignVCenter);
    deviceRow->addWidget(LabelDevice, 1);
    grid->addLayout(deviceRow, 0, 0, 1, 2);

    // Labels in the first column, their controls in the second.
    LabelLabMyPhone = Label(GroupDevice, "LabelLabMyPhone", "Moje telefonn\xED \xE8\xEDslo:");
    LabelMyPhone = Label(GroupDevice, "LabelMyPhone", "");
    LabelMyPhone->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelLabMyPhone->setVisible(false);
    grid->addWidget(LabelLabMyPhone, 1, 0);
    grid->addWidget(LabelMyPhone, 1, 1);

    LabelSigStr = Label(GroupDevice, "LabelSigStr", "S\xEDla sign\xE1lu:");
    GaugeSigStr = SignalGauge(GroupDevice, "GaugeSigStr", 31);
    LabelSigQual = Label(GroupDevice, "LabelSigQual", "Kvalita sign\xE1lu:");
    GaugeSigQual = SignalGauge(GroupDevice, "GaugeSigQual", 7);
    grid->addWidget(LabelSigStr, 2, 0);
    grid->addWidget(GaugeSigStr, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);
    grid->addWidget(LabelSigQual, 3, 0);
    grid->addWidget(GaugeSigQual, 3, 1, Qt::AlignLeft | Qt::AlignVCenter);

    LabelOperator = Label(GroupDevice, "LabelOperator", "Oper\xE1tor:");
    ComboOperator = Named(new TOwnerDrawComboBox(GroupDevice), "ComboOperator");
    ComboOperator->setMinimumContentsLength(12);
    ComboOperator->SetItemHeight(std::max(19, ComboOperator->fontMetrics().height() + 4));
    LabelOperator->setBuddy(ComboOperator);
    BtnQueryOp = Named(new QPushButton(Cz("Zjistit"), GroupDevice), "BtnQueryOp");
    BtnQueryOp->setEnabled(false);
    auto* operatorRow = new QHBoxLayout;
    operatorRow->setSpacing(6);
    ComboOperator->setMaximumWidth(320);
    operatorRow->addWidget(ComboOperator, 1);
    operatorRow->addWidget(BtnQueryOp);
    operatorRow->addStretch(0);
    grid->addWidget(LabelOperator, 4, 0);
    grid->addLayout(operatorRow, 4, 1);

    CheckTestSignal = Named(new QCheckBox(Cz("Aktualizovat hodnoty"), GroupDevice), "CheckTestSignal");
    CheckTestSignal->setToolTip(Cz("Periodicky ov\xEC\xF8ovat aktu\xE1ln\xED hodnoty"));
    CheckTestSignal->setChecked(true);
    CheckRegul = Named(new QCheckBox(Cz("Automatika"), GroupDevice), "CheckRegul");
    CheckRegul->setVisible(false);
    auto* checks = new QHBoxLayout;
    checks->setSpacing(16);
    checks->addWidget(CheckTestSignal);
    checks->addWidget(CheckRegul);
    checks->addStretch(1);
    grid->addLayout(checks, 5, 0, 1, 2);

    page->addWidget(GroupDevice);
    LayoutGeneralGroups = new QGridLayout;
    LayoutGeneralGroups->setSpacing(8);
    LayoutGeneralGroups->setColumnStretch(0, 1);
    LayoutGeneralGroups->setColumnStretch(1, 1);
    page->addLayout(LayoutGeneralGroups);
    page->addStretch(1);
    buildGeneralGroups();
}

void TFormMain::buildBottomBar(QWidget* parent, QBoxLayout* into)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    CheckDCD = Lamp(parent, "CheckDCD", "DCD");
    CheckRing = Lamp(parent, "CheckRing", "Ring");
    ImageRing = Named(new VTixImage(parent), "ImageRing");
    ImageRing->SetImageList(RingImageList.get());
    ImageRing->SetImageIndex(0);
    ImageRing->SetStretch(false);
    ImageRing->setFixedSize(16, 16);
    row->addWidget(CheckDCD);
    row->addWidget(CheckRing);
    row->addWidget(ImageRing);
    // The ring picture keeps its place while it blinks.
    QSizePolicy keep = ImageRing->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ImageRing->setSizePolicy(keep);
    ImageRing->setVisible(false);
    row->addStretch(1);
    into->addLayout(row);
}

void TFormMain::buildStatusBar()
{
    StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
    setStatusBar(StatusBar1);
    const char* names[3] = {"StatusPanel0", "StatusPanel1", "StatusPanel2"};
    const int widths[3] = {0, 130, 170};
    for (int i = 0; i < 3; ++i) {
        auto* panel = Named(new QLabel(StatusBar1), names[i]);
        panel->setMinimumWidth(widths[i]);
        panel->setTextFormat(Qt::PlainText);
        panel->setContentsMargins(4, 0, 4, 0);
        StatusPanels[size_t(i)] = panel;
        if (i == 0)
            StatusBar1->addWidget(panel, 1);
        else
            StatusBar1->addPermanentWidget(panel);
    }
}

void TFormMain::setUpTerminal()
{
    VTixTerminal1 = new VTixTerminal(this, "VTixTerminal1");
    VTixTerminal1->SetCaption("Termin\xE1l");
    VTixTerminal1->SetTextLookup([this](const std::string& s, const std::string& k, const std::string& d) {
        return getLangText(s, k, d);
    });
    VTixTerminal1->SetParentPageControl(PageControl1);
    VTixTerminal1->SetDocked(true);
    VTixTerminal1->SetOnTermSendData([this](const char* data, int count) { VTixTerminal1TermSendData(data, count); });
    VTixTerminal1->SetOnTermWantModeChange([](int) {});
    VTixTerminal1->SetOnPageControlDockDrop([this](QWidget* form) { PageControl1DockDrop(form); });
    VTixTerminal1->Loaded();
}

void TFormMain::bindEvents()
{
    connect(ItemFileLoadAnyCfg, &QAction::triggered, this, [this] { ItemFileLoadAnyCfgClick(); });
    connect(ItemFileSavePCcfg, &QAction::triggered, this, [this] { ItemFileSavePCcfgClick(); });
    connect(ItemFileExit, &QAction::triggered, this, [this] { ItemFileExitClick(); });
    connect(MenuOpt, &QAction::triggered, this, [this] { MenuOptClick(); });
    connect(MenuAbout, &QAction::triggered, this, [this] { MenuAboutClick(); });

    // A port name the user picked, or typed and confirmed (Enter, leaving
    // the field): a half-typed name is no port to open.
    connect(ComboComm, &QComboBox::activated, this, [this](int) { ComboCommChange(); });
    connect(ComboComm->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (VTSComm321 && FromQString(ComboComm->currentText()) != VTSComm321->GetCommPort())
            ComboCommChange();
    });
    ComboComm->installEventFilter(this);
    ComboComm->lineEdit()->installEventFilter(this);
    // What the user does anywhere in the program wakes a quiet engine.
    qApp->installEventFilter(this);
    connect(BtnDisCon, &QPushButton::clicked, this, [this] { BtnDisConClick(); });

    ComboOperator->OnDrawItem = [this](QPainter& p, int index, const QRect& r, bool editPart) {
        ComboOperatorDrawItem(p, index, r, editPart);
    };
    connect(ComboOperator, &QComboBox::activated, this, [this](int index) { ComboOperatorChange(index); });
    connect(BtnQueryOp, &QPushButton::clicked, this, [this] { BtnQueryOpClick(); });
    connect(CheckTestSignal, &QCheckBox::clicked, this, [this] { CheckTestSignalClick(); });
    GaugeSigStr->OnGetColors = [this](VTixGauge*, VTixGaugePaintColors& c) { GaugeSigStrGetColors(c); };
    GaugeSigQual->OnGetColors = [this](VTixGauge*, VTixGaugePaintColors& c) { GaugeSigQualGetColors(c); };

    bindGeneralEvents();
    bindCallsEvents();
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    VTSComm321->SetReceiveDataEvent([this](VTixCommunicationComponent*, const char* buffer, uint16_t length) {
        VTSComm321ReceiveData(buffer, length);
    });
    VTSComm321->SetOnStateChange([this](VTixCommunicationComponent*, TCommState state) {
        VTSComm321StateChange(state);
    });
    VTSComm321->OnRing = [this](VTixCommunicationComponent*, bool state) { VTSComm321Ring(state); };
    VTSComm321->OnChangedRLSD = [this](VTixCommunicationComponent*, bool state) { VTSComm321ChangedRLSD(state); };
    VTSComm321->OnRequestHangup = [this](VTixCommunicationComponent*) { VTSComm321RequestHangup(); };

    VTixLanguage1->OnChangeLanguage = [this](VTixLanguage*) { VTixLanguage1ChangeLanguage(); };
    VTixLanguage1->SetCurrLanguage(
        VTixAppInfo1->ReadRegistryString("Options\\General", "Language", "\xC8" "esky"));
    VTSComm321StateChange(VTSComm321->ConnectionState());
}

// Sees every event of the program, the tick's timer event too (hot: kept
// with the tick's code).
[[gnu::hot]] bool TFormMain::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        if (uniset)
            uniset->wake();
        break;
    case QEvent::Show:
        if (!hiddenTexts.empty())
            showHiddenText(watched);
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == ComboComm || (ComboComm && watched == ComboComm->lineEdit())) {
            ComboCommDblClick();
            return true;
        }
        break;
    default:
        break;
    }
    // What QObject::eventFilter answers (QMainWindow has none of its own),
    // without a call out of the program for every event.
    return false;
}
