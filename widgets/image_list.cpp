#include "widgets/image_list.h"

#include <QPainter>

TImageList::TImageList(int Width, int Height, QObject* Parent)
    : QObject(Parent), m_width(Width > 0 ? Width : 1), m_height(Height > 0 ? Height : 1)
{
}

void TImageList::SetBkColor(TColor Color)
{
    if (Color == m_bkColor)
        return;
    m_bkColor = Color;
    emit changed();
}

QImage TImageList::Fitted(const QImage& Image) const
{
    QImage img = Image.convertToFormat(QImage::Format_ARGB32);
    if (img.width() != m_width || img.height() != m_height)
        img = img.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return img;
}

int TImageList::Add(const QImage& Image)
{
    m_images.push_back(Fitted(Image));
    emit changed();
    return Count() - 1;
}

int TImageList::AddMasked(const QImage& Image, TColor MaskColor)
{
    QImage img = Fitted(Image);
    if (MaskColor != clNone) {
        const TColor rgb = Platform::ColorToRGB(MaskColor);
        const QRgb key = qRgb(Platform::ColorR(rgb), Platform::ColorG(rgb), Platform::ColorB(rgb));
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                if ((line[x] & 0x00FFFFFFu) == (key & 0x00FFFFFFu))
                    line[x] = 0;
            }
        }
    }
    m_images.push_back(img);
    emit changed();
    return Count() - 1;
}

int TImageList::AddFromFile(const QString& Path, TColor MaskColor)
{
    QImage img(Path);
    if (img.isNull())
        return -1;
    return AddMasked(img, MaskColor);
}

void TImageList::Replace(int Index, const QImage& Image)
{
    if (Index < 0 || Index >= Count())
        return;
    m_images[size_t(Index)] = Fitted(Image);
    emit changed();
}

void TImageList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    m_images.erase(m_images.begin() + Index);
    emit changed();
}

void TImageList::Clear()
{
    if (m_images.empty())
        return;
    m_images.clear();
    emit changed();
}

QImage TImageList::Image(int Index) const
{
    if (Index < 0 || Index >= Count())
        return {};
    return m_images[size_t(Index)];
}

void TImageList::Draw(QPainter& Painter, int X, int Y, int Index) const
{
    if (Index < 0 || Index >= Count())
        return;
    Painter.drawImage(X, Y, m_images[size_t(Index)]);
}
