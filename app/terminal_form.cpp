#include "app/terminal_form.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/form_helpers.h"
#include "platform/qt/qt_text.h"

using FormHelpers::Cz;

VTixTerminalForm::VTixTerminalForm(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(Cz("Termin\xE1l"));
    // A form of its own also while docked into the main window's pages:
    // its texts are in its own section, as when it floats.
    setProperty("tixForm", true);
    resize(DesignWidth, DesignHeight);

    RichEdit = new QPlainTextEdit(this);
    RichEdit->setReadOnly(true);
    RichEdit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEdit->setUndoRedoEnabled(false);
    RichEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Every new line moves the scroll bars; see-through bars would have
    // the window, the pages and this form repainted behind them each time.
    RichEdit->verticalScrollBar()->setAutoFillBackground(true);
    RichEdit->horizontalScrollBar()->setAutoFillBackground(true);
    RichEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    {
        QPalette pal = RichEdit->palette();
        pal.setColor(QPalette::Base, Qt::white);
        pal.setColor(QPalette::Text, Qt::black);
        RichEdit->setPalette(pal);
    }
    ManualLine = new QLineEdit(this);
    HexManualLine = new QLineEdit(this);
    HexManualLine->hide();
    RGroupMode = new QGroupBox(Cz("Re\x9Eim"), this);
    RGroupMode->setLayout(new QVBoxLayout);
    RGroupMode->layout()->setContentsMargins(4, 2, 4, 2);
    RGroupMode->layout()->setSpacing(0);
    RGroupMode->hide();
    ModeButtons = new QButtonGroup(this);
    ModeButtons->setExclusive(true);
    SendLinebutton = new QPushButton(Cz("Odeslat"), this);
    SendLinebutton->setToolTip(Cz("Odeslat s od\xF8\xE1\x64kov\xE1n\xEDm"));
    BtnDirect = new QPushButton(Cz("P\xF8\xEDmo"), this);
    BtnDirect->setToolTip(Cz("Odeslat bez od\xF8\xE1\x64kov\xE1n\xED"));
    ClearButton = new QPushButton(Cz("Vymazat"), this);
    ClearButton->setToolTip(Cz("Vymazat historii"));
    BtnUndock = new QPushButton(Cz("Uvolnit okno"), this);
    BtnUndock->setToolTip(Cz("Uvolnit okno termin\xE1lu"));
    BtnUndock->setEnabled(false);
    DebugInTime = new QLineEdit(QStringLiteral("DebugInTime"), this);
    DebugOutTime = new QLineEdit(QStringLiteral("DebugOutTime"), this);
    for (QLineEdit* e : {DebugInTime, DebugOutTime}) {
        e->setEnabled(false);
        e->hide();
    }
    for (QPushButton* b : {SendLinebutton, BtnDirect, ClearButton, BtnUndock})
        b->setAutoDefault(false);

    place(this, "_Form", QRect(), 0);
    place(RichEdit, "_RichEdit", QRect(0, 0, 398, 357), akLeft | akTop | akRight | akBottom);
    place(ManualLine, "_ManualLine", QRect(2, 358, 396, 21), akLeft | akRight | akBottom);
    place(HexManualLine, "_HexManualLine", QRect(2, 358, 396, 21), akLeft | akRight | akBottom);
    place(RGroupMode, "_RGroupMode", QRect(8, 381, 81, 61), akLeft | akBottom);
    place(SendLinebutton, "_SendLinebutton", QRect(96, 388, 75, 25), akLeft | akBottom);
    place(BtnDirect, "_BtnDirect", QRect(176, 388, 75, 25), akLeft | akBottom);
    place(ClearButton, "_Clear", QRect(96, 420, 75, 25), akLeft | akBottom);
    place(BtnUndock, "_BtnUndock", QRect(176, 420, 75, 25), akLeft | akBottom);
    place(DebugInTime, "_DebugInTime", QRect(258, 389, 140, 21), akLeft | akRight | akBottom);
    place(DebugOutTime, "_DebugOutTime", QRect(258, 421, 140, 21), akLeft | akRight | akBottom);
    layoutControls();
}

void VTixTerminalForm::place(QWidget* control, const char* suffix, QRect design, unsigned anchors)
{
    placed_.push_back({control, suffix, design, anchors});
}

void VTixTerminalForm::SetComponentName(const std::string& name)
{
    for (const Placed& p : placed_)
        p.control->setObjectName(Platform::ToQString(name + p.suffix));
}

QRect VTixTerminalForm::rectOf(const Placed& p) const
{
    const int dw = width() - DesignWidth;
    const int dh = height() - DesignHeight;
    QRect r = p.design;
    if (p.anchors & akRight) {
        if (p.anchors & akLeft)
            r.setWidth(std::max(0, r.width() + dw));
        else
            r.moveLeft(r.left() + dw);
    }
    if (p.anchors & akBottom) {
        if (p.anchors & akTop)
            r.setHeight(std::max(0, r.height() + dh));
        else
            r.moveTop(r.top() + dh);
    }
    return r;
}

void VTixTerminalForm::layoutControls()
{
    for (const Placed& p : placed_) {
        if (p.control == this)
            continue;
        p.control->setGeometry(rectOf(p));
    }
    // With the hex line shown the text line stands above it; the pane ends
    // 2 pixels above the text line either way.
    if (showHex_) {
        QRect t = HexManualLine->geometry();
        t.moveTop(t.top() - t.height() - 2);
        ManualLine->setGeometry(t);
    }
    QRect pane = RichEdit->geometry();
    pane.setBottom(ManualLine->geometry().top() - 2 - 1);
    RichEdit->setGeometry(pane);
}

void VTixTerminalForm::SetShowHexEdit(bool show)
{
    showHex_ = show;
    HexManualLine->setVisible(show);
    layoutControls();
}

void VTixTerminalForm::SetDebugVisible(bool show)
{
    DebugInTime->setVisible(show);
    DebugOutTime->setVisible(show);
}

void VTixTerminalForm::SetModeItems(const std::vector<std::string>& items)
{
    for (QRadioButton* b : modeItems_) {
        ModeButtons->removeButton(b);
        delete b;
    }
    modeItems_.clear();
    int id = 0;
    for (const std::string& text : items) {
        auto* b = new QRadioButton(Platform::ToQString(text), RGroupMode);
        ModeButtons->addButton(b, id++);
        RGroupMode->layout()->addWidget(b);
        modeItems_.push_back(b);
    }
    RGroupMode->setVisible(!items.empty());
}

int VTixTerminalForm::CheckedMode() const { return ModeButtons->checkedId(); }

void VTixTerminalForm::CheckMode(int index)
{
    if (index >= 0 && index < int(modeItems_.size())) {
        modeItems_[size_t(index)]->setChecked(true);
        return;
    }
    // No item: an exclusive group cannot uncheck its checked button.
    ModeButtons->setExclusive(false);
    for (QRadioButton* b : modeItems_)
        b->setChecked(false);
    ModeButtons->setExclusive(true);
}

void VTixTerminalForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutControls();
    if (onMoveOrResize)
        onMoveOrResize();
}

void VTixTerminalForm::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (onMoveOrResize)
        onMoveOrResize();
}

void VTixTerminalForm::closeEvent(QCloseEvent* event)
{
    if (onClose)
        onClose(event);
    else
        QWidget::closeEvent(event);
}

bool VTixTerminalForm::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && onActivate)
        onActivate();
    return QWidget::event(event);
}
