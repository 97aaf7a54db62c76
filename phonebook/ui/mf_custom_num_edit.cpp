#include "phonebook/ui/mf_custom_num_edit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "phonebook/ui/mf_num_edit_gauge.h"
#include "phonebook/ui/mf_num_edit_popup.h"
#include "phonebook/ui/mf_num_text.h"
#include "platform/ini_file.h"
#include "translation/locale_formats.h"

namespace {

constexpr int UpDownWidth = 11;
constexpr int UpDownHeight = 17;
constexpr int PopupButtonWidth = 11;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

TMFCustomNumEdit::TMFCustomNumEdit(QWidget* Parent) : TMFCustomEdit(Parent)
{
    m_buttonPanel = new QWidget(this);
    auto makeButton = [this](Qt::ArrowType arrow) {
        auto* b = new QToolButton(m_buttonPanel);
        b->setArrowType(arrow);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(false);
        return b;
    };
    m_upButton = makeButton(Qt::UpArrow);
    m_upButton->setObjectName(QStringLiteral("UpButton"));
    m_downButton = makeButton(Qt::DownArrow);
    m_downButton->setObjectName(QStringLiteral("DownButton"));
    for (QToolButton* b : {m_upButton, m_downButton}) {
        b->setAutoRepeat(true);
        b->setCursor(Qt::ArrowCursor);
    }
    connect(m_upButton, &QToolButton::clicked, this, [this] { UpDownClick(btNext); });
    connect(m_downButton, &QToolButton::clicked, this, [this] { UpDownClick(btPrev); });
    m_popupButton = makeButton(Qt::DownArrow);
    m_popupButton->setObjectName(QStringLiteral("PopupButton"));
    m_popupButton->setCursor(Qt::ArrowCursor);
    m_popupButton->installEventFilter(this);
    m_gauge = new TMFNumEditGauge(this);
    m_gauge->setObjectName(QStringLiteral("Gauge"));
    WriteText(ValueToText(m_value), true);
    UpdateMinHeight();
    LayoutParts();
}

TMFCustomNumEdit::~TMFCustomNumEdit() = default;

char TMFCustomNumEdit::DecimalSeparator() const
{
    const std::string& sep = LocaleFormats().DecimalSeparator;
    return sep.empty() ? '.' : sep[0];
}

std::string TMFCustomNumEdit::ValueToText(double Value) const
{
    const char sep = DecimalSeparator();
    std::string s = m_precision < 0
                        ? MFNumText::FormatGeneral(Value, 4, sep)
                        : MFNumText::FormatFixed(Value, m_precision, sep,
                                                 m_numberFormat == nfNumber ? LocaleFormats().ThousandSeparator
                                                                            : std::string());
    if (!m_valueUnit.empty())
        s += " " + m_valueUnit;
    return s;
}

std::string TMFCustomNumEdit::RawValueStr(const std::string& Text) const
{
    if (!m_valueUnit.empty()) {
        const size_t at = Text.find(m_valueUnit);
        if (at != std::string::npos && at >= 2)
            return Platform::TrimBlanks(Text.substr(0, at));
    }
    const size_t blank = Text.find(' ');
    if (blank != std::string::npos && blank >= 1)
        return Text.substr(0, blank);
    return Text;
}

std::optional<double> TMFCustomNumEdit::TextToValue(const std::string& Text) const
{
    std::string s = RawValueStr(Text);
    if (s.empty() || s == "-")
        return 0.0;
    std::erase(s, ' ');
    const char sep = DecimalSeparator();
    // A comma and a full stop are both read as the separator.
    for (char& c : s)
        if (!IsDigit(c) && c != '-')
            c = sep;
    if (s.empty())
        return 0.0;
    if (s.front() == sep)
        s.insert(s.begin(), '0');
    if (s.back() == sep)
        s += '0';
    return MFNumText::ParseDecimal(s, sep);
}

double TMFCustomNumEdit::CheckValue(double Value) const
{
    if (m_minValue == m_maxValue)
        return Value;
    if (Value < m_minValue)
        return m_minValue;
    if (Value > m_maxValue)
        return m_maxValue;
    return Value;
}

void TMFCustomNumEdit::WriteText(const std::string& Text, bool Quiet)
{
    const bool writing = m_writing, quiet = m_quiet;
    m_writing = true;
    m_quiet = Quiet;
    SetText(Text);
    m_writing = writing;
    m_quiet = quiet;
}

void TMFCustomNumEdit::ValueShown()
{
    m_gauge->update();
    if (DroppedDown())
        m_popup->TrackBar()->setValue(TrackBarPosition(m_value));
}

double TMFCustomNumEdit::GetValue()
{
    double result = 0;
    const std::string text = Text();
    if (text.empty()) {
        if (m_exiting) {
            result = CheckValue(0);
            WriteText(ValueToText(result), false);
        }
    } else {
        const std::optional<double> v = TextToValue(text);
        if (v && CheckValue(*v) == *v) {
            result = *v;
        } else {
            result = CheckValue(m_value);
            const int caret = cursorPosition();
            WriteText(ValueToText(result), false);
            setCursorPosition(std::max(0, caret - 1));
            m_value = result;
            ValueShown();
        }
    }
    m_value = result;
    return result;
}

void TMFCustomNumEdit::SetValue(double Value)
{
    const double old = GetValue();
    m_value = CheckValue(Value);
    WriteText(ValueToText(m_value), true);
    if (Value != old) {
        ValueShown();
        NotifyChange();
    }
}

void TMFCustomNumEdit::UpDownClick(TUDBtnType Button)
{
    setFocus();
    const double v = GetValue();
    if (m_minValue == m_maxValue) {
        // Equal limits mean no limit: there is no bound to stop at.
        SetValue(Button == btNext ? v + m_increment : v - m_increment);
    } else if (Button == btNext) {
        if (v < m_maxValue - m_increment)
            SetValue(v + m_increment);
        else
            SetValue(m_wrap ? m_minValue : m_maxValue);
    } else {
        if (m_minValue + m_increment < v)
            SetValue(v - m_increment);
        else
            SetValue(m_wrap ? m_maxValue : m_minValue);
    }
    if (AutoSelect())
        selectAll();
    m_gauge->update();
}

void TMFCustomNumEdit::SetMinValue(double Value)
{
    m_minValue = Value;
    GetValue();
    m_gauge->update();
}

void TMFCustomNumEdit::SetMaxValue(double Value)
{
    m_maxValue = Value;
    GetValue();
    m_gauge->update();
}

void TMFCustomNumEdit::SetPrecision(int Value)
{
    const double v = GetValue();
    m_precision = std::clamp(Value, -1, 6);
    WriteText(ValueToText(v), true);
}

void TMFCustomNumEdit::SetNumberFormat(TMFNumberFormat Value)
{
    const double v = GetValue();
    m_numberFormat = Value;
    WriteText(ValueToText(v), true);
}

void TMFCustomNumEdit::SetValueUnit(const std::string& Value)
{
    const double v = GetValue();
    m_valueUnit = Value;
    WriteText(ValueToText(v), true);
}

void TMFCustomNumEdit::Change()
{
    if (!m_valueUnit.empty() && !m_writing) {
        const std::string raw = RawValueStr(Text());
        if (!raw.empty() && IsDigit(raw.back())) {
            // The unit comes back while typing; the caret stays put.
            const int caret = cursorPosition();
            SetValue(GetValue());
            setCursorPosition(std::min(caret, int(text().size())));
        }
    }
    m_gauge->update();
    ChangeColors();
    if (!m_quiet)
        NotifyChange();
}

bool TMFCustomNumEdit::KeyDown(int& Key, Qt::KeyboardModifiers Shift)
{
    if (Key == Qt::Key_Up || Key == Qt::Key_Down) {
        UpDownClick(Key == Qt::Key_Up ? btNext : btPrev);
        Key = 0;
        return false;
    }
    return TMFCustomEdit::KeyDown(Key, Shift);
}

void TMFCustomNumEdit::DoExit()
{
    m_exiting = true;
    const double v = GetValue();
    if (CheckValue(v) != v)
        SetValue(CheckValue(v));
    m_exiting = false;
    TMFCustomEdit::DoExit();
}

bool TMFCustomNumEdit::PasteRefused() const
{
    return !m_editorEnabled || isReadOnly();
}

void TMFCustomNumEdit::keyPressEvent(QKeyEvent* Event)
{
    if (PasteRefused() && (Event->matches(QKeySequence::Paste) || Event->matches(QKeySequence::Cut))) {
        Event->accept();
        return;
    }
    TMFCustomEdit::keyPressEvent(Event);
}

void TMFCustomNumEdit::contextMenuEvent(QContextMenuEvent* Event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (PasteRefused())
        for (QAction* a : menu->actions())
            if (a->objectName() == QLatin1String("edit-paste") || a->objectName() == QLatin1String("edit-cut"))
                a->setEnabled(false);
    menu->exec(Event->globalPos());
}

void TMFCustomNumEdit::dropEvent(QDropEvent* Event)
{
    if (PasteRefused()) {
        Event->ignore();
        return;
    }
    TMFCustomEdit::dropEvent(Event);
}

void TMFCustomNumEdit::mouseReleaseEvent(QMouseEvent* Event)
{
    // The middle button pastes the selection on some desktops.
    if (Event->button() == Qt::MiddleButton && PasteRefused()) {
        Event->accept();
        return;
    }
    TMFCustomEdit::mouseReleaseEvent(Event);
}

int TMFCustomNumEdit::MinHeight() const
{
    const int own = fontMetrics().height();
    const int system = QFontMetrics(QApplication::font()).height();
    constexpr int BorderHeight = 1;
    return own + std::min(system, own) / 4 + 4 * BorderHeight + 2 + m_gaugeHeight + 1;
}

void TMFCustomNumEdit::UpdateMinHeight()
{
    setMinimumHeight(MinHeight());
    if (height() < minimumHeight())
        resize(width(), minimumHeight());
}

void TMFCustomNumEdit::LayoutParts()
{
    const int inset = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) : 0;
    // Held lower than its minimum (in a tree's row) the edit keeps its
    // text: the gauge goes, the buttons shrink to the height there is.
    const bool roomy = height() >= MinHeight();
    const int gaugeBand = roomy ? m_gaugeHeight + 2 : 0;
    m_gauge->setVisible(roomy);
    const int panelWidth = UpDownWidth + (m_trackBarEnabled ? PopupButtonWidth : 0) + 3;
    const int panelHeight = std::max(0, height() - gaugeBand - (roomy ? inset : 2 * inset));
    m_buttonPanel->setGeometry(width() - inset - panelWidth, inset, panelWidth, panelHeight);
    const int buttonsHeight = std::min(UpDownHeight, panelHeight);
    const int top = std::max(0, (panelHeight - buttonsHeight) / 2);
    const int half = buttonsHeight / 2;
    m_upButton->setGeometry(1, top, UpDownWidth, half);
    m_downButton->setGeometry(1, top + half, UpDownWidth, buttonsHeight - half);
    m_popupButton->setVisible(m_trackBarEnabled);
    m_popupButton->setGeometry(1 + UpDownWidth, top, PopupButtonWidth, buttonsHeight);
    m_popupButton->setArrowType(m_trackBarOrientation == trHorizontal ? Qt::DownArrow : Qt::LeftArrow);
    m_gauge->setGeometry(2, height() - gaugeBand, std::max(0, width() - 4), gaugeBand);
    SetReservedMargins(panelWidth, gaugeBand - inset > 0 ? gaugeBand - inset : 0);
}

void TMFCustomNumEdit::resizeEvent(QResizeEvent* Event)
{
    TMFCustomEdit::resizeEvent(Event);
    LayoutParts();
}

void TMFCustomNumEdit::changeEvent(QEvent* Event)
{
    TMFCustomEdit::changeEvent(Event);
    if (Event->type() == QEvent::FontChange || Event->type() == QEvent::StyleChange) {
        UpdateMinHeight();
        LayoutParts();
    }
}

void TMFCustomNumEdit::SetTrackBarEnabled(bool Value)
{
    m_trackBarEnabled = Value;
    LayoutParts();
}

void TMFCustomNumEdit::SetTrackBarOrientation(TTrackBarOrientation Value)
{
    m_trackBarOrientation = Value;
    LayoutParts();
}

void TMFCustomNumEdit::SetGaugeMinValue(double Value)
{
    m_gaugeMin = Value;
    m_gauge->update();
}

void TMFCustomNumEdit::SetGaugeMaxValue(double Value)
{
    m_gaugeMax = Value;
    m_gauge->update();
}

void TMFCustomNumEdit::SetGaugeBeginColor(TColor Value)
{
    m_gaugeBeginColor = Value;
    m_gauge->update();
}

void TMFCustomNumEdit::SetGaugeEndColor(TColor Value)
{
    m_gaugeEndColor = Value;
    m_gauge->update();
}

void TMFCustomNumEdit::SetGaugeAroundCenter(bool Value)
{
    m_gaugeAroundCenter = Value;
    m_gauge->update();
}

void TMFCustomNumEdit::SetGaugeHeight(int Value)
{
    m_gaugeHeight = std::max(0, Value);
    UpdateMinHeight();
    LayoutParts();
}

double TMFCustomNumEdit::GaugeFraction()
{
    double lo = m_gaugeMin, hi = m_gaugeMax;
    if (lo == hi) {
        lo = m_minValue;
        hi = m_maxValue;
    }
    if (hi <= lo)
        return -1;
    // The stored value: painting never rewrites the text.
    return std::clamp((m_value - lo) / (hi - lo), 0.0, 1.0);
}

void TMFCustomNumEdit::GaugeClicked(int X)
{
    double lo = m_gaugeMin, hi = m_gaugeMax;
    if (lo == hi) {
        lo = m_minValue;
        hi = m_maxValue;
    }
    if (hi <= lo || m_gauge->width() <= 0)
        return;
    double v = lo + (hi - lo) * std::clamp(double(X) / m_gauge->width(), 0.0, 1.0);
    if (m_incrementGauge && m_increment > 0)
        v = lo + std::round((v - lo) / m_increment) * m_increment;
    setFocus();
    SetValue(v);
}

int TMFCustomNumEdit::TrackBarPosition(double Value) const
{
    double range = m_maxValue - m_minValue;
    if (range <= 0)
        range = 100;
    return int(std::clamp(std::round((Value - m_minValue) * 1000 / range), 0.0, 1000.0));
}

bool TMFCustomNumEdit::DroppedDown() const
{
    return m_popup && m_popup->isVisible();
}

void TMFCustomNumEdit::ShowPopup()
{
    if (!m_trackBarEnabled)
        return;
    setFocus();
    if (!m_popup)
        m_popup = std::make_unique<TMFNumEditPopupForm>();
    m_popup->setObjectName(QStringLiteral("PopupForm"));
    const bool horizontal = m_trackBarOrientation == trHorizontal;
    m_popup->SetOrientation(horizontal ? Qt::Horizontal : Qt::Vertical, m_trackBarWidth);
    // Below the button, its right edges in line; a vertical bar to the
    // left of the button, centred on it.
    const QRect button(m_popupButton->mapToGlobal(QPoint(0, 0)), m_popupButton->size());
    QPoint at = horizontal ? QPoint(button.right() + 1 - m_popup->width(), button.bottom() + 1)
                           : QPoint(button.left() - m_popup->width(),
                                    button.center().y() - m_popup->height() / 2);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - m_popup->width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - m_popup->height())));
    }
    m_popup->move(at);
    m_popup->TrackBar()->setValue(TrackBarPosition(GetValue()));
    m_popup->show();
}

void TMFCustomNumEdit::TrackPopup(QPoint GlobalPos)
{
    if (!DroppedDown())
        return;
    const int pos = m_popup->PositionAt(GlobalPos);
    m_popup->TrackBar()->setValue(pos);
    double range = m_maxValue - m_minValue;
    if (range <= 0)
        range = 100;
    SetValue(m_minValue + pos * range / 1000);
}

void TMFCustomNumEdit::HidePopup()
{
    if (!DroppedDown())
        return;
    m_popup->hide();
    selectAll();
}

bool TMFCustomNumEdit::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == m_popupButton && isEnabled()) {
        switch (Event->type()) {
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton)
                ShowPopup();
            break;
        case QEvent::MouseMove:
            if (static_cast<QMouseEvent*>(Event)->buttons() & Qt::LeftButton)
                TrackPopup(static_cast<QMouseEvent*>(Event)->globalPosition().toPoint());
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton)
                HidePopup();
            break;
        default:
            break;
        }
    }
    return TMFCustomEdit::eventFilter(Watched, Event);
}
