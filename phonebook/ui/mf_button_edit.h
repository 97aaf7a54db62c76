#pragma once
#include "phonebook/ui/mf_custom_edit.h"

class QToolButton;

// An edit with a button at its right end; the text stops short of it.
class TMFCustomButtonEdit : public TMFCustomEdit {
    Q_OBJECT
public:
    explicit TMFCustomButtonEdit(QWidget* Parent = nullptr);

    // The picture of the button; gsDefault clears it, gsCustom keeps the
    // one set with SetGlyph.
    TGlyphStyle GlyphStyle() const { return m_glyphStyle; }
    void SetGlyphStyle(TGlyphStyle Value);
    void SetGlyph(const QIcon& Glyph);
    QToolButton* Button() const { return m_button; }
    // True while OnButtonClick runs.
    bool ButtonClicking() const { return m_clicking; }

    TMFNotifyEvent OnButtonClick;

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    void ButtonClicked();

    QToolButton* m_button;
    TGlyphStyle m_glyphStyle = gsDefault;
    bool m_clicking = false;
};

class TMFButtonEdit : public TMFCustomButtonEdit {
    Q_OBJECT
public:
    using TMFCustomButtonEdit::TMFCustomButtonEdit;
};
