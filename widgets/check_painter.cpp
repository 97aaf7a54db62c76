#include "widgets/check_painter.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "foundation/tixutils_paint.h"
#include "platform/qt/qt_text.h"
#include "widgets/check_shapes.h"
#include "widgets/image_list.h"

using Tixutils::GetCColor;

bool LessColorDistanceThen(TColor A, TColor B, int Limit)
{
    const TColor a = Platform::ColorToRGB(A);
    const TColor b = Platform::ColorToRGB(B);
    const int d = std::abs(int(Platform::ColorR(a)) - int(Platform::ColorR(b)))
                  + std::abs(int(Platform::ColorG(a)) - int(Platform::ColorG(b)))
                  + std::abs(int(Platform::ColorB(a)) - int(Platform::ColorB(b)));
    return d < Limit;
}

namespace {

using P = VTixCheckImageParams;

struct Shades {
    TColor F1, F2, L1, L2, D1, D2;
};

Shades MakeShades(const P& p)
{
    Shades s{};
    const bool enabled = !(p.State & P::Inactive);
    if (enabled || p.Style == iaccsStyleLamp) {
        s.F1 = p.CheckFieldColor1;
        s.F2 = p.CheckFieldColor2;
    } else {
        s.F1 = GetCColor(clBtnFace, p.CheckFieldColor1, 100, 40);
        s.F2 = GetCColor(p.Color, p.CheckFieldColor2, 100, p.Style == iaccsStyleWin ? 30 : 40);
    }
    switch (p.Style) {
    case iaccsStyleLamp:
        s.L1 = GetCColor(s.F1, p.Color, 100, 60);
        s.L2 = GetCColor(s.F2, p.Color, 100, 60);
        s.D1 = GetCColor(s.F1, p.Color, 100, 40);
        s.D2 = GetCColor(s.F2, p.Color, 100, 40);
        break;
    case iaccsStyleWin:
    case iaccsStyleButton:
        s.L1 = GetCColor(s.F1, clWhite, 100, 30);
        s.L2 = GetCColor(s.F2, clWhite, 100, 30);
        s.D1 = GetCColor(s.F1, clBlack, 100, 30);
        s.D2 = GetCColor(s.F2, clBlack, 100, 30);
        break;
    default: {
        const TColor m = GetCColor(s.F2, s.F1, 100, 50);
        s.L1 = GetCColor(s.F1, clWhite, 100, 30);
        s.L2 = GetCColor(m, clWhite, 100, 30);
        s.D1 = GetCColor(s.F1, clBlack, 100, 30);
        s.D2 = GetCColor(m, clBlack, 100, 30);
        break;
    }
    }
    return s;
}

bool NearBlack(TColor c) { return LessColorDistanceThen(c, clBlack, 384); }

QColor Q(TColor c) { return Platform::ToQColor(c); }

// Exact pixels, no smoothing: the classic images are pixel art.
void Aliased(QPainter& p) { p.setRenderHint(QPainter::Antialiasing, false); }

void FillPolygon(QPainter& p, const QPolygon& poly, TColor fill, TColor outline)
{
    if (fill == clNone && outline == clNone)
        return;
    p.setPen(outline == clNone ? QPen(Qt::NoPen) : QPen(Q(outline), 0));
    p.setBrush(fill == clNone ? QBrush(Qt::NoBrush) : QBrush(Q(fill)));
    p.drawPolygon(poly);
}

void FillPixels(QPainter& p, int x0, int y0, int x1, int y1, TColor c)
{
    if (c == clNone || x1 < x0 || y1 < y0)
        return;
    p.fillRect(QRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1), Q(c));
}

// ---- scan-line shapes ---------------------------------------------------

void RadioPass(QPainter& p, const QRect& box, int size, bool checked, int cls, TColor c)
{
    if (c == clNone)
        return;
    VTixPaintCircularShapeInfo_Radio info;
    info.Left = box.left();
    info.Top = box.top();
    info.Right = box.left() + size - 1;
    info.Bottom = box.top() + size - 1;
    info.Radius2 = size;
    info.Checked = checked;
    info.DrawClass = cls;
    const QColor qc = Q(c);
    info.OnRun = [&](int x0, int x1, int y) { p.fillRect(QRect(x0, y, x1 - x0 + 1, 1), qc); };
    Tixutils::PaintCircularShape(info);
}

void PaintClassicRadio(QPainter& p, const P& prm, const Shades& s)
{
    const bool checked = prm.State & P::Checked;
    const bool pushed = prm.State & P::Pushed;
    const int size = prm.CheckMarkSize;
    RadioPass(p, prm.Box, size, checked, 0, clBtnShadow);
    RadioPass(p, prm.Box, size, checked, 1, cl3DDkShadow);
    RadioPass(p, prm.Box, size, checked, 2, pushed ? clBtnFace : s.F2);
    RadioPass(p, prm.Box, size, checked, 3, cl3DLight);
    RadioPass(p, prm.Box, size, checked, 4, clBtnHighlight);
    if (checked)
        RadioPass(p, prm.Box, size, checked, 5, s.F1);
}

void PaintLamp(QPainter& p, const P& prm, const Shades& s)
{
    const bool checked = prm.State & P::Checked;
    const bool pushed = prm.State & P::Pushed;
    TColor ring, disc;
    if (!pushed) {
        ring = checked ? s.D2 : s.D1;
        disc = checked ? s.F2 : s.F1;
    } else {
        ring = checked ? s.L2 : s.L1;
        disc = checked ? s.D2 : s.D1;
    }
    const int size = prm.CheckMarkSize;
    for (int cls = 0; cls < 2; ++cls) {
        const TColor c = cls == 0 ? ring : disc;
        if (c == clNone)
            continue;
        VTixPaintCircularShapeInfo_Lamp info;
        info.Left = prm.Box.left();
        info.Top = prm.Box.top() - 1;  // the lamp sits one pixel higher
        info.Right = info.Left + size - 1;
        info.Bottom = info.Top + size - 1;
        info.Radius2 = size;
        info.DrawClass = cls;
        const QColor qc = Q(c);
        info.OnRun = [&](int x0, int x1, int y) { p.fillRect(QRect(x0, y, x1 - x0 + 1, 1), qc); };
        Tixutils::PaintCircularShape(info);
    }
}

// ---- the three nested rectangles of the box styles -------------------------

struct Nest {
    int L[3], T[3], R[3], B[3];
    int u, v, t;
};

Nest MakeNest(const QRect& box)
{
    Nest n{};
    const int w = box.width(), h = box.height();
    n.u = std::max(1, w / 13);
    n.v = std::max(1, h / 13);
    n.t = std::max(1, 2 * h / 13);
    for (int k = 0; k < 3; ++k) {
        n.L[k] = box.left() + k * n.u;
        n.T[k] = box.top() + k * n.v;
        n.R[k] = box.left() + w - 1 - k * n.u;
        n.B[k] = box.top() + h - 1 - k * n.v;
    }
    return n;
}

// Top-left band between rectangles k and k+1; it stops one pixel short at
// its bottom-left and top-right ends.
void TopLeftBand(QPainter& p, const Nest& n, int k, TColor c)
{
    FillPixels(p, n.L[k], n.T[k], n.R[k] - 1, n.T[k + 1] - 1, c);
    FillPixels(p, n.L[k], n.T[k], n.L[k + 1] - 1, n.B[k] - 1, c);
}

void BottomRightBand(QPainter& p, const Nest& n, int k, TColor c)
{
    FillPixels(p, n.L[k], n.B[k + 1] + 1, n.R[k], n.B[k], c);
    FillPixels(p, n.R[k + 1] + 1, n.T[k], n.R[k], n.B[k], c);
}

void PaintClassicCheck(QPainter& p, const P& prm, const Shades& s)
{
    const Nest n = MakeNest(prm.Box);
    const bool pushed = prm.State & P::Pushed;
    TopLeftBand(p, n, 0, clBtnShadow);
    TopLeftBand(p, n, 1, cl3DDkShadow);
    FillPixels(p, n.L[2], n.T[2], n.R[2], n.B[2], pushed ? clBtnFace : s.F2);
    BottomRightBand(p, n, 1, cl3DLight);
    BottomRightBand(p, n, 0, clBtnHighlight);
    if (prm.State & P::Checked) {
        const int L = n.L[2], T = n.T[2], R = n.R[2], B = n.B[2];
        const int mx = (L + R + 1) / 2, my = (T + B + 1) / 2;
        const int u = n.u, v = n.v, t = n.t;
        QPolygon tick;
        tick << QPoint(L + u, my + v) << QPoint(mx - u, B - v) << QPoint(R - u, T + v + t)
             << QPoint(R - u, T + v) << QPoint(mx - u, B - v - t) << QPoint(L + u, my + v - t);
        FillPolygon(p, tick, s.F1, s.F1);
    }
}

void PaintButton(QPainter& p, const P& prm, const Shades& s)
{
    const Nest n = MakeNest(prm.Box);
    const bool sunk = bool(prm.State & P::Checked) != bool(prm.State & P::Pushed);
    TopLeftBand(p, n, 0, sunk ? cl3DDkShadow : clBtnHighlight);
    TopLeftBand(p, n, 1, sunk ? clBtnShadow : cl3DLight);
    FillPixels(p, n.L[2], n.T[2], n.R[2], n.B[2], sunk ? clBtnFace : s.F2);
    BottomRightBand(p, n, 1, clBtnShadow);
    BottomRightBand(p, n, 0, cl3DDkShadow);
}

// ---- the visual-style look, computed per pixel ---------------------------------

// Coverage of an edge of doubled radius E for a pixel whose centre lies at
// doubled distance rho: three samples half a unit apart, each weighted by
// how far its one-pixel footprint (rho +- 1) lies inside the edge, clamped
// to 0..2, combined as (a + 4b + c) / 12.
double EdgeCoverage(double E, double rho)
{
    auto w = [E](double r) { return std::clamp(E - r + 1, 0.0, 2.0); };
    return (w(rho - 0.5) + 4 * w(rho) + w(rho + 0.5)) / 12.0;
}

struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb ToRgb(TColor c)
{
    const TColor v = Platform::ColorToRGB(c);
    return {double(Platform::ColorR(v)), double(Platform::ColorG(v)), double(Platform::ColorB(v))};
}

// The colour t (0..1) of the way from a to b, as the shade steps are made.
TColor Shade(TColor a, TColor b, double t)
{
    return GetCColor(a, b, 256, int(std::lround(std::clamp(t, 0.0, 1.0) * 256)));
}

QRgb Premultiplied(const Rgb& c, double alpha)
{
    alpha = std::clamp(alpha, 0.0, 1.0);
    auto ch = [&](double v) { return int(std::lround(std::clamp(v, 0.0, 255.0) * alpha)); };
    return qRgba(ch(c.r), ch(c.g), ch(c.b), int(std::lround(alpha * 255)));
}

void Accumulate(Rgb& acc, TColor c, double weight)
{
    if (weight <= 0)
        return;
    const Rgb v = ToRgb(c);
    acc.r += v.r * weight;
    acc.g += v.g * weight;
    acc.b += v.b * weight;
}

TColor FaceColor(const P& prm, double t)
{
    if (prm.State & P::Pushed)
        return Shade(0xC0C0C0, 0xE0E0E0, t);
    return Shade(0xD7DAD8, 0xF8F6F4, t);
}

void PaintThemedRadio(QPainter& p, const P& prm)
{
    const int s = prm.CheckMarkSize;
    if (s <= 0)
        return;
    const bool inactive = prm.State & P::Inactive;
    const bool hot = (prm.State & P::Hot) && !inactive;
    const bool checked = prm.State & P::Checked;
    const double e0 = s, e1 = s - s / 6, e2 = s - s / 2, e3 = s - (s / 2 + 2);
    const double c = (s - 1) / 2.0;
    const TColor border = inactive ? 0xBDCACC : 0x845724;
    QImage img(s, s, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < s; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < s; ++x) {
            const double dx = x - c, dy = y - c;
            const double rho = 2 * std::sqrt(dx * dx + dy * dy);
            const double c0 = EdgeCoverage(e0, rho), c1 = EdgeCoverage(e1, rho);
            const double c2 = EdgeCoverage(e2, rho), c3 = EdgeCoverage(e3, rho);
            Rgb acc;
            Accumulate(acc, border, c0 - c1);
            double face = c1;
            if (hot) {
                const double t = e1 > e2 ? (e1 - rho) / (e1 - e2) : 0;
                Accumulate(acc, Shade(0x8CD4F4, 0x45B7F0, t), c1 - c2);
                face = c2;
            }
            const double dot = checked ? std::min(c3, face) : 0;
            Accumulate(acc, FaceColor(prm, (x + y) / (2.0 * std::max(1, s - 1))), face - dot);
            if (dot > 0) {
                TColor dc;
                if (inactive) {
                    dc = 0xB5BFC0;
                } else {
                    // A sphere lit from the upper left: brightest a third of
                    // the dot's radius up and left of its centre.
                    const double r = std::max(1.0, e3 / 2);
                    const double hx = c - r / 3, hy = c - r / 3;
                    const double dist = std::sqrt((x - hx) * (x - hx) + (y - hy) * (y - hy));
                    const double t = 1 - std::clamp(dist / (r * 1.3), 0.0, 1.0);
                    dc = hot ? Shade(0x239626, 0x4ABF4D, t) : Shade(0x209525, 0x48BF4D, t);
                }
                Accumulate(acc, dc, dot);
            }
            if (c0 > 0) {
                acc.r /= c0;
                acc.g /= c0;
                acc.b /= c0;
            }
            line[x] = Premultiplied(acc, c0);
        }
    }
    p.drawImage(prm.Box.topLeft(), img);
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by)
{
    const double vx = bx - ax, vy = by - ay;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((px - ax) * vx + (py - ay) * vy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double qx = ax + t * vx - px, qy = ay + t * vy - py;
    return std::sqrt(qx * qx + qy * qy);
}

void PaintThemedCheck(QPainter& p, const P& prm)
{
    const QRect box = prm.Box;
    const int w = box.width(), h = box.height();
    if (w < 3 || h < 3)
        return;
    const bool inactive = prm.State & P::Inactive;
    const bool hot = (prm.State & P::Hot) && !inactive;
    const bool checked = prm.State & P::Checked;
    const TColor border = inactive ? 0xBDCACC : 0x845724;
    // Frame and field first.
    p.fillRect(box, Q(border));
    QImage img(w - 2, h - 2, QImage::Format_ARGB32_Premultiplied);
    const double side = std::min(w, h);
    // The tick: two strokes through three points, about side/6.5 thick.
    const double ax = 0.25 * w - 1, ay = 0.50 * h - 1;
    const double bx = 0.42 * w - 1, by = 0.70 * h - 1;
    const double cx = 0.76 * w - 1, cy = 0.26 * h - 1;
    const double thick = side / 6.5;
    const TColor tick = inactive ? Platform::MakeColor(202, 200, 187) : Platform::MakeColor(33, 161, 33);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const double t = (x + y) / double(std::max(1, img.width() + img.height() - 2));
            TColor field = FaceColor(prm, t);
            if (hot) {
                const int ring = std::min({x, y, img.width() - 1 - x, img.height() - 1 - y});
                if (ring < 2)
                    field = Shade(0x8CD4F4, 0x45B7F0, ring / 2.0);
            }
            Rgb acc;
            double cov = 0;
            if (checked) {
                const double d = std::min(SegmentDistance(x, y, ax, ay, bx, by),
                                          SegmentDistance(x, y, bx, by, cx, cy));
                cov = EdgeCoverage(thick, 2 * d);
            }
            Accumulate(acc, field, 1 - cov);
            Accumulate(acc, tick, cov);
            line[x] = Premultiplied(acc, 1.0);
        }
    }
    p.drawImage(box.topLeft() + QPoint(1, 1), img);
}

// ---- the flat and decorative styles ---------------------------------------

void PaintStyle1(QPainter& p, const P& prm, const Shades& s)
{
    const QRect b = prm.Box;
    const int x = b.left(), y = b.top(), w = b.width(), h = b.height();
    const bool checked = prm.State & P::Checked;
    if (!prm.RadioForm) {
        FillPixels(p, x + 2, y + 2, x + w - 3, y + h - 3, s.F1);
        for (int k = 0; k < 2; ++k) {
            FillPixels(p, x + k, y + k, x + k, y + h - 1 - k, s.L1);
            FillPixels(p, x + k, y + k, x + w - 1 - k, y + k, s.L1);
            FillPixels(p, x + w - 1 - k, y + k + 1, x + w - 1 - k, y + h - 1 - k, s.D1);
            FillPixels(p, x + k + 1, y + h - 1 - k, x + w - 1 - k, y + h - 1 - k, s.D1);
        }
        if (checked) {
            const int side = std::min(w, h);
            const int t = side / 3;
            const int pw = std::max(1, side / 8);
            const TColor contrast = NearBlack(s.F2) ? s.L2 : s.D2;
            auto cross = [&](TColor c, int off, int reach) {
                if (c == clNone)
                    return;
                p.setPen(QPen(Q(c), pw, Qt::SolidLine, Qt::SquareCap));
                p.drawLine(x + t - 1 + off, y + t - 1 + off, x + side - t + reach + off, y + side - t + reach + off);
                p.drawLine(x + t - 1 + off, y + side - t + reach + off, x + side - t + reach + off, y + t - 1 + off);
            };
            cross(contrast, 0, -1);
            cross(contrast, 2, -1);
            cross(s.F2, 0, 1);
        }
        return;
    }
    // An octagon with the corners cut by a quarter of the side.
    auto octagon = [](const QRect& r) {
        const int cx = r.width() / 4, cy = r.height() / 4;
        QPolygon poly;
        poly << QPoint(r.left() + cx, r.top()) << QPoint(r.right() - cx, r.top())
             << QPoint(r.right(), r.top() + cy) << QPoint(r.right(), r.bottom() - cy)
             << QPoint(r.right() - cx, r.bottom()) << QPoint(r.left() + cx, r.bottom())
             << QPoint(r.left(), r.bottom() - cy) << QPoint(r.left(), r.top() + cy);
        return poly;
    };
    const TColor ul = checked ? s.D1 : s.L1;
    const TColor lr = checked ? s.L1 : s.D1;
    const QPolygon outer = octagon(b);
    QPolygon upperLeft;
    upperLeft << b.topLeft() << QPoint(b.right() + 1, b.top()) << QPoint(b.left(), b.bottom() + 1);
    p.save();
    p.setClipRegion(QRegion(upperLeft));
    FillPolygon(p, outer, ul, ul);
    p.setClipRegion(QRegion(b.adjusted(0, 0, 1, 1)) - QRegion(upperLeft));
    FillPolygon(p, outer, lr, lr);
    p.restore();
    FillPolygon(p, octagon(b.adjusted(2, 2, -2, -2)), s.F1, clNone);
    if (checked) {
        const int cx = x + w / 2, cy = y + h / 2;
        FillPixels(p, cx - w / 6, cy - h / 6, cx + w / 6, cy + h / 6, s.F2);
    }
}

void PaintStyle2(QPainter& p, const P& prm, const Shades& s)
{
    const QRect b = prm.Box;
    const int w = b.width(), h = b.height();
    const double R = std::sqrt(double(w) * w + double(h) * h);
    auto oval = [&](double scale) {
        QPolygon poly;
        for (int i = 0; i < 10; ++i) {
            const double ang = 2 * i * M_PI / 10;
            const long a = std::lrint(std::cos(ang) * R / 3 * scale);
            const long bb = std::lrint(std::sin(ang) * R / 5 * scale);
            if (prm.RadioForm)
                poly << QPoint(b.left() + w / 2 + int(a), b.top() + h / 2 + int(bb));
            else
                poly << QPoint(b.left() + w / 2 + int(std::lrint((a + bb) / M_SQRT2)),
                               b.top() + h / 2 + int(std::lrint((bb - a) / M_SQRT2)));
        }
        return poly;
    };
    const QPolygon face = oval(1.0);
    FillPolygon(p, face.translated(1, 1), s.D1, clNone);
    FillPolygon(p, face, s.F1, clNone);
    FillPolygon(p, face.translated(-1, -1), s.L1, clNone);
    FillPolygon(p, face, s.F1, clNone);
    FillPolygon(p, face, clNone, clBlack);
    if (prm.State & P::Checked)
        FillPolygon(p, oval(0.5), s.F2, NearBlack(s.F2) ? s.L2 : clBlack);
}

QPolygon CrossPolygon(QPoint c, int reach, int half)
{
    // A filled X: arms reaching `reach` from the centre, 2*half wide there.
    QPolygon poly;
    poly << QPoint(c.x(), c.y() - half) << QPoint(c.x() + reach - half, c.y() - reach)
         << QPoint(c.x() + reach, c.y() - reach + half) << QPoint(c.x() + half, c.y())
         << QPoint(c.x() + reach, c.y() + reach - half) << QPoint(c.x() + reach - half, c.y() + reach)
         << QPoint(c.x(), c.y() + half) << QPoint(c.x() - reach + half, c.y() + reach)
         << QPoint(c.x() - reach, c.y() + reach - half) << QPoint(c.x() - half, c.y())
         << QPoint(c.x() - reach, c.y() - reach + half) << QPoint(c.x() - reach + half, c.y() - reach);
    return poly;
}

void PaintStyle3(QPainter& p, const P& prm, const Shades& s)
{
    const QRect b = prm.Box;
    const bool checked = prm.State & P::Checked;
    const bool f1Dark = NearBlack(s.F1);
    auto ellipse = [&](const QRect& r, TColor fill, TColor outline) {
        p.setPen(outline == clNone ? QPen(Qt::NoPen) : QPen(Q(outline), 0));
        p.setBrush(fill == clNone ? QBrush(Qt::NoBrush) : QBrush(Q(fill)));
        p.drawEllipse(r);
    };
    auto rect = [&](const QRect& r, TColor fill, TColor outline) {
        FillPixels(p, r.left(), r.top(), r.right(), r.bottom(), fill);
        if (outline != clNone) {
            p.setPen(QPen(Q(outline), 0));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r);
        }
    };
    if (!prm.RadioForm) {
        rect(b.adjusted(0, 0, -1, -1), s.F1, f1Dark ? s.L1 : s.D1);
        const QRect inner = b.adjusted(2, 2, -3, -3);
        if (!checked) {
            rect(inner, prm.Color, f1Dark ? s.D1 : s.L1);
            return;
        }
        if (f1Dark)
            rect(inner, s.D2, s.D1);
        else
            rect(inner, s.L2, s.L1);
        const QPoint c = b.center();
        const int reach = std::max(2, std::min(b.width(), b.height()) / 3);
        FillPolygon(p, CrossPolygon(c, reach, 1), s.F2, NearBlack(s.F2) ? s.L2 : s.D2);
        const int small = std::max(1, reach - 2);
        if (f1Dark)
            FillPolygon(p, CrossPolygon(c, small, 1), s.L1, s.D1);
        else
            FillPolygon(p, CrossPolygon(c, small, 1), s.D1, s.L1);
        return;
    }
    // Radio form: with a near-black F1 the light and dark shades swap roles.
    const TColor light = f1Dark ? s.D1 : s.L1;
    const TColor dark = f1Dark ? s.L1 : s.D1;
    const TColor light2 = f1Dark ? s.D2 : s.L2;
    ellipse(b.adjusted(1, 1, -2, -2), s.F1, dark);
    if (!checked) {
        ellipse(b.adjusted(3, 3, -4, -4), prm.Color, light);
        return;
    }
    ellipse(b.adjusted(3, 3, -4, -4), light2, light);
    ellipse(b.adjusted(4, 4, -5, -5), dark, s.F2);
    ellipse(b.adjusted(5, 5, -6, -6), s.F2, dark);
}

void PaintBitmap(QPainter& p, const P& prm)
{
    if (!prm.ImageList || prm.ImageList->Count() < 4)
        return;
    const bool checked = prm.State & P::Checked;
    const bool disabled = prm.State & P::Inactive;
    const int index = (disabled ? 2 : 0) + (checked ? 1 : 0);
    prm.ImageList->Draw(p, prm.Box.left(), prm.Box.top(), index);
}

}  // namespace

void PaintCheckImage(QPainter& Painter, const VTixCheckImageParams& Params)
{
    Painter.save();
    Aliased(Painter);
    const Shades s = MakeShades(Params);
    const bool defaultFields = Params.CheckFieldColor1 == clBlack && Params.CheckFieldColor2 == clWhite;
    switch (Params.Style) {
    case iaccsBitmap:
        PaintBitmap(Painter, Params);
        break;
    case iaccsStyleWin:
        if (Params.RadioForm) {
            if (defaultFields && Params.ThemesEnabled)
                PaintThemedRadio(Painter, Params);
            else
                PaintClassicRadio(Painter, Params, s);
        } else {
            if (defaultFields && Params.ThemesEnabled)
                PaintThemedCheck(Painter, Params);
            else
                PaintClassicCheck(Painter, Params, s);
        }
        break;
    case iaccsStyleLamp:
        PaintLamp(Painter, Params, s);
        break;
    case iaccsStyleButton:
        PaintButton(Painter, Params, s);
        break;
    case iaccsStyle1:
    case iaccsStyle1Small:
        PaintStyle1(Painter, Params, s);
        break;
    case iaccsStyle2:
        PaintStyle2(Painter, Params, s);
        break;
    case iaccsStyle3:
        PaintStyle3(Painter, Params, s);
        break;
    }
    Painter.restore();
}
