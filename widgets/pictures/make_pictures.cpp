// Draws the small pictures of the widgets once; the PNGs are checked in
// beside this file and compiled into the program through
// widgets/widget_pictures.qrc. Run again only to change a picture:
//   g++ -std=c++20 -fPIC make_pictures.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_pictures
//   QT_QPA_PLATFORM=offscreen /tmp/make_pictures widgets/pictures
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdio>
#include <functional>

namespace {

QString g_dir;

// Pictures with real transparency (alpha channel), drawn anti-aliased.
void Alpha(const QString& name, int w, int h, const std::function<void(QPainter&)>& draw)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    draw(p);
    p.end();
    img.save(g_dir + "/" + name + ".png");
}

// Pictures whose transparent parts are pure lime, drawn without
// anti-aliasing so that no pixel half-blends with the key colour.
void Keyed(const QString& name, int w, int h, QColor key, const std::function<void(QPainter&)>& draw)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(key);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    draw(p);
    p.end();
    img.save(g_dir + "/" + name + ".png");
}

const QColor kLime(0, 255, 0);
const QColor kOutline(40, 40, 40);

// A 16x16 battery lying on its side, charge level 0..1.
void Battery(QPainter& p, double level, QColor fill)
{
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(QRectF(1.5, 4.5, 12, 8), 1.5, 1.5);
    p.setBrush(kOutline);
    p.drawRect(QRectF(13.5, 6.5, 1.5, 4));
    if (level > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRect(QRectF(3, 6, 9 * level, 5));
    }
}

void Bolt(QPainter& p, QColor c)
{
    QPainterPath path;
    path.moveTo(9, 1);
    path.lineTo(4.5, 9);
    path.lineTo(8, 9);
    path.lineTo(6.5, 15);
    path.lineTo(12, 7);
    path.lineTo(8.5, 7);
    path.lineTo(10.5, 1);
    path.closeSubpath();
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(c);
    p.drawPath(path);
}

void Plug(QPainter& p)
{
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(120, 120, 120));
    p.drawRect(QRectF(5.5, 0.5, 5, 3));
    p.drawLine(QPointF(6.5, 0), QPointF(6.5, -1));
    p.setPen(QPen(kOutline, 1.2));
    p.drawLine(QPointF(8, 3.5), QPointF(8, 5));
}

// A telephone handset across a 16x16 cell.
void Handset(QPainter& p, QColor c, double dx = 0, double dy = 0)
{
    QPainterPath path;
    path.moveTo(2 + dx, 5 + dy);
    path.cubicTo(2 + dx, 2 + dy, 14 + dx, 2 + dy, 14 + dx, 5 + dy);
    path.lineTo(14 + dx, 7 + dy);
    path.lineTo(11 + dx, 7.5 + dy);
    path.lineTo(10.5 + dx, 5.5 + dy);
    path.cubicTo(9 + dx, 5 + dy, 7 + dx, 5 + dy, 5.5 + dx, 5.5 + dy);
    path.lineTo(5 + dx, 7.5 + dy);
    path.lineTo(2 + dx, 7 + dy);
    path.closeSubpath();
    p.setPen(QPen(c.darker(160), 0.8));
    p.setBrush(c);
    p.drawPath(path);
}

void Base(QPainter& p, QColor c)
{
    QPainterPath path;
    path.moveTo(4, 9);
    path.lineTo(12, 9);
    path.lineTo(14, 14.5);
    path.lineTo(2, 14.5);
    path.closeSubpath();
    p.setPen(QPen(c.darker(160), 0.8));
    p.setBrush(c);
    p.drawPath(path);
}

void Phone(QPainter& p, QColor c)
{
    Handset(p, c);
    Base(p, c);
}

void Envelope(QPainter& p, QColor paper, QColor edge)
{
    p.setPen(edge);
    p.setBrush(paper);
    p.drawRect(1, 4, 13, 9);
    p.drawLine(1, 4, 7, 9);
    p.drawLine(14, 4, 8, 9);
}

void Text(QPainter& p, const QRectF& r, const QString& t, QColor c, int px, bool bold = true)
{
    QFont f("DejaVu Sans");
    f.setPixelSize(px);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, t);
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    g_dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(".");
    QDir().mkpath(g_dir);

    // Charger states 0..6: unknown, disconnected, connected, charging,
    // charged, charging error, bad temperature.
    Alpha("charger_0", 16, 16, [](QPainter& p) {
        Battery(p, 0, Qt::gray);
        Text(p, QRectF(1, 4, 13, 9), "?", QColor(90, 90, 90), 8);
    });
    Alpha("charger_1", 16, 16, [](QPainter& p) { Battery(p, 0.6, QColor(60, 170, 60)); });
    Alpha("charger_2", 16, 16, [](QPainter& p) {
        Battery(p, 0.6, QColor(60, 170, 60));
        Plug(p);
    });
    Alpha("charger_3", 16, 16, [](QPainter& p) {
        Battery(p, 0.4, QColor(240, 190, 40));
        Bolt(p, QColor(255, 220, 0));
    });
    Alpha("charger_4", 16, 16, [](QPainter& p) { Battery(p, 1.0, QColor(30, 190, 30)); });
    Alpha("charger_5", 16, 16, [](QPainter& p) {
        Battery(p, 0.3, QColor(200, 60, 40));
        p.setPen(QPen(QColor(210, 0, 0), 2));
        p.drawLine(QPointF(4, 5), QPointF(11, 12));
        p.drawLine(QPointF(11, 5), QPointF(4, 12));
    });
    Alpha("charger_6", 16, 16, [](QPainter& p) {
        Battery(p, 0.5, QColor(60, 170, 60));
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(10.5, 0.5, 3, 10), 1.5, 1.5);
        p.setBrush(QColor(220, 30, 30));
        p.drawEllipse(QRectF(9.5, 9.5, 5, 5));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(11.3, 3, 1.4, 7));
    });

    // The ringing telephone shown while a call comes in.
    Alpha("ring", 16, 16, [](QPainter& p) {
        Phone(p, QColor(220, 40, 40));
        p.setPen(QPen(QColor(230, 150, 0), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(0.5, 0.5, 15, 15), 30 * 16, 30 * 16);
        p.drawArc(QRectF(0.5, 0.5, 15, 15), 120 * 16, 30 * 16);
    });

    // Call states: picture 0 for undetermined, s + 1 for state s (0..7).
    Alpha("call_state_0", 16, 16, [](QPainter& p) {
        Text(p, QRectF(0, 0, 16, 16), "?", QColor(120, 120, 120), 12);
    });
    Alpha("call_state_1", 16, 16, [](QPainter& p) { Phone(p, QColor(170, 170, 170)); });
    Alpha("call_state_2", 16, 16, [](QPainter& p) {
        Handset(p, QColor(40, 120, 220), 0, 6);
        p.setPen(QPen(QColor(0, 140, 0), 1.6));
        p.drawLine(QPointF(8, 5), QPointF(14, 0.8));
        p.drawLine(QPointF(14, 0.8), QPointF(10.5, 1));
        p.drawLine(QPointF(14, 0.8), QPointF(13.8, 4.2));
    });
    Alpha("call_state_3", 16, 16, [](QPainter& p) {
        Handset(p, QColor(40, 120, 220), 0, 6);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 120, 220));
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(QRectF(3.5 + 3.5 * i, 1.5, 2.2, 2.2));
    });
    Alpha("call_state_4", 16, 16, [](QPainter& p) { Phone(p, QColor(30, 170, 30)); });
    Alpha("call_state_5", 16, 16, [](QPainter& p) {
        Handset(p, QColor(40, 120, 220), 0, 6);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 120, 0));
        p.drawRect(QRectF(5, 0.5, 2, 5));
        p.drawRect(QRectF(9, 0.5, 2, 5));
    });
    Alpha("call_state_6", 16, 16, [](QPainter& p) {
        Handset(p, QColor(40, 120, 220), 0, 6);
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(5, 0.5, 6, 6));
        p.drawLine(QPointF(8, 3.5), QPointF(8, 1.6));
        p.drawLine(QPointF(8, 3.5), QPointF(9.6, 3.5));
    });
    Alpha("call_state_7", 16, 16, [](QPainter& p) {
        Handset(p, QColor(230, 120, 0), 0, 6);
        p.setPen(QPen(QColor(230, 120, 0), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2, 0.5, 12, 10), 40 * 16, 100 * 16);
        p.drawArc(QRectF(4.5, 2.5, 7, 6), 40 * 16, 100 * 16);
    });
    Alpha("call_state_8", 16, 16, [](QPainter& p) { Phone(p, QColor(210, 30, 30)); });

    // Call types: undetermined, voice, data.
    Alpha("call_type_0", 16, 16, [](QPainter& p) {
        Text(p, QRectF(0, 0, 16, 16), "?", QColor(120, 120, 120), 12);
    });
    Alpha("call_type_1", 16, 16, [](QPainter& p) { Handset(p, QColor(40, 120, 220), 0, 3); });
    Alpha("call_type_2", 16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 1.5, 11, 13));
        Text(p, QRectF(2.5, 1.5, 11, 6.5), "01", QColor(0, 110, 0), 6, false);
        Text(p, QRectF(2.5, 8, 11, 6.5), "10", QColor(0, 110, 0), 6, false);
    });

    // SMS states, keyed with lime: unknown, read failed, received unread,
    // received read, unsent, being sent (also being stored), send failed,
    // sent, deleting.
    const QColor paper(255, 255, 230), edge(80, 80, 80);
    Keyed("SMS_UNKNOWN", 16, 16, kLime, [&](QPainter& p) {
        Envelope(p, QColor(220, 220, 220), edge);
        Text(p, QRectF(3, 3, 10, 10), "?", QColor(0, 0, 160), 9);
    });
    Keyed("SMS_READFAILED", 16, 16, kLime, [&](QPainter& p) {
        Envelope(p, paper, edge);
        p.setPen(QPen(QColor(220, 0, 0), 2));
        p.drawLine(4, 6, 11, 12);
        p.drawLine(11, 6, 4, 12);
    });
    Keyed("SMSSIMRECVUNREAD", 16, 16, kLime, [&](QPainter& p) {
        Envelope(p, QColor(255, 240, 150), edge);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 90, 220));
        p.drawRect(11, 1, 4, 4);
    });
    Keyed("SMSSIMRECVREAD", 16, 16, kLime, [&](QPainter& p) {
        p.setPen(edge);
        p.setBrush(paper);
        p.drawRect(1, 7, 13, 7);
        p.drawLine(1, 7, 7, 2);
        p.drawLine(7, 2, 14, 7);
        p.setBrush(Qt::white);
        p.drawRect(4, 4, 7, 5);
    });
    Keyed("SMSSIMUNSENT", 16, 16, kLime, [&](QPainter& p) {
        Envelope(p, paper, edge);
        p.setPen(QPen(QColor(0, 0, 160), 1));
        p.drawLine(9, 14, 14, 9);
        p.drawLine(10, 14, 15, 9);
    });
    Keyed("SMSBEINGSENT", 16, 16, kLime, [&](QPainter& p) {
        Envelope(p, paper, edge);
        p.setPen(QPen(QColor(0, 140, 0), 2));
        p.drawLine(8, 2, 14, 2);
        p.drawLine(12, 0, 14, 2);
        p.drawLine(12, 4, 14, 2);
    });
    Keyed("SMSSENDFAILED", 16, 16, kLime, [&](QPainter& p) {
        Envelope(p, paper, edge);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 0, 0));
        p.drawEllipse(9, 0, 7, 7);
        p.setPen(Qt::white);
        p.drawLine(12, 1, 12, 3);
        p.drawPoint(12, 5);
    });
    Keyed("SMSSIMSENT", 16, 16, kLime, [&](QPainter& p) {
        Envelope(p, paper, edge);
        p.setPen(QPen(QColor(0, 150, 0), 2));
        p.drawLine(9, 3, 11, 5);
        p.drawLine(11, 5, 15, 0);
    });
    Keyed("SMS_DELETING", 16, 16, kLime, [&](QPainter& p) {
        p.setPen(edge);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(3, 4, 9, 11);
        p.drawRect(2, 2, 11, 2);
        p.drawRect(6, 0, 3, 2);
        p.drawLine(5, 6, 5, 13);
        p.drawLine(7, 6, 7, 13);
        p.drawLine(9, 6, 9, 13);
    });

    // Operator badges 16x15 for the network codes 23002, 23001, 23003
    // (pictures 0, 1, 2 of the operator list).
    auto badge = [](const QString& name, QColor c, const QString& t) {
        Alpha(name, 16, 15, [&](QPainter& p) {
            p.setPen(QPen(c.darker(150), 1));
            p.setBrush(c);
            p.drawRoundedRect(QRectF(0.5, 0.5, 15, 14), 3, 3);
            Text(p, QRectF(0, 0, 16, 15), t, Qt::white, 9);
        });
    };
    badge("operator_0", QColor(0, 90, 180), "02");
    badge("operator_1", QColor(200, 0, 120), "01");
    badge("operator_2", QColor(210, 30, 30), "03");

    // Language flags, 16x16 with the flag in rows 2..13.
    Alpha("lang_cs", 16, 16, [](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.fillRect(QRectF(0, 2, 16, 6), Qt::white);
        p.fillRect(QRectF(0, 8, 16, 6), QColor(215, 20, 26));
        QPolygonF tri;
        tri << QPointF(0, 2) << QPointF(8, 8) << QPointF(0, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(17, 69, 126));
        p.drawPolygon(tri);
        p.setPen(QColor(90, 90, 90, 120));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(0.5, 2.5, 15, 11));
    });
    Alpha("lang_en", 16, 16, [](QPainter& p) {
        const QColor blue(1, 33, 105), red(200, 16, 46);
        p.fillRect(QRectF(0, 2, 16, 12), blue);
        p.setClipRect(QRectF(0, 2, 16, 12));
        p.setPen(QPen(Qt::white, 3));
        p.drawLine(QPointF(0, 2), QPointF(16, 14));
        p.drawLine(QPointF(16, 2), QPointF(0, 14));
        p.setPen(QPen(red, 1));
        p.drawLine(QPointF(0, 2), QPointF(16, 14));
        p.drawLine(QPointF(16, 2), QPointF(0, 14));
        p.fillRect(QRectF(6, 2, 4, 12), Qt::white);
        p.fillRect(QRectF(0, 6, 16, 4), Qt::white);
        p.fillRect(QRectF(7, 2, 2, 12), red);
        p.fillRect(QRectF(0, 7, 16, 2), red);
    });
    // The translation component's two built-in pictures, keyed as it
    // expects: the white board on teal, the two flags on white.
    Keyed("LANG_WHITEBOARD", 16, 16, QColor(0, 128, 128), [](QPainter& p) {
        p.setPen(QColor(90, 90, 90));
        p.setBrush(QColor(250, 250, 250));
        p.drawRect(1, 2, 13, 10);
        p.drawLine(4, 12, 2, 15);
        p.drawLine(11, 12, 13, 15);
    });
    Keyed("LANG_TWOFLAGS", 16, 16, QColor(255, 255, 255), [](QPainter& p) {
        p.setPen(QColor(60, 60, 60));
        p.drawLine(2, 1, 2, 15);
        p.drawLine(8, 3, 8, 15);
        p.fillRect(3, 1, 8, 5, QColor(215, 20, 26));
        p.fillRect(9, 3, 6, 5, QColor(1, 33, 105));
        p.fillRect(9, 5, 6, 1, QColor(254, 254, 254));
    });

    // Caption button glyphs, black on lime: 13x11 and 8x8.
    struct Glyph {
        const char* name;
        std::function<void(QPainter&, int, int)> draw;  // cell width, height
    };
    const Glyph glyphs[] = {
        {"CLOSE", [](QPainter& p, int w, int h) {
             const int s = std::min(w, h) - (w > 8 ? 3 : 2);
             const int x0 = (w - s) / 2, y0 = (h - s) / 2;
             for (int i = 0; i < s; ++i) {
                 p.fillRect(x0 + i, y0 + i, w > 8 ? 2 : 1, 1, Qt::black);
                 p.fillRect(x0 + s - 1 - i, y0 + i, w > 8 ? 2 : 1, 1, Qt::black);
             }
         }},
        {"MAX", [](QPainter& p, int w, int h) {
             const int x0 = w > 8 ? 2 : 0, y0 = w > 8 ? 1 : 0;
             const int x1 = w - 1 - x0 - (w > 8 ? 1 : 0), y1 = h - 1 - y0;
             p.fillRect(x0, y0, x1 - x0 + 1, w > 8 ? 2 : 1, Qt::black);
             p.fillRect(x0, y0, 1, y1 - y0 + 1, Qt::black);
             p.fillRect(x1, y0, 1, y1 - y0 + 1, Qt::black);
             p.fillRect(x0, y1, x1 - x0 + 1, 1, Qt::black);
         }},
        {"MIN", [](QPainter& p, int w, int h) {
             const int x0 = w > 8 ? 3 : 1;
             p.fillRect(x0, h - (w > 8 ? 3 : 2), w > 8 ? 6 : 5, 2, Qt::black);
         }},
        {"HELP", [](QPainter& p, int w, int h) {
             if (w > 8) {
                 p.fillRect(5, 1, 4, 1, Qt::black);
                 p.fillRect(4, 2, 2, 2, Qt::black);
                 p.fillRect(8, 2, 2, 3, Qt::black);
                 p.fillRect(7, 5, 2, 1, Qt::black);
                 p.fillRect(6, 6, 2, 2, Qt::black);
                 p.fillRect(6, 9, 2, 2, Qt::black);
             } else {
                 p.fillRect(2, 0, 4, 1, Qt::black);
                 p.fillRect(1, 1, 1, 1, Qt::black);
                 p.fillRect(5, 1, 1, 2, Qt::black);
                 p.fillRect(4, 3, 1, 1, Qt::black);
                 p.fillRect(3, 4, 1, 2, Qt::black);
                 p.fillRect(3, 7, 1, 1, Qt::black);
             }
         }},
        {"TRAY", [](QPainter& p, int w, int h) {
             // A small window dropping into the corner of the task bar.
             const bool big = w > 8;
             p.fillRect(0, h - (big ? 2 : 1), w, big ? 2 : 1, Qt::black);
             const int bx = w - (big ? 6 : 4), by = h - (big ? 5 : 3);
             p.fillRect(bx, by, big ? 4 : 3, big ? 2 : 1, Qt::black);
             p.fillRect(big ? 1 : 0, 0, big ? 6 : 4, 1, Qt::black);
             p.fillRect(big ? 1 : 0, 0, 1, big ? 4 : 3, Qt::black);
             p.fillRect(big ? 6 : 3, 0, 1, big ? 4 : 3, Qt::black);
             p.fillRect(big ? 1 : 0, big ? 3 : 2, big ? 6 : 4, 1, Qt::black);
         }},
        {"REST", [](QPainter& p, int w, int h) {
             const bool big = w > 8;
             const int d = big ? 3 : 2;
             const int bw = big ? 7 : 5, bh = big ? 6 : 4;
             const int x0 = big ? 2 : 0, y0 = big ? 1 : 0;
             // back window
             p.fillRect(x0 + d, y0, bw, big ? 2 : 1, Qt::black);
             p.fillRect(x0 + d + bw - 1, y0, 1, bh, Qt::black);
             // front window
             const int fy = y0 + d;
             p.fillRect(x0, fy, bw, big ? 2 : 1, Qt::black);
             p.fillRect(x0, fy, 1, bh, Qt::black);
             p.fillRect(x0 + bw - 1, fy, 1, bh, Qt::black);
             p.fillRect(x0, fy + bh - 1, bw, 1, Qt::black);
             p.fillRect(x0 + d, y0, 1, d, Qt::black);
             (void)h;
         }},
    };
    for (const Glyph& g : glyphs) {
        Keyed(QString("TITLEICONB_") + g.name, 13, 11, kLime, [&](QPainter& p) { g.draw(p, 13, 11); });
        Keyed(QString("TITLEICONS_") + g.name, 8, 8, kLime, [&](QPainter& p) { g.draw(p, 8, 8); });
    }
    // The tray-minimise picture of the caption button.
    Keyed("TRAY", 13, 11, kLime, [&](QPainter& p) { glyphs[4].draw(p, 13, 11); });

    std::printf("pictures written to %s\n", qPrintable(g_dir));
    return 0;
}
