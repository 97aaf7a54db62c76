// Drawing of language entries and menu items by hand, for owner-drawn
// lists and menus.
#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPixmap>

#include "platform/colors.h"
#include "platform/qt/qt_text.h"
#include "translation/forms/tixlanguage_forms.h"
#include "translation/tixlanguage.h"

namespace {

constexpr int IconCellWidth = 19;
constexpr int IconHeight = 15;  // the images' height less their last row
constexpr int MenuTextLeft = 21;

}  // namespace

void VTixLanguageForms::PaintIcon(QPainter& Canvas, const QRect& Rect, int ImageIndex, bool BackgroundDrawn,
                                  bool Selected, bool Focused)
{
    const QRect cell(Rect.left(), Rect.top(), IconCellWidth, Rect.height());
    Canvas.save();
    if (!BackgroundDrawn) {
        Canvas.fillRect(cell, Platform::ToQColor(clMenu));
        if (Selected || Focused) {
            // Sunken: dark above and left; raised: light there.
            const QColor shadow = Platform::ToQColor(clBtnShadow);
            const QColor light = Platform::ToQColor(clBtnHighlight);
            const QColor topLeft = Selected ? shadow : light;
            const QColor bottomRight = Selected ? light : shadow;
            Canvas.fillRect(QRect(cell.left(), cell.top(), cell.width(), 1), topLeft);
            Canvas.fillRect(QRect(cell.left(), cell.top(), 1, cell.height()), topLeft);
            Canvas.fillRect(QRect(cell.left(), cell.bottom(), cell.width(), 1), bottomRight);
            Canvas.fillRect(QRect(cell.right(), cell.top(), 1, cell.height()), bottomRight);
        }
    }
    const QIcon icon = ImageIcon(ImageIndex);
    if (!icon.isNull()) {
        const QPixmap picture = icon.pixmap(16, 16);
        Canvas.drawPixmap(cell.left() + 1, cell.top() + (cell.height() - IconHeight) / 2, picture);
    }
    Canvas.restore();
}

void VTixLanguageForms::PaintLanguageIcon(QPainter& Canvas, const QRect& Rect, int Language, bool WithBackground,
                                          bool Focused, bool Bold)
{
    (void)Bold;
    if (!language_)
        return;
    PaintIcon(Canvas, Rect, language_->GetLanguageImageIndex(Language), WithBackground, false, Focused);
}

void VTixLanguageForms::PaintMenuItemW(QObject* Sender, QPainter& Canvas, const std::u16string& Text,
                                       const QRect& Rect, bool Selected)
{
    (void)Sender;
    QFont font = QApplication::font("QMenu");
    font.setBold(false);
    Canvas.save();
    Canvas.setFont(font);
    Canvas.setPen(Platform::ToQColor(Selected ? clHighlightText : clMenuText));
    const QRect textRect(Rect.left() + MenuTextLeft, Rect.top(), Rect.width() - MenuTextLeft, Rect.height());
    Canvas.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    QString::fromUtf16(Text.data(), qsizetype(Text.size())));
    Canvas.restore();
}
