#include "widgets/rotate_label.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "platform/qt/qt_text.h"

namespace {

int Rnd(double v) { return int(std::lrint(v)); }
double Rad(double deg) { return deg * M_PI / 180.0; }

}  // namespace

TRotateLabel::TRotateLabel(QWidget* Parent) : QWidget(Parent)
{
    QFont f = font();
    f.setFamily(QStringLiteral("Arial"));
    setFont(f);
    Changed();
}

int TRotateLabel::NormalizeEscapement(int Value)
{
    int64_t v = Value;
    if (v < 0) {
        // Whole turns up to -359..-1 (or 0), then one more turn.
        if (v < -359)
            v = -((-v) % 360);
        v += 360;
    }
    if (v > 360)
        v = (v - 1) % 360 + 1;
    return int(v);
}

void TRotateLabel::SetEscapement(int Value)
{
    // Compared once normalised: 450 at 90 degrees changes nothing.
    const int v = NormalizeEscapement(Value);
    if (v == m_escapement)
        return;
    m_escapement = v;
    Changed();
}

void TRotateLabel::SetTextStyle(TTextStyle Value)
{
    if (Value == m_textStyle)
        return;
    m_textStyle = Value;
    update();
}

void TRotateLabel::SetCaption(const std::string& Value)
{
    if (Value == m_caption)
        return;
    m_caption = Value;
    Changed();
}

void TRotateLabel::SetAlignment(TAlignment Value)
{
    if (Value == m_alignment)
        return;
    m_alignment = Value;
    update();
}

void TRotateLabel::SetLayout(TTextLayout Value)
{
    if (Value == m_layout)
        return;
    m_layout = Value;
    Changed();
}

void TRotateLabel::SetAutoSize(bool Value)
{
    if (Value == m_autoSize)
        return;
    m_autoSize = Value;
    Changed();
}

void TRotateLabel::SetShowAccelChar(bool Value)
{
    if (Value == m_showAccelChar)
        return;
    m_showAccelChar = Value;
    Changed();
}

void TRotateLabel::SetTransparent(bool Value)
{
    if (Value == m_transparent)
        return;
    m_transparent = Value;
    update();
}

void TRotateLabel::SetWordWrap(bool Value)
{
    if (Value == m_wordWrap)
        return;
    m_wordWrap = Value;
    update();
}

void TRotateLabel::SetColor(TColor Value)
{
    if (Value == m_color)
        return;
    m_color = Value;
    update();
}

void TRotateLabel::SetFontColor(TColor Value)
{
    if (Value == m_fontColor)
        return;
    m_fontColor = Value;
    update();
}

QPoint TRotateLabel::TextOffset(int A, int Tw, int Th, bool LayoutTop)
{
    const double a = A;
    if (a <= 90)
        return QPoint(0, Rnd(std::sin(Rad(a)) * Tw) + (LayoutTop ? 1 : 0));
    if (a <= 180)
        return QPoint(Rnd(-std::cos(Rad(a)) * Tw), Rnd(std::sin(Rad(a)) * Tw + std::cos(Rad(180 - a)) * Th));
    if (a <= 270)
        return QPoint(Rnd(-std::cos(Rad(a)) * Tw + std::sin(Rad(a - 180)) * Th), Rnd(std::sin(Rad(270 - a)) * Th));
    return QPoint(Rnd(std::sin(Rad(360 - a)) * Th), 0);
}

QSize TRotateLabel::RotatedBounds(int A, int Tw, int Th)
{
    const double a = Rad(A);
    return QSize(std::abs(Rnd(std::cos(a) * Tw)) + std::abs(Rnd(std::sin(a) * Th)),
                 std::abs(Rnd(std::sin(a) * Tw)) + std::abs(Rnd(std::cos(a) * Th)));
}

QString TRotateLabel::DrawnCaption() const
{
    QString text = Platform::ToQString(m_caption);
    // An empty caption (or a lone accelerator mark) measures as one blank.
    if (text.isEmpty() || (m_showAccelChar && text == QLatin1String("&")))
        text = QStringLiteral(" ");
    return text;
}

QSize TRotateLabel::TextExtent() const
{
    const QFontMetrics fm(font());
    const int flags = Qt::TextExpandTabs | (m_showAccelChar ? Qt::TextShowMnemonic : 0);
    // Advance widths, as the text is laid out (not the glyphs' ink).
    const QSize s = fm.size(flags, DrawnCaption());
    return QSize(s.width(), std::max(s.height(), fm.height()));
}

QSize TRotateLabel::AutoSizeValue() const
{
    const QSize t = TextExtent();
    return RotatedBounds(m_escapement, t.width(), t.height());
}

QSize TRotateLabel::sizeHint() const { return AutoSizeValue(); }

void TRotateLabel::Changed()
{
    if (m_autoSize) {
        const QSize s = AutoSizeValue();
        if (s != size())
            resize(s);
        updateGeometry();
    }
    update();
}

void TRotateLabel::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    if (Event->type() == QEvent::FontChange)
        Changed();
    else if (Event->type() == QEvent::EnabledChange)
        update();
}

void TRotateLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!m_transparent && m_color != clNone)
        p.fillRect(rect(), Platform::ToQColor(m_color));
    const QSize t = TextExtent();
    QPoint origin = TextOffset(m_escapement, t.width(), t.height(), m_layout == tlTop);
    const QSize bounds = RotatedBounds(m_escapement, t.width(), t.height());
    if (!m_autoSize) {
        if (m_alignment == taCenter)
            origin.rx() += (width() - bounds.width()) / 2;
        else if (m_alignment == taRightJustify)
            origin.rx() += width() - bounds.width();
        if (m_layout == tlCenter)
            origin.ry() += (height() - bounds.height()) / 2;
        else if (m_layout == tlBottom)
            origin.ry() += height() - bounds.height();
    }
    const QString text = DrawnCaption();
    const int flags = Qt::TextExpandTabs | Qt::AlignLeft | Qt::AlignTop
                      | (m_showAccelChar ? Qt::TextShowMnemonic : 0) | (m_wordWrap ? Qt::TextWordWrap : 0);
    const int boxWidth = m_wordWrap ? std::max(width(), 1) : t.width() + 1;
    p.setFont(font());
    auto draw = [&](QPoint at, TColor c) {
        p.save();
        p.translate(at);
        p.rotate(-m_escapement);
        p.setPen(Platform::ToQColor(c));
        p.drawText(QRect(0, 0, boxWidth, std::max(height(), t.height())), flags, text);
        p.restore();
    };
    if (m_textStyle == tsRaised) {
        draw(origin + QPoint(1, 1), clBtnShadow);
        draw(origin - QPoint(1, 1), clBtnHighlight);
    } else if (m_textStyle == tsRecessed) {
        draw(origin + QPoint(1, 1), clBtnHighlight);
        draw(origin - QPoint(1, 1), clBtnShadow);
    }
    draw(origin, isEnabled() ? m_fontColor : clGrayText);
}
