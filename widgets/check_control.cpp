#include "widgets/check_control.h"

#include <QFontMetrics>
#include <QLayout>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <algorithm>
#include <cmath>

#include "foundation/tixutils_paint.h"
#include "platform/qt/qt_text.h"
#include "widgets/check_painter.h"
#include "widgets/image_list.h"
#include "widgets/theme_switch.h"

using Tixutils::GetCColor;

namespace {

// Rounds half to even, as the layout rules expect.
int Rnd(double v) { return int(std::lrint(v)); }

std::string StripTrailingLineBreaks(std::string s)
{
    while (s.size() >= 2 && s[s.size() - 2] == '\r' && s.back() == '\n')
        s.resize(s.size() - 2);
    return s;
}

// A text split into lines at CR LF, CR or LF; a final line break adds no
// empty line.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        lines.push_back(cur);
    return lines;
}

// Whether the layout, or one nested in it, places the widget.
bool LayoutHolds(const QLayout* layout, const QWidget* widget)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget)
            return true;
        if (const QLayout* inner = item->layout(); inner && LayoutHolds(inner, widget))
            return true;
    }
    return false;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out += "\r\n";
        out += lines[i];
    }
    return out;
}

}  // namespace

struct TIACheckControl::Layout {
    int bw = 0, bh = 0;   // image size
    int tw = 1, th = 1;   // text block, measured
    double a = 0;         // angle in radians
    int rw = 0, rh = 0;   // rotated bounds
    QSize full;
    QRect image;
    QPoint origin;
    std::vector<QString> lines;
    std::vector<QPoint> linePos;
    QPolygon quad;        // the text block's corners, for the region
    int lineHeight = 0;
    int ascent = 0;
};

TIACheckControl::TIACheckControl(QWidget* Parent) : QWidget(Parent)
{
    resize(80, 20);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    m_text = "CheckText";
    m_lines = {m_text};
    ApplyRegion();
}

TIACheckControl::~TIACheckControl() = default;

void TIACheckControl::Assign(const TIACheckControl& Source)
{
    if (&Source == this)
        return;
    resize(Source.size());
    m_color = Source.m_color;
    m_fontColor = Source.m_fontColor;
    m_autoSize = Source.m_autoSize;
    setFont(Source.font());
    SetText(Source.m_text);
    SetTextLines(Source.m_lines);
    m_controlType = Source.m_controlType;
    m_groupIndex = Source.m_groupIndex;
    SetChecked(Source.m_checked);
    m_fieldColor1 = Source.m_fieldColor1;
    m_fieldColor2 = Source.m_fieldColor2;
    m_style = Source.m_style;
    m_textAlign = Source.m_textAlign;
    m_fieldHAlign = Source.m_fieldHAlign;
    m_fieldVAlign = Source.m_fieldVAlign;
    m_imageList = Source.m_imageList;
    m_gap = Source.m_gap;
    m_transparent = Source.m_transparent;
    setFocusPolicy(Source.focusPolicy());
    m_showFocus = Source.m_showFocus;
    m_text3D = Source.m_text3D;
    m_checkMarkSize = Source.m_checkMarkSize;
    WrapAgain();
    ApplyRegion();
}

// ---- state ------------------------------------------------------------------

void TIACheckControl::SetChecked(bool Value)
{
    if (Value == m_checked)
        return;
    m_checked = Value;
    if (m_checked && m_controlType == iacctSelect)
        ClearGroup();
    QPointer<TIACheckControl> self(this);
    if (OnChangeState)
        OnChangeState(this, Value);
    if (self)
        ApplyRegion();
}

void TIACheckControl::ClearGroup()
{
    QWidget* parent = parentWidget();
    if (!parent || m_groupIndex == 0)
        return;
    // A copy: event handlers may add or remove controls.
    const QObjectList kids = parent->children();
    std::vector<QPointer<TIACheckControl>> group;
    for (QObject* o : kids) {
        auto* c = qobject_cast<TIACheckControl*>(o);
        if (c && c != this && c->m_controlType == iacctSelect && c->m_groupIndex == m_groupIndex)
            group.emplace_back(c);
    }
    for (auto& c : group) {
        if (c)
            c->SetChecked(false);
    }
}

void TIACheckControl::SetControlType(VTixCheckControlType Value)
{
    if (Value == m_controlType)
        return;
    m_controlType = Value;
    if (m_checked && Value == iacctSelect)
        ClearGroup();
    ApplyRegion();
}

// ---- plain properties ---------------------------------------------------------

void TIACheckControl::SetStyle(VTixCheckControlStyle Value)
{
    if (Value == m_style)
        return;
    m_style = Value;
    ApplyRegion();
}

void TIACheckControl::SetGroupIndex(uint32_t Value)
{
    if (Value == m_groupIndex)
        return;
    m_groupIndex = Value;
    ApplyRegion();
}

int TIACheckControl::NormalizeTextAngle(int Value)
{
    // Into -1799..1800 in whole turns of 3600.
    int64_t v = (int64_t(Value) + 1799) % 3600;
    if (v < 0)
        v += 3600;
    return int(v - 1799);
}

void TIACheckControl::SetTextAngle(int Value)
{
    const int v = NormalizeTextAngle(Value);
    if (v == m_textAngle)
        return;
    m_textAngle = v;
    ApplyRegion();
}

void TIACheckControl::SetTextAlign(VTixCheckControlTextHAlign Value)
{
    if (Value == m_textAlign)
        return;
    m_textAlign = Value;
    ApplyRegion();
}

void TIACheckControl::SetTextFieldHorizontalAlign(VTixCheckControlTextHAlign Value)
{
    if (Value == m_fieldHAlign)
        return;
    m_fieldHAlign = Value;
    ApplyRegion();
}

void TIACheckControl::SetTextFieldVerticalAlign(VTixCheckControlTextVAlign Value)
{
    if (Value == m_fieldVAlign)
        return;
    m_fieldVAlign = Value;
    ApplyRegion();
}

void TIACheckControl::SetGapTextToImage(uint8_t Value)
{
    if (Value == m_gap)
        return;
    m_gap = Value;
    ApplyRegion();
}

void TIACheckControl::SetTransparent(bool Value)
{
    if (Value == m_transparent)
        return;
    m_transparent = Value;
    ApplyRegion();
}

void TIACheckControl::SetShowFocus(bool Value)
{
    if (Value == m_showFocus)
        return;
    m_showFocus = Value;
    update();
}

void TIACheckControl::SetText3DStyle(VTixCheckControlText3DStyle Value)
{
    if (Value == m_text3D)
        return;
    m_text3D = Value;
    update();
}

void TIACheckControl::SetCheckFieldColor1(TColor Value)
{
    if (Value == m_fieldColor1)
        return;
    m_fieldColor1 = Value;
    update();
}

void TIACheckControl::SetCheckFieldColor2(TColor Value)
{
    if (Value == m_fieldColor2)
        return;
    m_fieldColor2 = Value;
    update();
}

void TIACheckControl::SetCheckMarkSize(int Value)
{
    if (Value == m_checkMarkSize)
        return;
    m_checkMarkSize = std::max(0, Value);
    WrapAgain();
}

void TIACheckControl::SetColor(TColor Value)
{
    if (Value == m_color)
        return;
    m_color = Value;
    update();
}

void TIACheckControl::SetFontColor(TColor Value)
{
    if (Value == m_fontColor)
        return;
    m_fontColor = Value;
    update();
}

void TIACheckControl::SetAutoSize(bool Value)
{
    const bool changed = Value != m_autoSize;
    m_autoSize = Value;
    ApplyRegion(changed);
}

void TIACheckControl::SetHint(const std::string& Value) { setToolTip(Platform::ToQString(Value)); }

bool TIACheckControl::LessColorDistanceThen(TColor A, TColor B, int Limit)
{
    return ::LessColorDistanceThen(A, B, Limit);
}

// ---- text -----------------------------------------------------------------------

void TIACheckControl::SetText(const std::string& Value)
{
    if (StripTrailingLineBreaks(Value) == m_text)
        return;
    m_text = Value;
    if (!m_syncingText)
        WrapAgain();
}

void TIACheckControl::SetTextLines(const std::vector<std::string>& Lines)
{
    std::vector<std::string> lines;
    for (const std::string& entry : Lines) {
        // An entry holding line breaks becomes several lines.
        std::vector<std::string> parts = SplitLines(entry);
        if (parts.empty())
            parts.emplace_back();
        lines.insert(lines.end(), parts.begin(), parts.end());
    }
    m_lines = std::move(lines);
    LinesChanged();
}

void TIACheckControl::LinesChanged()
{
    if (m_syncingText)
        return;
    m_syncingText = true;
    m_textFromLines = true;
    while (!m_lines.empty() && m_lines.back().empty())
        m_lines.pop_back();
    SetText(JoinLines(m_lines));
    m_syncingText = false;
    ApplyRegion();
}

void TIACheckControl::WrapAgain()
{
    if (!m_autoSize) {
        m_wrapPending = false;
        const int imageWidth = m_style == iaccsBitmap ? (m_imageList ? m_imageList->Width() : 20) : m_checkMarkSize;
        const int limit = m_fieldHAlign == iaccthaCenter ? width() : width() - m_gap - imageWidth;
        const QFontMetrics fm(font());
        std::vector<std::string> lines;
        Tixutils::BreakStringToStringList(
            m_text, lines,
            [&fm](const std::string& s) { return fm.horizontalAdvance(Platform::ToQString(s)); }, limit);
        m_lines = std::move(lines);
        LinesChanged();
        return;
    }
    m_wrapPending = true;
    const bool fromLines = m_textFromLines;
    m_lines = SplitLines(m_text);
    LinesChanged();
    m_textFromLines = fromLines;
}

// ---- layout -----------------------------------------------------------------------

TIACheckControl::Layout TIACheckControl::ComputeLayout() const
{
    Layout L;
    if (m_style == iaccsBitmap) {
        L.bw = m_imageList ? m_imageList->Width() : 20;
        L.bh = m_imageList ? m_imageList->Height() : 20;
    } else {
        L.bw = L.bh = m_checkMarkSize;
    }
    const QFontMetrics fm(font());
    L.lineHeight = fm.height();
    L.ascent = fm.ascent();
    std::vector<int> widths;
    if (!m_lines.empty()) {
        int widest = 0, sum = 0;
        for (const std::string& s : m_lines) {
            L.lines.push_back(Platform::ToQString(s));
            widths.push_back(fm.horizontalAdvance(L.lines.back()));
            widest = std::max(widest, widths.back());
            sum += L.lineHeight;
        }
        L.tw = widest + 1;
        L.th = sum + 1;
    }
    L.a = m_textAngle * M_PI / 1800.0;
    const double ca = std::cos(L.a), sa = std::sin(L.a);
    const int gap = m_gap;
    const bool framed = IsFramedCheckStyle(m_style);

    const double twPos = (!m_autoSize && m_fieldVAlign != iacctvaCenter) ? width() : L.tw;
    L.rw = Rnd(std::fabs(twPos * ca) + std::fabs(L.th * sa));
    L.rh = Rnd(std::fabs(twPos * sa) + std::fabs(L.th * ca));

    // Full size. Image centred over the text with the text also centred
    // vertically is laid out as the image above the text.
    const bool centred = m_fieldHAlign == iaccthaCenter;
    int fw, fh;
    if (!centred) {
        fw = gap + L.bw + L.rw;
        fh = std::max(L.bh, L.rh);
    } else {
        fw = std::max(L.bw, L.rw);
        fh = gap + L.bh + L.rh;
    }
    if (framed) {
        fw += 1;
        fh += 2;
    }
    L.full = QSize(fw, fh);
    const int W = m_autoSize ? fw : width();

    int ix = 0, iy = 0;
    switch (m_fieldHAlign) {
    case iaccthaLeft: ix = 0; break;
    case iaccthaRight: ix = W - L.bw; break;
    case iaccthaCenter: ix = std::max(0, (L.rw - L.bw) / 2); break;
    }
    if (!centred) {
        switch (m_fieldVAlign) {
        case iacctvaTop: iy = 0; break;
        case iacctvaBottom: iy = std::max(0, L.rh - L.bh); break;
        case iacctvaCenter: iy = std::max(0, (L.rh - L.bh) / 2); break;
        }
        if (framed)
            iy += 2;
    } else {
        iy = m_fieldVAlign == iacctvaBottom ? gap + L.rh : 0;
    }
    L.image = QRect(ix, iy, L.bw, L.bh);

    const int dx = Rnd(L.tw * ca) + Rnd(L.th * sa);
    const int dy = Rnd(-L.tw * sa) + Rnd(L.th * ca);
    int fx = 0, fy = 0;
    switch (m_fieldHAlign) {
    case iaccthaLeft:
        fx = std::abs(dx) + 2 * (gap + L.bw);
        fy = std::abs(dy);
        break;
    case iaccthaRight:
        fx = 2 * (W - L.bw - gap) - std::abs(dx);
        fy = std::abs(dy);
        break;
    case iaccthaCenter:
        fx = W;
        fy = m_fieldVAlign == iacctvaBottom ? std::abs(dy) : std::abs(dy) + 2 * (gap + L.bh);
        break;
    }
    L.origin = QPoint((fx - dx) / 2, (fy - dy) / 2 + (framed ? 1 : 0));

    int yo = 0;
    for (size_t i = 0; i < L.lines.size(); ++i) {
        int xo = 0;
        if (m_textAlign == iaccthaRight)
            xo = L.tw - widths[i];
        else if (m_textAlign == iaccthaCenter)
            xo = (L.tw - widths[i]) / 2;
        L.linePos.push_back(L.origin + QPoint(Rnd(xo * ca + yo * sa), Rnd(-xo * sa + yo * ca)));
        yo += L.lineHeight;
    }

    QPoint p0 = L.origin;
    QPoint p1 = p0 + QPoint(Rnd(L.tw * ca), -Rnd(L.tw * sa));
    const QPoint down(Rnd(L.th * sa), Rnd(L.th * ca));
    QPoint p2 = p1 + down;
    QPoint p3 = p0 + down;
    if (framed) {
        p0 += QPoint(-1, -1);
        p1 += QPoint(0, -1);
        p2 += QPoint(0, 1);
        p3 += QPoint(-1, 2);
    }
    L.quad << p0 << p1 << p2 << p3;
    return L;
}

QSize TIACheckControl::FullSize() const { return ComputeLayout().full; }

QRect TIACheckControl::ImageRect() const { return ComputeLayout().image; }

QPolygon TIACheckControl::TextQuad() const { return ComputeLayout().quad; }

QSize TIACheckControl::sizeHint() const { return FullSize(); }

bool TIACheckControl::PlacedByLayout() const
{
    const QWidget* parent = parentWidget();
    return parent && parent->layout() && LayoutHolds(parent->layout(), this);
}

void TIACheckControl::ApplyRegion(bool Repaint)
{
    if (m_applyingRegion)
        return;
    m_applyingRegion = true;
    // One layout serves the size and the mask; only a resize, which may
    // wrap the text again, asks for a fresh one.
    Layout L;
    if (m_autoSize || m_transparent)
        L = ComputeLayout();
    if (m_autoSize) {
        const QSize full = L.full;
        // A layout owns the geometry of what it places: the control then
        // asks for its size through the size hint instead of taking it,
        // or the two would resize (and repaint) each other without end.
        if (full != size() && !PlacedByLayout()) {
            resize(full);
            if (m_transparent)
                L = ComputeLayout();
        }
        if (full != m_hintedSize) {
            m_hintedSize = full;
            updateGeometry();
        }
    }
    if (m_transparent) {
        QRegion region = QRegion(L.image) | QRegion(L.quad, Qt::OddEvenFill);
        // The lamp is painted one pixel higher than its image box.
        if (m_style == iaccsStyleLamp)
            region |= QRegion(L.image.translated(0, -1));
        if (region != mask())
            setMask(region);
    } else if (!mask().isEmpty()) {
        clearMask();
    }
    if (Repaint)
        update();
    m_applyingRegion = false;
}

// ---- painting -------------------------------------------------------------------

unsigned TIACheckControl::StateWord() const
{
    using P = VTixCheckImageParams;
    unsigned s = 0;
    if (m_controlType == iacctSelect)
        s |= P::Radio;
    if (!isEnabled())
        s |= P::Inactive;
    if ((m_captured && m_mouseOver) || m_keyPressed)
        s |= P::Pushed;
    if (m_checked)
        s |= P::Checked;
    if (m_mouseOver != m_captured)
        s |= P::Hot;
    return s;
}

bool TIACheckControl::RadioForm() const
{
    if (m_controlType == iacctSelect)
        return true;
    if (m_controlType == iacctReadOnly)
        return m_style == iaccsStyle1 || m_style == iaccsStyle1Small || m_style == iaccsStyle2
               || m_style == iaccsStyle3;
    return false;
}

void TIACheckControl::DrawTextLine(QPainter& Painter, QPoint Pos, const QString& Line, TColor Color,
                                   int Ascent) const
{
    if (Color == clNone)
        return;
    Painter.save();
    Painter.translate(Pos);
    Painter.rotate(-m_textAngle / 10.0);
    Painter.setPen(Platform::ToQColor(Color));
    Painter.drawText(QPoint(0, Ascent), Line);
    Painter.restore();
}

void TIACheckControl::DrawFocusFrame(QPainter& Painter, const Layout& L) const
{
    if (m_text.empty())
        return;
    int tw = L.tw, th = L.th;
    QPoint offset;
    const double ca = std::cos(L.a), sa = std::sin(L.a);
    if (IsFramedCheckStyle(m_style)) {
        offset = QPoint(-1, -1);
    } else {
        offset = QPoint(Rnd(2 * ca + 2 * sa), Rnd(-2 * sa + 2 * ca));
        tw -= 4;
        th -= 4;
    }
    const QPoint q0 = L.origin + offset;
    const QPoint q1 = q0 + QPoint(Rnd(tw * ca), -Rnd(tw * sa));
    const QPoint down(Rnd(th * sa), Rnd(th * ca));
    const QPoint q2 = q1 + down;
    const QPoint q3 = q0 + down;
    const QColor black(0, 0, 0);
    // The line walker stops before the end point; pixels where x and y
    // differ in parity make the dotted frame.
    auto walk = [&](QPoint a, QPoint b) {
        int x = a.x(), y = a.y();
        const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
        const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
        int err = dx + dy;
        while (x != b.x() || y != b.y()) {
            if ((x ^ y) & 1)
                Painter.fillRect(x, y, 1, 1, black);
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    };
    walk(q0, q1);
    walk(q1, q2);
    walk(q2, q3);
    walk(q3, q0);
}

void TIACheckControl::paintEvent(QPaintEvent*)
{
    // The layout is computed once, unless taking the full size or wrapping
    // the text changes what it depends on.
    Layout L;
    bool laidOut = false;
    if (m_autoSize) {
        L = ComputeLayout();
        laidOut = true;
        if (L.full != size() && !PlacedByLayout()) {
            ApplyRegion(false);
            laidOut = false;
        }
    }
    if (m_wrapPending && !m_autoSize)
        WrapAgain();
    if (!laidOut)
        L = ComputeLayout();

    QPainter p(this);
    const bool themes = Widgets::ThemesEnabled();
    // A transparent control with visual styles lets the parent show
    // through; otherwise it fills its own background.
    if (!(m_transparent && themes) && m_color != clNone)
        p.fillRect(rect(), Platform::ToQColor(m_color));

    const bool enabled = isEnabled();
    const bool framed = IsFramedCheckStyle(m_style);
    const TColor light = GetCColor(m_color, clWhite, 100, 30);
    const TColor dark = GetCColor(m_color, clBlack, 100, 30);
    const TColor main = enabled ? m_fontColor : GetCColor(m_fontColor, m_color, 100, 50);
    p.setFont(font());
    for (size_t i = 0; i < L.lines.size(); ++i) {
        const QPoint pos = L.linePos[i];
        const QString& line = L.lines[i];
        switch (m_text3D) {
        case iscct3dsSimple:
            if (enabled) {
                DrawTextLine(p, pos, line, m_fontColor, L.ascent);
            } else if (!framed) {
                DrawTextLine(p, pos, line, main, L.ascent);
            } else {
                DrawTextLine(p, pos + QPoint(1, 1), line, clHighlightText, L.ascent);
                DrawTextLine(p, pos, line, clGrayText, L.ascent);
            }
            break;
        case iscct3dsUp:
            DrawTextLine(p, pos + QPoint(1, 1), line, dark, L.ascent);
            DrawTextLine(p, pos - QPoint(1, 1), line, light, L.ascent);
            DrawTextLine(p, pos, line, main, L.ascent);
            break;
        case iscct3dsDown:
            DrawTextLine(p, pos + QPoint(1, 1), line, light, L.ascent);
            DrawTextLine(p, pos - QPoint(1, 1), line, dark, L.ascent);
            DrawTextLine(p, pos, line, main, L.ascent);
            break;
        }
    }
    if (m_showFocus && hasFocus() && enabled)
        DrawFocusFrame(p, L);

    VTixCheckImageParams prm;
    prm.Style = m_style;
    prm.RadioForm = RadioForm();
    prm.State = StateWord();
    prm.Color = m_color;
    prm.CheckFieldColor1 = m_fieldColor1;
    prm.CheckFieldColor2 = m_fieldColor2;
    prm.Box = L.image;
    prm.CheckMarkSize = m_checkMarkSize;
    prm.ImageList = m_imageList;
    prm.ThemesEnabled = themes;
    PaintCheckImage(p, prm);
}

// ---- input --------------------------------------------------------------------------
