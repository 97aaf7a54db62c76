#pragma once
#include <QImage>
#include <QObject>
#include <QString>
#include <vector>

#include "platform/colors.h"

class QPainter;

// A list of equally sized pictures kept as 32-bit images with an alpha
// channel. Pictures drawn with a key colour are turned into alpha when
// they are added, so drawing never compares colours.
class TImageList : public QObject {
    Q_OBJECT
public:
    TImageList(int Width, int Height, QObject* Parent = nullptr);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Count() const { return int(m_images.size()); }

    // The colour the list was meant to stand on (clNone: none).
    TColor BkColor() const { return m_bkColor; }
    void SetBkColor(TColor Color);

    // Adds a picture (scaled to the list's size when it differs) and
    // returns its index.
    int Add(const QImage& Image);
    // Adds a picture whose pixels of MaskColor are transparent.
    int AddMasked(const QImage& Image, TColor MaskColor);
    // Adds a picture from a file or resource; -1 when it cannot be read.
    int AddFromFile(const QString& Path, TColor MaskColor = clNone);
    void Replace(int Index, const QImage& Image);
    void Delete(int Index);
    void Clear();

    // The picture, or a null image for an index outside the list.
    QImage Image(int Index) const;
    // Draws picture Index with its top-left corner at X, Y; nothing for an
    // index outside the list.
    void Draw(QPainter& Painter, int X, int Y, int Index) const;

signals:
    // Pictures were added, replaced or removed, or the background changed.
    void changed();

private:
    QImage Fitted(const QImage& Image) const;

    int m_width;
    int m_height;
    TColor m_bkColor = clNone;
    std::vector<QImage> m_images;
};
