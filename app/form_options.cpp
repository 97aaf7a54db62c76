#include "app/form_options.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <climits>

#include "app/app_info.h"
#include "app/form_helpers.h"
#include "app/radio_group.h"
#include "foundation/qt/form_utils.h"
#include "platform/colors.h"
#include "platform/qt/qt_text.h"

TFormOptions* FormOptions = nullptr;

using FormHelpers::Cz;
using FormHelpers::Named;

TFormOptions::TFormOptions(VOptionsOwner* owner, QWidget* parent) : QDialog(parent), FOwner(owner)
{
    setObjectName(QStringLiteral("FormOptions"));
    setWindowTitle(Cz("Nastaven\xED"));
    // A fixed dialog border: title, close button, no resizing.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(false);
    buildControls();
}

TFormOptions::~TFormOptions()
{
    if (FormOptions == this)
        FormOptions = nullptr;
}

void TFormOptions::buildControls()
{
    LabelPIN = new QLabel(Cz("PIN:"), this);
    EditPIN = new QLineEdit(this);
    BtnCPINAgain = new QPushButton(Cz("Vlo\x9Eit"), this);
    LabelLabMyPhone = new QLabel(Cz("Moje telefonn\xED \xE8\xEDslo:"), this);
    EditMyPhone = new QLineEdit(this);
    LabelSCSA = new QLabel(Cz("\xC8\xEDslo SMS centra:"), this);
    ComboSCA = new QComboBox(this);
    BtnCSCAAgain = new QPushButton(Cz("Zapsat"), this);
    LabelLang = new QLabel(Cz("Jazyk:"), this);
    ComboLang = new QComboBox(this);
    LabelOftenCSQ = new QLabel(Cz("Zji\x9A\x9Dovat kvalitu sign\xE1lu po"), this);
    EditOftenCSQ = new QLineEdit(QStringLiteral("15"), this);
    LabelCSQUnits = new QLabel(Cz("s"), this);
    RGroupAdvanced = new TRadioGroup(Cz("Ovl\xE1\x64\xE1n\xED"), this);
    RGroupAutom = new TRadioGroup(Cz("Automatika"), this);
    BtnOK = new QPushButton(Cz("OK"), this);
    BtnCancel = new QPushButton(Cz("Storno"), this);

    Named(LabelPIN, "LabelPIN");
    Named(EditPIN, "EditPIN");
    Named(BtnCPINAgain, "BtnCPINAgain");
    Named(LabelLabMyPhone, "LabelLabMyPhone");
    Named(EditMyPhone, "EditMyPhone");
    Named(LabelSCSA, "LabelSCSA");
    Named(ComboSCA, "ComboSCA");
    Named(BtnCSCAAgain, "BtnCSCAAgain");
    Named(LabelLang, "LabelLang");
    Named(ComboLang, "ComboLang");
    Named(LabelOftenCSQ, "LabelOftenCSQ");
    Named(EditOftenCSQ, "EditOftenCSQ");
    Named(LabelCSQUnits, "LabelCSQUnits");
    Named(RGroupAdvanced, "RGroupAdvanced");
    Named(RGroupAutom, "RGroupAutom");
    Named(BtnOK, "BtnOK");
    Named(BtnCancel, "BtnCancel");

    LabelPIN->setBuddy(EditPIN);
    LabelLabMyPhone->setBuddy(EditMyPhone);
    LabelSCSA->setBuddy(ComboSCA);
    LabelLang->setBuddy(ComboLang);
    LabelOftenCSQ->setBuddy(EditOftenCSQ);

    EditPIN->setEchoMode(QLineEdit::Password);
    EditPIN->setMaxLength(8);
    EditPIN->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
    ComboSCA->setEditable(true);
    ComboSCA->setInsertPolicy(QComboBox::NoInsert);
    ComboSCA->addItem(QStringLiteral("+420602909909 \"CZE Eurotel\""));
    ComboSCA->addItem(QStringLiteral("+420603052100 \"CZE Radiomobil\""));
    ComboSCA->addItem(QStringLiteral("+420608005681 \"CZE Cesky Mobil\""));
    ComboSCA->setCurrentIndex(-1);
    ComboSCA->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ComboLang->addItem(Cz("\xC8\x65\x9Atina"));
    ComboLang->addItem(QStringLiteral("English"));
    EditOftenCSQ->setAlignment(Qt::AlignRight);
    EditOftenCSQ->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);

    RGroupAdvanced->SetItems({Cz("Z\xE1kladn\xED"), Cz("Pokro\xE8il\xE9"), Cz("Testovac\xED re\x9Eim")});
    RGroupAdvanced->SetItemIndex(0);
    RGroupAutom->SetItems(
        {Cz("V\x9E\x64y zapnuto"), Cz("Vypnout p\xF8i aktivn\xEDm termin\xE1lu"), Cz("Zobrazit za\x9Akrt\xE1va\xE8")});
    RGroupAutom->SetItemIndex(0);
    // Hidden at the basic level; the dialog keeps its size.
    QSizePolicy keep = RGroupAutom->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    RGroupAutom->setSizePolicy(keep);

    // The edits with their labels in one grid: the buttons that act on an
    // edit stand right of it.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->addWidget(LabelPIN, 0, 0);
    auto* pinRow = new QHBoxLayout;
    pinRow->addWidget(EditPIN);
    pinRow->addStretch(1);
    grid->addLayout(pinRow, 0, 1);
    grid->addWidget(BtnCPINAgain, 0, 2);
    grid->addWidget(LabelLabMyPhone, 1, 0);
    grid->addWidget(EditMyPhone, 1, 1);
    grid->addWidget(LabelSCSA, 2, 0);
    grid->addWidget(ComboSCA, 2, 1);
    grid->addWidget(BtnCSCAAgain, 2, 2);
    grid->addWidget(LabelLang, 3, 0);
    grid->addWidget(ComboLang, 3, 1);
    grid->setColumnStretch(1, 1);

    auto* intervalRow = new QHBoxLayout;
    intervalRow->setSpacing(6);
    intervalRow->addWidget(LabelOftenCSQ);
    intervalRow->addWidget(EditOftenCSQ);
    intervalRow->addWidget(LabelCSQUnits);
    intervalRow->addStretch(1);

    auto* groups = new QHBoxLayout;
    groups->setSpacing(8);
    groups->addWidget(RGroupAdvanced, 2);
    groups->addWidget(RGroupAutom, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    BtnOK->setDefault(true);
    BtnCancel->setAutoDefault(false);
    BtnCPINAgain->setAutoDefault(false);
    BtnCSCAAgain->setAutoDefault(false);
    const int buttonWidth = std::max(BtnOK->sizeHint().width(), BtnCancel->sizeHint().width()) + 16;
    BtnOK->setMinimumWidth(buttonWidth);
    BtnCancel->setMinimumWidth(buttonWidth);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(12, 12, 12, 12);
    main->setSpacing(10);
    main->addLayout(grid);
    main->addLayout(intervalRow);
    main->addLayout(groups);
    main->addSpacing(2);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    connect(EditPIN, &QLineEdit::textChanged, this, [this] { EditPINChange(EditPIN); });
    connect(EditMyPhone, &QLineEdit::textChanged, this, [this] { EditMyPhoneChange(EditMyPhone); });
    connect(EditOftenCSQ, &QLineEdit::textChanged, this, [this] { EditOftenCSQChange(EditOftenCSQ); });
    connect(BtnCPINAgain, &QPushButton::clicked, this, [this] { BtnCPINAgainClick(BtnCPINAgain); });
    connect(BtnCSCAAgain, &QPushButton::clicked, this, [this] { BtnCSCAAgainClick(BtnCSCAAgain); });
    connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(BtnOK); });
    connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(BtnCancel); });
    RGroupAdvanced->SetOnClick([this](QObject* s) { RGroupAdvancedClick(s); });
    RGroupAutom->SetOnClick([this](QObject* s) { RGroupAutomClick(s); });
}

QWidget* TFormOptions::ownerControl(const char* name) const
{
    QWidget* window = FOwner ? FOwner->optionsOwnerWindow() : nullptr;
    return window ? window->findChild<QWidget*>(QLatin1String(name)) : nullptr;
}

void TFormOptions::setOwnerControlVisible(const char* name, bool visible) const
{
    if (QWidget* w = ownerControl(name))
        Tixutils::SetControlVisible(w, visible);
}

void TFormOptions::markChanged()
{
    if (FOwner)
        FOwner->setConfigClean(false);
}

void TFormOptions::RGroupAdvancedClick(QObject* Sender)
{
    (void)Sender;
    markChanged();
    const int level = RGroupAdvanced->ItemIndex();
    RGroupAutom->setVisible(level >= 1);
    setOwnerControlVisible("BtnCHUP", level >= 2);
    if (FOwner)
        FOwner->setShowSMSStateAsText(level < 1);
    setOwnerControlVisible("CheckRing", level >= 1);
    setOwnerControlVisible("CheckDCD", level >= 1);
    setOwnerControlVisible("CheckPhonebookActive", level >= 1);
    for (const char* name : {"BtnTestSrc", "BtnTestDst", "Edit1", "Button3", "Button2", "Button1"})
        setOwnerControlVisible(name, level >= 2);
    if (FOwner)
        FOwner->setTerminalDebugWindowsVisible(level >= 2);
    setOwnerControlVisible("CheckRegul", !RGroupAutom->isHidden() && RGroupAutom->ItemIndex() > 1);
}

void TFormOptions::RGroupAutomClick(QObject* Sender)
{
    (void)Sender;
    markChanged();
    setOwnerControlVisible("CheckRegul", !RGroupAutom->isHidden() && RGroupAutom->ItemIndex() == 2);
}

void TFormOptions::EditPINChange(QObject* Sender)
{
    (void)Sender;
    markChanged();
    if (FOwner)
        FOwner->setPIN(Platform::FromQString(EditPIN->text()));
    BtnCPINAgain->setEnabled(true);
}

void TFormOptions::BtnCPINAgainClick(QObject* Sender)
{
    (void)Sender;
    if (FOwner)
        FOwner->enterPinAgain();
    BtnCPINAgain->setEnabled(false);
}

void TFormOptions::BtnCSCAAgainClick(QObject* Sender)
{
    (void)Sender;
    if (FOwner)
        FOwner->writeSCANumber();
}

void TFormOptions::BtnOKClick(QObject* Sender)
{
    (void)Sender;
    if (FOwner) {
        FOwner->setFirstRun(false);
        FOwner->enterPinAgain();
    }
    BtnCPINAgain->setEnabled(false);
    if (ComboSCA->currentText().isEmpty()) {
        int answer = MsgBox::IDYES;
        if (FOwner) {
            std::string question = FOwner->getLangText(
                "Texts", "ConfirmSCA", "Nen\xED vlo\x9E\x65no \xE8\xEDslo servisn\xEDho centra SMS zpr\xE1v.");
            question += "\n";
            question += FOwner->getLangText("Texts", "ConfirmSCA2", "Chcete jej na\xE8\xEDst ze SIM karty?");
            answer = FOwner->messageBox2(question, MsgBox::MB_YESNO | MsgBox::MB_ICONEXCLAMATION);
        }
        if (answer == MsgBox::IDYES)
            close();
        return;
    }
    if (FOwner)
        FOwner->writeSCANumber();
    close();
}

void TFormOptions::BtnCancelClick(QObject* Sender)
{
    (void)Sender;
    close();
}

void TFormOptions::FormShow(QObject* Sender)
{
    (void)Sender;
    BtnCPINAgain->setEnabled(false);
    BtnCancel->setEnabled(!(FOwner && FOwner->getFirstRun()));
}

void TFormOptions::FormCloseQuery(QObject* Sender, bool& CanClose)
{
    (void)Sender;
    if (FOwner && FOwner->getFirstRun())
        CanClose = false;
}

void TFormOptions::EditMyPhoneChange(QObject* Sender)
{
    (void)Sender;
    markChanged();
    const QString number = EditMyPhone->text();
    if (auto* label = qobject_cast<QLabel*>(ownerControl("LabelMyPhone")))
        label->setText(number);
    setOwnerControlVisible("LabelLabMyPhone", !number.isEmpty());
}

int TFormOptions::ParseInterval(const std::string& text)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return -1;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            return -1;
    }
    return int(negative ? -value : value);
}

void TFormOptions::EditOftenCSQChange(QObject* Sender)
{
    (void)Sender;
    markChanged();
    const int seconds = ParseInterval(Platform::FromQString(EditOftenCSQ->text()));
    Tixutils::SetEditColor(EditOftenCSQ, seconds < 0 ? clBlue : clBlack);
}

void TFormOptions::reject()
{
    bool canClose = true;
    FormCloseQuery(this, canClose);
    if (canClose)
        QDialog::reject();
}

void TFormOptions::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow(this);
    QDialog::showEvent(event);
}
