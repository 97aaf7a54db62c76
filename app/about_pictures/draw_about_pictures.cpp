// Draws the about dialog's pictures (PNG, each also at twice the size as
// "@2x" for high-density screens). Run by hand when a picture changes:
//   g++ -std=c++20 -fPIC draw_about_pictures.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/draw
//   QT_QPA_PLATFORM=offscreen /tmp/draw app/about_pictures
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <functional>

namespace {

using Draw = std::function<void(QPainter&)>;

// Draws in a logical size w x h and saves name.png and name@2x.png.
bool save(const QString& dir, const QString& name, int w, int h, const Draw& draw)
{
    for (int scale : {1, 2}) {
        QImage img(w * scale, h * scale, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        draw(p);
        p.end();
        const QString file = dir + "/" + name + (scale == 2 ? "@2x" : "") + ".png";
        if (!img.save(file, "PNG"))
            return false;
    }
    return true;
}

// The maker's logo: a turtle seen from above on a round green badge.
void drawLogo(QPainter& p)
{
    const QPointF c(32, 32);
    QRadialGradient badge(c - QPointF(8, 10), 40);
    badge.setColorAt(0, QColor(0x4c, 0xaf, 0x6e));
    badge.setColorAt(1, QColor(0x1e, 0x6b, 0x45));
    p.setPen(QPen(QColor(0x14, 0x4d, 0x31), 1.5));
    p.setBrush(badge);
    p.drawEllipse(c, 30, 30);

    const QColor skin(0xe8, 0xf2, 0xd8);
    p.setPen(Qt::NoPen);
    p.setBrush(skin);
    // Head, legs and tail behind the shell.
    p.drawEllipse(QPointF(32, 11.5), 5.5, 6.5);
    for (int sx : {-1, 1})
        for (int sy : {-1, 1}) {
            p.save();
            p.translate(32 + sx * 14, 32 + sy * 10);
            p.rotate(sx * sy * 35);
            p.drawEllipse(QPointF(0, 0), 4.2, 6.5);
            p.restore();
        }
    QPainterPath tail;
    tail.moveTo(29.5, 50);
    tail.lineTo(32, 57);
    tail.lineTo(34.5, 50);
    p.drawPath(tail);

    // Shell with its plates.
    QRadialGradient shell(QPointF(28, 26), 22);
    shell.setColorAt(0, QColor(0xa6, 0x7c, 0x3d));
    shell.setColorAt(1, QColor(0x6b, 0x4a, 0x1f));
    p.setBrush(shell);
    p.setPen(QPen(QColor(0x4a, 0x31, 0x12), 1.2));
    p.drawEllipse(QPointF(32, 33), 14, 17);
    p.setPen(QPen(QColor(0xf0, 0xd9, 0x9a, 200), 1.1));
    p.setBrush(Qt::NoBrush);
    QPolygonF hex;
    for (int i = 0; i < 6; ++i) {
        const double a = M_PI / 3 * i + M_PI / 6;
        hex << QPointF(32 + 6 * std::cos(a), 33 + 6.6 * std::sin(a));
    }
    p.drawPolygon(hex);
    for (int i = 0; i < 6; ++i) {
        const double a = M_PI / 3 * i + M_PI / 6;
        const QPointF inner(32 + 6 * std::cos(a), 33 + 6.6 * std::sin(a));
        const QPointF outer(32 + 13.5 * std::cos(a), 33 + 16.5 * std::sin(a));
        p.drawLine(inner, outer);
    }
    // Eyes.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1b, 0x2a, 0x1f));
    p.drawEllipse(QPointF(29.8, 9.5), 1.1, 1.1);
    p.drawEllipse(QPointF(34.2, 9.5), 1.1, 1.1);
}

// The distributor's emblem: a blue rounded square with a "Q" ring.
void drawEmblem(QPainter& p)
{
    QLinearGradient bg(0, 0, 0, 64);
    bg.setColorAt(0, QColor(0x3b, 0x82, 0xd6));
    bg.setColorAt(1, QColor(0x1a, 0x4c, 0x94));
    p.setPen(QPen(QColor(0x12, 0x37, 0x6e), 1.5));
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(31, 30), 15, 15);
    p.drawLine(QPointF(38, 38), QPointF(48, 49));
}

// The distributor's banner: waves under a bar.
void drawBanner(QPainter& p)
{
    QLinearGradient bg(0, 0, 160, 0);
    bg.setColorAt(0, QColor(0xe9, 0xf1, 0xfb));
    bg.setColorAt(1, QColor(0xc9, 0xdc, 0xf4));
    p.setPen(QPen(QColor(0x9a, 0xb8, 0xdf), 1));
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(0.5, 0.5, 159, 47), 6, 6);
    const QColor waves[] = {QColor(0x1a, 0x4c, 0x94), QColor(0x3b, 0x82, 0xd6), QColor(0x7f, 0xb0, 0xea)};
    for (int k = 0; k < 3; ++k) {
        QPainterPath path;
        const double base = 18 + k * 8;
        path.moveTo(8, base);
        for (int x = 8; x <= 152; x += 2)
            path.lineTo(x, base + 4 * std::sin((x + k * 14) / 12.0));
        p.setPen(QPen(waves[k], 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const bool ok = save(dir, "logo_maker", 64, 64, drawLogo) && save(dir, "distributor_emblem", 64, 64, drawEmblem) &&
                    save(dir, "distributor_banner", 160, 48, drawBanner);
    return ok ? 0 : 1;
}
