#pragma once
#include <QPoint>
#include <QSize>
#include <QWidget>
#include <string>

#include "platform/colors.h"

enum TTextStyle { tsNone, tsRaised, tsRecessed };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

// A label whose caption is drawn at any angle (whole degrees,
// counter-clockwise), optionally raised or recessed.
class TRotateLabel : public QWidget {
    Q_OBJECT
public:
    explicit TRotateLabel(QWidget* Parent = nullptr);

    int Escapement() const { return m_escapement; }
    // Kept in 0..360 (a negative angle comes up by whole turns).
    void SetEscapement(int Value);
    static int NormalizeEscapement(int Value);
    TTextStyle TextStyle() const { return m_textStyle; }
    void SetTextStyle(TTextStyle Value);

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& Value);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return m_layout; }
    void SetLayout(TTextLayout Value);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool Value);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool Value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool Value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool Value);
    TColor Color() const { return m_color; }
    void SetColor(TColor Value);
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor Value);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool Value) { setEnabled(Value); }

    // Where the unrotated text's top-left corner goes inside a box for the
    // angle A (degrees, 0..360) and the text size Tw x Th.
    static QPoint TextOffset(int A, int Tw, int Th, bool LayoutTop);
    // The rotated text's bounding size.
    static QSize RotatedBounds(int A, int Tw, int Th);

    // The size that AutoSize gives the label.
    QSize AutoSizeValue() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    QString DrawnCaption() const;
    QSize TextExtent() const;
    void Changed();

    int m_escapement = 90;
    TTextStyle m_textStyle = tsNone;
    std::string m_caption;
    TAlignment m_alignment = taLeftJustify;
    TTextLayout m_layout = tlTop;
    bool m_autoSize = true;
    bool m_showAccelChar = true;
    bool m_transparent = false;
    bool m_wordWrap = false;
    TColor m_color = clBtnFace;
    TColor m_fontColor = clWindowText;
};
