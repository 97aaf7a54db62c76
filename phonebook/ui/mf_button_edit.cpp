#include "phonebook/ui/mf_button_edit.h"

#include <QStyle>
#include <QToolButton>

TMFCustomButtonEdit::TMFCustomButtonEdit(QWidget* Parent) : TMFCustomEdit(Parent), m_button(new QToolButton(this))
{
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setText(QStringLiteral("..."));
    connect(m_button, &QToolButton::clicked, this, [this] { ButtonClicked(); });
}

void TMFCustomButtonEdit::SetGlyphStyle(TGlyphStyle Value)
{
    m_glyphStyle = Value;
    m_button->setArrowType(Qt::NoArrow);
    m_button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    QStyle::StandardPixmap picture = QStyle::StandardPixmap(-1);
    QString text;
    switch (Value) {
    case gsCustom:
        return;
    case gsDefault:
        m_button->setIcon(QIcon());
        m_button->setText(QStringLiteral("..."));
        m_button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return;
    case gsDropDown:
        m_button->setIcon(QIcon());
        m_button->setArrowType(Qt::DownArrow);
        return;
    case gsCheck: picture = QStyle::SP_DialogApplyButton; break;
    case gsDirectory: picture = QStyle::SP_DirIcon; break;
    case gsFile: picture = QStyle::SP_FileIcon; break;
    case gsHelp: picture = QStyle::SP_DialogHelpButton; break;
    case gsHome: picture = QStyle::SP_DirHomeIcon; break;
    case gsOpen: picture = QStyle::SP_DialogOpenButton; break;
    case gsSave: picture = QStyle::SP_DialogSaveButton; break;
    case gsSearch: picture = QStyle::SP_FileDialogContentsView; break;
    case gsEllipsis: text = QStringLiteral("..."); break;
    case gsDate: text = QStringLiteral("31"); break;
    case gsTime: text = QStringLiteral("h"); break;
    case gsMail: text = QStringLiteral("@"); break;
    }
    if (picture != QStyle::StandardPixmap(-1)) {
        m_button->setIcon(style()->standardIcon(picture, nullptr, this));
    } else {
        m_button->setIcon(QIcon());
        m_button->setText(text);
        m_button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
}

void TMFCustomButtonEdit::SetGlyph(const QIcon& Glyph)
{
    m_glyphStyle = gsCustom;
    m_button->setArrowType(Qt::NoArrow);
    m_button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_button->setIcon(Glyph);
}

void TMFCustomButtonEdit::ButtonClicked()
{
    m_clicking = true;
    if (OnButtonClick)
        OnButtonClick(this);
    m_clicking = false;
}

void TMFCustomButtonEdit::resizeEvent(QResizeEvent* Event)
{
    TMFCustomEdit::resizeEvent(Event);
    const int inset = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) : 0;
    const int side = std::max(0, height() - 2 * inset);
    m_button->setGeometry(width() - inset - side, inset, side, side);
    SetReservedMargins(side, 0);
}
