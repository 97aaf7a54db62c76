#include "widgets/gauge.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "foundation/tixutils_paint.h"
#include "platform/qt/qt_text.h"
#include "widgets/theme_switch.h"

using Tixutils::GetCColor;

VTixGauge::VTixGauge(QWidget* Parent) : QWidget(Parent) { resize(100, 100); }

// ---- values -------------------------------------------------------------------

void VTixGauge::SetProgress(int Value)
{
    const int v = std::clamp(Value, m_min, m_max);
    if (v == m_progress)
        return;
    m_progress = v;
    Repaint();
}

void VTixGauge::AddProgress(int Delta)
{
    SetProgress(int(std::clamp<int64_t>(int64_t(m_progress) + Delta, INT32_MIN, INT32_MAX)));
    Repaint();
}

void VTixGauge::SetMinValue(int Value)
{
    if (Value == m_min)
        return;
    if (m_max < Value)
        SetMaxValue(Value);
    m_min = Value;
    if (m_progress < Value)
        m_progress = Value;
    if (AutoShowVals)
        SetShowMinValue(Value);
    Repaint();
}

void VTixGauge::SetMaxValue(int Value)
{
    if (Value == m_max)
        return;
    if (m_min > Value)
        SetMinValue(Value);
    m_max = Value;
    if (m_progress > Value)
        m_progress = Value;
    if (AutoShowVals)
        SetShowMaxValue(Value);
    Repaint();
}

void VTixGauge::SetShowMinValue(int Value)
{
    if (Value == m_showMin)
        return;
    m_showMin = Value;
    Repaint();
}

void VTixGauge::SetShowMaxValue(int Value)
{
    if (Value == m_showMax)
        return;
    m_showMax = Value;
    Repaint();
}

void VTixGauge::SetDigitsAfterPoint(int Value)
{
    const int v = std::clamp(Value, 0, 9);
    if (v == m_digits)
        return;
    m_digits = v;
    Repaint();
}

void VTixGauge::SetGaugeKind(VTixGaugeKind Value)
{
    if (Value == m_kind)
        return;
    m_kind = Value;
    if (parentWidget())
        parentWidget()->update();
    Repaint();
}

void VTixGauge::SetShowText(bool Value)
{
    if (Value == m_showText)
        return;
    m_showText = Value;
    Repaint();
}

void VTixGauge::SetBorderStyle(TBorderStyle Value)
{
    if (Value == m_borderStyle)
        return;
    m_borderStyle = Value;
    Repaint();
}

void VTixGauge::SetForeColor(TColor Value)
{
    if (Value == m_foreColor)
        return;
    m_foreColor = Value;
    Repaint();
}

void VTixGauge::SetBackColor(TColor Value)
{
    if (Value == m_backColor)
        return;
    m_backColor = Value;
    Repaint();
}

void VTixGauge::SetUnits(const std::string& Value)
{
    if (Value == m_units)
        return;
    m_units = Value;
    Repaint();
}

void VTixGauge::SetColor(TColor Value)
{
    if (Value == m_color)
        return;
    m_color = Value;
    Repaint();
}

void VTixGauge::SetFontColor(TColor Value)
{
    if (Value == m_fontColor)
        return;
    m_fontColor = Value;
    Repaint();
}

void VTixGauge::SetHint(const std::string& Value) { setToolTip(Platform::ToQString(Value)); }

double VTixGauge::SolveForY(double Part, double Whole)
{
    if (Whole == 0)
        return 0;
    return Part * 100 / Whole;
}

double VTixGauge::GetPercentDone() const
{
    const double v = SolveForY(double(int64_t(m_progress) - m_min), double(int64_t(m_max) - m_min));
    return m_digits == 0 ? std::floor(v + 0.5) : v;
}

double VTixGauge::GetShowPercentDone() const
{
    const double span = double(int64_t(m_showMax) - m_showMin);
    double v;
    if (m_max != m_min)
        v = span * double(int64_t(m_progress) - m_min) / double(int64_t(m_max) - m_min) + m_showMin;
    else
        v = m_showMin + span / 2;  // the middle of the shown range
    return m_digits == 0 ? std::floor(v + 0.5) : v;
}

std::string VTixGauge::progressString_() const
{
    const double v = GetShowPercentDone();
    char buf[64];
    std::to_chars_result r;
    if (m_digits == 0)
        r = std::to_chars(buf, buf + sizeof buf, int64_t(v));
    else
        r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, m_digits);
    std::string s(buf, r.ec == std::errc() ? r.ptr : buf);
    if (m_units != " ")
        s += m_units;
    return s;
}

double VTixGauge::Fraction() const
{
    if (m_max == m_min)
        return 0.5;
    return double(int64_t(m_progress) - m_min) / double(int64_t(m_max) - m_min);
}

// ---- painting ------------------------------------------------------------------------

namespace {

int Rnd(double v) { return int(std::lrint(v)); }

QColor Q(TColor c) { return Platform::ToQColor(c); }

struct Canvas {
    QPainter& p;
    int W, H;
    TColor outside;  // the background, or clNone: see-through

    // Pixels outside the picture show the background (or what lies behind
    // a transparent gauge).
    void Outside(const QRect& r) const
    {
        if (outside != clNone) {
            Fill(r, outside);
        } else {
            p.save();
            p.setCompositionMode(QPainter::CompositionMode_Clear);
            p.fillRect(r, Qt::transparent);
            p.restore();
        }
    }

    void Pixel(int x, int y, TColor c) const
    {
        if (c != clNone && x >= 0 && y >= 0 && x < W && y < H)
            p.fillRect(x, y, 1, 1, Q(c));
    }
    void Fill(const QRect& r, TColor c) const
    {
        if (c != clNone && r.width() > 0 && r.height() > 0)
            p.fillRect(r, Q(c));
    }
    // 1-pixel outline of the rectangle from (l, t) to (r, b) inclusive.
    void Outline(int l, int t, int r, int b, TColor c) const
    {
        if (c == clNone || r < l || b < t)
            return;
        Fill(QRect(l, t, r - l + 1, 1), c);
        Fill(QRect(l, b, r - l + 1, 1), c);
        Fill(QRect(l, t, 1, b - t + 1), c);
        Fill(QRect(r, t, 1, b - t + 1), c);
    }
};

// The shaded frame of the bars: cut corners, a frame line and rings
// fading towards the back colour.
void ThemedBarFrame(const Canvas& cv, TColor frame, TColor back)
{
    const int W = cv.W, H = cv.H;
    for (const QPoint& q : {QPoint(0, 0), QPoint(W - 1, 0), QPoint(0, H - 1), QPoint(W - 1, H - 1)})
        cv.Outside(QRect(q, QSize(1, 1)));
    const TColor half = GetCColor(frame, back, 100, 50);
    for (const QPoint& q : {QPoint(1, 0), QPoint(0, 1), QPoint(W - 2, 0), QPoint(W - 1, 1), QPoint(0, H - 2),
                            QPoint(1, H - 1), QPoint(W - 2, H - 1), QPoint(W - 1, H - 2)})
        cv.Pixel(q.x(), q.y(), half);
    cv.Fill(QRect(2, 0, W - 4, 1), frame);
    cv.Fill(QRect(2, H - 1, W - 4, 1), frame);
    cv.Fill(QRect(0, 2, 1, H - 4), frame);
    cv.Fill(QRect(W - 1, 2, 1, H - 4), frame);
    cv.Outline(1, 1, W - 2, H - 2, GetCColor(frame, back, 100, 60));
    cv.Outline(2, 2, W - 3, H - 3, GetCColor(frame, back, 100, 80));
    cv.Outline(3, 3, W - 4, H - 4, back);
}

void Bars(const Canvas& cv, const VTixGaugePaintColors& c, bool vertical, double f, bool themes)
{
    const int W = cv.W, H = cv.H;
    const int e = themes ? 3 : 1;
    if (!themes)
        cv.Outline(0, 0, W - 1, H - 1, c.FrameColor);
    else
        ThemedBarFrame(cv, c.FrameColor, c.BackColor);
    if (!vertical) {
        const int x = e + Rnd(f * (W - 2 * e));
        cv.Fill(QRect(x, e, W - e - x, H - 2 * e), c.BackColor);
        if (e < x) {
            int top = e, bottom = H - e - 1;
            if (themes) {
                const int inner = H - 2 * e;
                const std::pair<int, int> steps[] = {{11, 80}, {6, 50}, {9, 20}};
                for (const auto& [limit, pct] : steps) {
                    if (inner <= limit || top > bottom)
                        continue;
                    const TColor shade = GetCColor(c.ForeColor, c.BackColor, 100, pct);
                    cv.Fill(QRect(e, top, x - e, 1), shade);
                    cv.Fill(QRect(e, bottom, x - e, 1), shade);
                    ++top;
                    --bottom;
                }
            }
            cv.Fill(QRect(e, top, x - e, bottom - top + 1), c.ForeColor);
        }
    } else {
        const int y = H - e - Rnd(f * (H - 2 * e));
        cv.Fill(QRect(e, e, W - 2 * e, y - e), c.BackColor);
        if (H - e > y) {
            int left = e, right = W - e - 1;
            if (themes) {
                const int inner = W - 2 * e;
                const std::pair<int, int> steps[] = {{6, 80}, {4, 50}, {2, 20}};
                for (const auto& [limit, pct] : steps) {
                    if (inner <= limit || left > right)
                        continue;
                    const TColor shade = GetCColor(c.ForeColor, c.BackColor, 100, pct);
                    cv.Fill(QRect(left, y, 1, H - e - y), shade);
                    cv.Fill(QRect(right, y, 1, H - e - y), shade);
                    ++left;
                    --right;
                }
            }
            cv.Fill(QRect(left, y, right - left + 1, H - e - y), c.ForeColor);
        }
    }
}

void Ellipse(QPainter& p, const QRectF& r, TColor fill, TColor outline)
{
    if (fill == clNone && outline == clNone)
        return;
    p.setPen(outline == clNone ? QPen(Qt::NoPen) : QPen(Q(outline), 0));
    p.setBrush(fill == clNone ? QBrush(Qt::NoBrush) : QBrush(Q(fill)));
    p.drawEllipse(r);
}

void Pie(const Canvas& cv, const VTixGaugePaintColors& c, double f, bool drawSector, bool themes,
         bool bsSingle)
{
    QPainter& p = cv.p;
    const int inset = themes ? 2 : 0;
    const int shrink = bsSingle ? 0 : 1;
    const QRectF disc(inset, inset, cv.W - 2 * inset - shrink, cv.H - 2 * inset - shrink);
    if (themes) {
        // The shaded ring around the disc.
        const QRectF outer = disc.adjusted(-2, -2, 2, 2).adjusted(0.5, 0.5, -0.5, -0.5);
        Ellipse(p, outer.translated(1, 1), clNone, GetCColor(c.FrameColor, c.BackColor, 100, 50));
        Ellipse(p, outer, clNone, c.FrameColor);
        const QRectF mid = disc.adjusted(-1, -1, 1, 1).adjusted(0.5, 0.5, -0.5, -0.5);
        const TColor a60 = GetCColor(c.FrameColor, c.BackColor, 100, 60);
        const TColor a80 = GetCColor(c.FrameColor, c.BackColor, 100, 80);
        if (a60 != clNone) {
            p.setPen(QPen(Q(a60), 0));
            p.drawArc(mid, 45 * 16, 180 * 16);
        }
        if (a80 != clNone) {
            p.setPen(QPen(Q(a80), 0));
            p.drawArc(mid, 225 * 16, 180 * 16);
        }
    }
    if (c.Color != clNone)
        Ellipse(p, disc, c.BackColor, clNone);
    if (drawSector) {
        // From twelve o'clock clockwise through f of the circle.
        auto sector = [&](const QRectF& r, TColor col) {
            if (col == clNone || r.width() <= 0 || r.height() <= 0)
                return;
            p.setPen(Qt::NoPen);
            p.setBrush(Q(col));
            if (f >= 1.0)
                p.drawEllipse(r);
            else
                p.drawPie(r, 90 * 16, -Rnd(f * 360 * 16));
        };
        if (themes) {
            sector(disc, GetCColor(c.ForeColor, c.BackColor, 100, 80));
            sector(disc.adjusted(1, 1, -1, -1), GetCColor(c.ForeColor, c.BackColor, 100, 50));
            sector(disc.adjusted(2, 2, -2, -2), GetCColor(c.ForeColor, c.BackColor, 100, 20));
            sector(disc.adjusted(3, 3, -3, -3), c.ForeColor);
        } else {
            sector(disc, c.ForeColor);
        }
    }
    if (!themes)
        Ellipse(p, disc.adjusted(0.5, 0.5, -0.5, -0.5), clNone, c.FrameColor);
}

void Needle(const Canvas& cv, const VTixGaugePaintColors& c, double f, bool themes)
{
    QPainter& p = cv.p;
    const int W = cv.W, H = cv.H;
    const int e = themes ? 2 : 0;
    cv.Outside(QRect(0, 0, W, H));
    p.save();
    p.setClipRect(QRect(0, 0, W, H));
    if (themes) {
        const int pcts[] = {50, 0, 60, 80};
        for (int k = 0; k < 4; ++k) {
            const QRectF r(k + 0.5, k + 0.5, W - 2 * k - 1, 2 * (H - k) - 1);
            Ellipse(p, r, clNone, GetCColor(c.FrameColor, c.BackColor, 100, pcts[k]));
        }
        Ellipse(p, QRectF(4, 4, W - 8, 2 * (H - 4)), c.BackColor, clNone);
    } else {
        Ellipse(p, QRectF(0, 0, W, 2 * H), c.BackColor, clNone);
        Ellipse(p, QRectF(0.5, 0.5, W - 1, 2 * H - 1), clNone, c.FrameColor);
    }
    p.restore();
    if (c.ForeColor == clNone)
        return;
    const double phi = f * M_PI;
    const QPoint from(W / 2, H - 1);
    const QPoint to(Rnd((1 - std::cos(phi)) * (W - e - 1) / 2), Rnd((1 - std::sin(phi)) * (H - 1 - e)));
    p.setPen(QPen(Q(c.ForeColor), 0));
    p.drawLine(from, to);
    cv.Pixel(to.x(), to.y(), c.ForeColor);
}

// Draws the text over the picture: each text pixel in the font colour
// over a light part and in the inverted font colour over a dark one.
void CompositeText(QImage& pic, const QFont& font, const std::string& text, TColor fontColor)
{
    const QString q = Platform::ToQString(text);
    const QFontMetrics fm(font);
    const int W = pic.width(), H = pic.height();
    const int x = (W - 1 - fm.horizontalAdvance(q)) / 2;
    const int y = (H - 1 - fm.height()) / 2;
    QImage mask(W, H, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        // Whole pixels, as the mask of the design's text: a smoothed edge
        // would mix the font colour with the bar under it (purple over
        // lime turns a dull green that barely reads).
        QFont plain(font);
        plain.setStyleStrategy(QFont::NoAntialias);
        QPainter mp(&mask);
        mp.setRenderHint(QPainter::TextAntialiasing, false);
        mp.setFont(plain);
        mp.setPen(Qt::black);
        mp.setClipRect(QRect(0, 0, W, H));
        mp.drawText(QPoint(x, y + fm.ascent()), q);
    }
    const TColor rgb = Platform::ColorToRGB(fontColor);
    const TColor inverted = TColor(uint32_t(rgb) ^ 0xFFFFFFu);
    for (int row = 0; row < H; ++row) {
        const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(row));
        auto* d = reinterpret_cast<QRgb*>(pic.scanLine(row));
        for (int col = 0; col < W; ++col) {
            const int a = qAlpha(m[col]);
            if (a == 0)
                continue;
            const QRgb under = d[col];
            const int ua = qAlpha(under);
            bool dark = false;
            if (ua > 0) {
                const QRgb u = qUnpremultiply(under);
                dark = Tixutils::IsColorDark2(Platform::MakeColor(uint8_t(qRed(u)), uint8_t(qGreen(u)), uint8_t(qBlue(u))));
            }
            const TColor tc = dark ? inverted : rgb;
            const double k = a / 255.0;
            auto mix = [&](int textCh, int underCh) { return int(std::lround(textCh * k + underCh * (1 - k))); };
            d[col] = qRgba(mix(Platform::ColorR(tc), qRed(under)), mix(Platform::ColorG(tc), qGreen(under)),
                           mix(Platform::ColorB(tc), qBlue(under)), mix(255, ua));
        }
    }
}

}  // namespace

void VTixGauge::paintEvent(QPaintEvent*)
{
    VTixGaugePaintColors c;
    c.ForeColor = m_foreColor;
    c.BackColor = m_backColor;
    c.Color = m_color;
    c.FrameColor = Platform::MakeColor(0x50, 0x50, 0x50);
    c.FontColor = m_fontColor;
    c.Text = m_showText ? progressString_() : std::string();
    if (OnGetColors)
        OnGetColors(this, c);
    for (TColor* col : {&c.ForeColor, &c.BackColor, &c.Color, &c.FrameColor, &c.FontColor}) {
        if (*col != clNone)
            *col = Platform::ColorToRGB(*col);
    }

    const int W = width(), H = height();
    if (W <= 0 || H <= 0)
        return;
    const bool themes = Widgets::ThemesEnabled();
    // The picture is built off-screen with an alpha channel: what is not
    // drawn stays transparent and shows what lies behind the gauge.
    QImage pic(W, H, QImage::Format_ARGB32_Premultiplied);
    pic.fill(Qt::transparent);
    {
        QPainter p(&pic);
        p.setRenderHint(QPainter::Antialiasing, false);
        const Canvas cv{p, W, H, c.Color};
        if (c.Color != clNone) {
            cv.Fill(QRect(0, 0, W, H), c.Color);
            cv.Outline(0, 0, W - 1, H - 1, c.FrameColor);
        }
        const double f = Fraction();
        switch (m_kind) {
        case vgkText:
            cv.Fill(QRect(0, 0, W, H), c.BackColor);
            break;
        case vgkHorizontalBar:
        case vgkVerticalBar:
            Bars(cv, c, m_kind == vgkVerticalBar, f, themes);
            break;
        case vgkPie:
            Pie(cv, c, f, GetPercentDone() > 0, themes, m_borderStyle == bsSingle);
            break;
        case vgkNeedle:
            Needle(cv, c, f, themes);
            break;
        }
    }
    if (!c.Text.empty() && c.FontColor != clNone)
        CompositeText(pic, font(), c.Text, c.FontColor);
    QPainter wp(this);
    wp.drawImage(0, 0, pic);
}

void VTixGauge::moveEvent(QMoveEvent* Event)
{
    QWidget::moveEvent(Event);
    if (parentWidget())
        parentWidget()->update();
}

void VTixGauge::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    if (parentWidget())
        parentWidget()->update();
}
