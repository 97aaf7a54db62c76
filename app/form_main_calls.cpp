// The calls page: the eight call rows the call handler fills, the answer
// and hang-up buttons, the outgoing-call group, the other station of a
// data call, and the hidden test controls that feed hand-made input into
// the receive path.
#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/form_helpers.h"
#include "app/form_main.h"
#include "app/radio_group.h"
#include "engine/perif_calls.h"
#include "engine/uniset.h"
#include "platform/qt/qt_text.h"
#include "platform/tick.h"
#include "serial/vtscomm32.h"
#include "widgets/image.h"
#include "widgets/image_list.h"
#include "widgets/widget_pictures.h"

using FormHelpers::Button;
using FormHelpers::Cz;
using FormHelpers::Label;
using FormHelpers::Named;
using Platform::FromQString;
using Platform::ToQString;

namespace {

// The rows' column positions and widths, and their height and spacing.
constexpr int RowLeft[5] = {8, 24, 48, 72, 232};
constexpr int RowWidth[5] = {16, 16, 16, 152, 152};
constexpr int RowHeight = 16;
constexpr int RowPitch = 20;
constexpr int RowTop = 4;

QLabel* RowLabel(QWidget* parent, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l->setAttribute(Qt::WA_TranslucentBackground);
    l->setTextFormat(Qt::PlainText);
    return l;
}

}  // namespace

void TFormMain::buildCallsPage()
{
    ImageListCallStates = Widgets::MakeCallStateImageList();
    ImageListCallTypes = Widgets::MakeCallTypeImageList();

    auto* page = new QVBoxLayout(SheetCalls);
    page->setContentsMargins(8, 4, 8, 8);
    page->setSpacing(6);
    // The call rows stand above the layout, at fixed places.
    page->addSpacing(RowTop + 8 * RowPitch);
    page->addStretch(1);

    GroupBoxCall = Named(new QGroupBox(Cz("Odchoz\xED vol\xE1n\xED"), SheetCalls), "GroupBoxCall");
    auto* group = new QHBoxLayout(GroupBoxCall);
    group->setContentsMargins(8, 4, 8, 4);
    group->setSpacing(8);
    LabelOutPhone = Label(GroupBoxCall, "LabelOutPhone", "Telefonn\xED \xE8\xEDslo:");
    LabelOutPhone->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EditNumber = Named(new QLineEdit(GroupBoxCall), "EditNumber");
    EditNumber->setMinimumWidth(137);
    LabelOutPhone->setBuddy(EditNumber);
    RGroupCallType = Named(new TRadioGroup(Cz("Typ"), GroupBoxCall), "RGroupCallType");
    RGroupCallType->SetColumns(2);
    RGroupCallType->SetItems({Cz("hlas"), Cz("data")});
    RGroupCallType->SetItemIndex(0);
    BtnATDdata = Button(GroupBoxCall, "BtnATDdata", "Spojit");
    group->addWidget(LabelOutPhone);
    group->addWidget(EditNumber, 1);
    group->addWidget(RGroupCallType);
    group->addWidget(BtnATDdata);
    page->addWidget(GroupBoxCall);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(7);
    BtnCHUP = Button(SheetCalls, "BtnCHUP", "AT+CHUP");
    BtnCHUP->setVisible(false);
    BtnATH = Button(SheetCalls, "BtnATH", "Zav\xECsit");
    BtnATH->setEnabled(false);
    BtnATA = Button(SheetCalls, "BtnATA", "P\xF8ijmout");
    BtnATA->setEnabled(false);
    LabelLabTheOther = Label(SheetCalls, "LabelLabTheOther", "Protikus:");
    LabelLabTheOther->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabelLabTheOther->setMinimumWidth(81);
    LabelLabTheOther->setVisible(false);
    LabelTheOther = Label(SheetCalls, "LabelTheOther", "");
    LabelTheOther->setMinimumWidth(129);
    LabelTheOther->setTextFormat(Qt::PlainText);
    LabelTheOther->setTextInteractionFlags(Qt::TextSelectableByMouse);
    buttons->addWidget(BtnCHUP);
    buttons->addWidget(BtnATH);
    buttons->addWidget(BtnATA);
    buttons->addStretch(1);
    buttons->addWidget(LabelLabTheOther);
    buttons->addWidget(LabelTheOther);
    page->addLayout(buttons);

    // Test controls, shown only to the most advanced user.
    auto* test = new QHBoxLayout;
    test->setSpacing(6);
    Edit1 = Named(new QLineEdit(QStringLiteral("00 12 01 01 50 00 01 FF 02 00"), SheetCalls), "Edit1");
    Button1 = Named(new QPushButton(QStringLiteral("CR LF"), SheetCalls), "Button1");
    Button2 = Named(new QPushButton(QStringLiteral("CR CR LF"), SheetCalls), "Button2");
    Button3 = Named(new QPushButton(QStringLiteral("BinD"), SheetCalls), "Button3");
    for (QWidget* w : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2),
                       static_cast<QWidget*>(Button3)}) {
        w->setVisible(false);
        test->addWidget(w, w == Edit1 ? 1 : 0);
    }
    page->addLayout(test);
}

void TFormMain::bindCallsEvents()
{
    connect(BtnATA, &QPushButton::clicked, this, [this] { BtnATAClick(); });
    connect(BtnATH, &QPushButton::clicked, this, [this] { BtnATHClick(); });
    connect(BtnCHUP, &QPushButton::clicked, this, [this] { BtnCHUPClick(); });
    connect(BtnATDdata, &QPushButton::clicked, this, [this] { BtnATDdataClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    RGroupCallType->SetOnClick([this](QObject*) { RGroupCallTypeClick(); });
}

// ---- Call rows -----------------------------------------------------------------

void TFormMain::createCallRows()
{
    for (size_t i = 0; i < callRows.size(); ++i) {
        TCallRowControls& row = callRows[i];
        if (row.labelIndex)
            continue;
        const int top = RowTop + int(i) * RowPitch;
        auto image = [&](TImageList* list) {
            auto* img = new VTixImage(SheetCalls);
            img->SetImageList(list);
            img->SetImageIndex(-1);
            img->SetStretch(false);
            img->setAttribute(Qt::WA_TranslucentBackground);
            return img;
        };
        row.labelIndex = RowLabel(SheetCalls, i == 0 ? QStringLiteral("?") : QString::number(i));
        row.imageState = image(ImageListCallStates.get());
        row.imageType = image(ImageListCallTypes.get());
        row.labelNumber = RowLabel(SheetCalls, QString());
        row.labelState = RowLabel(SheetCalls, QString());
        QWidget* controls[5] = {row.labelIndex, row.imageState, row.imageType, row.labelNumber, row.labelState};
        for (int c = 0; c < 5; ++c) {
            controls[c]->setGeometry(RowLeft[c], top, RowWidth[c], RowHeight);
            controls[c]->show();
        }
    }
}

void TFormMain::showCallRow(int Index, int StatePicture, int TypePicture, const std::string& NumberText,
                            const std::string& StateText)
{
    if (Index < 0 || size_t(Index) >= callRows.size() || !callRows[size_t(Index)].labelIndex)
        return;
    TCallRowControls& row = callRows[size_t(Index)];
    row.imageState->SetImageIndex(StatePicture);
    row.imageType->SetImageIndex(TypePicture);
    const QString number = ToQString(NumberText);
    if (row.labelNumber->text() != number)
        row.labelNumber->setText(number);
    const QString state = ToQString(StateText);
    if (row.labelState->text() != state)
        row.labelState->setText(state);
}

// ---- Buttons -----------------------------------------------------------------

void TFormMain::BtnATAClick()
{
    if (uniset && ringing)
        uniset->getHandlers().calls().setAnswerPending(true);
}

void TFormMain::BtnATHClick()
{
    if (!uniset || !uniset->portConnected())
        return;
    VPerifCalls& calls = uniset->getHandlers().calls();
    calls.markForHangup();
    calls.setAnswerPending(false);
}

void TFormMain::BtnCHUPClick()
{
    // Only where the device takes a command line.
    if (!uniset || !uniset->portConnected() || uniset->getMode() != 0)
        return;
    uniset->sendLine(Platform::GetTickCount(), "AT+CHUP", -1);
    uniset->getHandlers().calls().setAnswerPending(false);
}

void TFormMain::BtnATDdataClick()
{
    if (!uniset)
        return;
    VPerifCalls& calls = uniset->getHandlers().calls();
    calls.dial(Platform::GetTickCount(), RGroupCallType->ItemIndex() == 0, FromQString(EditNumber->text()));
    calls.setAnswerPending(false);
}

void TFormMain::RGroupCallTypeClick()
{
    callType = RGroupCallType->ItemIndex();
    configClean = false;
}

void TFormMain::showCallType()
{
    RGroupCallType->SetItemIndex(callType);
}

// ---- Test controls -------------------------------------------------------------

namespace {

// Bytes handed to the receive handler as one receive event.
void Received(TFormMain& w, const std::string& bytes)
{
    w.VTSComm321ReceiveData(bytes.data(), uint16_t(std::min<size_t>(bytes.size(), UINT16_MAX)));
}

}  // namespace

void TFormMain::Button1Click()
{
    Received(*this, FromQString(Edit1->text()));
    Received(*this, "\r\n");
}

void TFormMain::Button2Click()
{
    Received(*this, FromQString(Edit1->text()));
    Received(*this, "\r\r\n");
}

void TFormMain::Button3Click()
{
    const std::string text = FromQString(Edit1->text());
    std::string bytes;
    unsigned value = 0;
    int used = 0;
    for (const char* p = text.c_str(); std::sscanf(p, "%02x%n", &value, &used) == 1; p += used)
        bytes += char(value);
    if (bytes.empty())
        return;
    std::string frame;
    frame += char(0x80);
    frame += char(bytes.size() - 1);
    frame += char(0xA0);
    frame += char(0xB0);
    frame += bytes;
    unsigned sum = 1;
    for (const char c : frame)
        sum += uint8_t(c);
    frame += char(sum & 0xFF);
    Received(*this, frame);
}
