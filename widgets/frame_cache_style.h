#pragma once
#include <QPixmap>
#include <QProxyStyle>
#include <cstdint>
#include <vector>

class QPainter;
class QStyleOptionFrame;

// The application's style with the line-edit panel kept as a picture.
// Fusion strokes the panel's antialiased rounded frame on every paint,
// which costs more than the rest of a line edit's paint together; the
// shown clock's edits repaint every second, so an idle program spent most
// of its time there. The panel is drawn once per size, state and palette
// and then copied. Anything the picture could not reproduce (a transformed
// or translucent painter, a patterned base, a panel drawn for another
// control) is drawn directly.
class TFrameCacheStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Wraps the style the application would use; null takes the default.
    explicit TFrameCacheStyle(QStyle* Base = nullptr);

    void drawPrimitive(PrimitiveElement Element, const QStyleOption* Option, QPainter* Painter,
                       const QWidget* Widget = nullptr) const override;

    // Installs the style for the whole application (which takes it over).
    static void Install();

    // Panels drawn into a new picture and panels copied from one, since
    // the start: the tests see whether the picture is used.
    int Rendered() const { return m_rendered; }
    int Copied() const { return m_copied; }

    // Pictures kept; the least recently used goes first.
    static constexpr size_t MaxPictures = 32;

private:
    // Everything the base style reads to draw a panel.
    struct TPanelKey {
        int width = 0, height = 0;
        uint32_t state = 0, shape = 0;
        int lineWidth = 0, midLineWidth = 0;
        qint64 palette = 0;
        int colorGroup = 0;
        qreal ratio = 1;
        bool operator==(const TPanelKey&) const = default;
    };

    bool Cacheable(const QStyleOptionFrame& Frame, const QPainter& Painter, const QWidget* Widget) const;
    static TPanelKey KeyOf(const QStyleOptionFrame& Frame, qreal Ratio);

    mutable std::vector<std::pair<TPanelKey, QPixmap>> m_pictures;  // most recent first
    mutable int m_rendered = 0;
    mutable int m_copied = 0;
};
