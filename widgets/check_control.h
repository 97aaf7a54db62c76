#pragma once
#include <QPolygon>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/colors.h"
#include "widgets/check_control_types.h"

class TImageList;
class TIACheckControl;

// State-change event: the control and its new state.
using VTixCheckControlChangeStateProcedure =
    std::function<void(TIACheckControl* ASender, bool ANewStateSelected)>;

// An owner-drawn check box, radio item, read-only indicator or lamp: one
// check image beside a block of text that may be rotated and wrapped.
// With Transparent on, the widget is clipped (setMask) to the image and
// the text block. Texts are byte strings in the active ANSI code page.
class TIACheckControl : public QWidget {
    Q_OBJECT
public:
    explicit TIACheckControl(QWidget* Parent = nullptr);
    ~TIACheckControl() override;

    // Copies the properties of another control; Checked goes through
    // SetChecked so that its events fire.
    void Assign(const TIACheckControl& Source);

    bool Checked() const { return m_checked; }
    // Nothing happens when unchanged; otherwise stores, clears the group
    // (iacctSelect), fires OnChangeState and repaints.
    void SetChecked(bool Value);

    VTixCheckControlType ControlType() const { return m_controlType; }
    void SetControlType(VTixCheckControlType Value);
    VTixCheckControlStyle Style() const { return m_style; }
    void SetStyle(VTixCheckControlStyle Value);
    uint32_t GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(uint32_t Value);

    // Tenths of a degree counter-clockwise, kept in -1799..1800.
    int TextAngle() const { return m_textAngle; }
    void SetTextAngle(int Value);
    static int NormalizeTextAngle(int Value);

    VTixCheckControlTextHAlign TextAlign() const { return m_textAlign; }
    void SetTextAlign(VTixCheckControlTextHAlign Value);
    VTixCheckControlTextHAlign TextFieldHorizontalAlign() const { return m_fieldHAlign; }
    void SetTextFieldHorizontalAlign(VTixCheckControlTextHAlign Value);
    VTixCheckControlTextVAlign TextFieldVerticalAlign() const { return m_fieldVAlign; }
    void SetTextFieldVerticalAlign(VTixCheckControlTextVAlign Value);
    uint8_t GapTextToImage() const { return m_gap; }
    void SetGapTextToImage(uint8_t Value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool Value);
    bool ShowFocus() const { return m_showFocus; }
    void SetShowFocus(bool Value);
    VTixCheckControlText3DStyle Text3DStyle() const { return m_text3D; }
    void SetText3DStyle(VTixCheckControlText3DStyle Value);
    TColor CheckFieldColor1() const { return m_fieldColor1; }
    void SetCheckFieldColor1(TColor Value);
    TColor CheckFieldColor2() const { return m_fieldColor2; }
    void SetCheckFieldColor2(TColor Value);
    int CheckMarkSize() const { return m_checkMarkSize; }
    void SetCheckMarkSize(int Value);
    // Pictures of iaccsBitmap (0 unchecked, 1 checked, 2 and 3 disabled);
    // not owned, no repaint.
    TImageList* ImageList() const { return m_imageList; }
    void SetImageList(TImageList* Value) { m_imageList = Value; }

    // Background and text colours (system colours allowed).
    TColor Color() const { return m_color; }
    void SetColor(TColor Value);
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor Value);

    bool AutoSize() const { return m_autoSize; }
    // Always re-applies the region (and resizes when on).
    void SetAutoSize(bool Value);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool Value) { setEnabled(Value); }

    // The master text; TextLines is its drawn (wrapped) form.
    const std::string& Text() const { return m_text; }
    void SetText(const std::string& Value);
    const std::vector<std::string>& TextLines() const { return m_lines; }
    // Always acts: the lines become the given list's text.
    void SetTextLines(const std::vector<std::string>& Lines);

    int Tag() const { return m_tag; }
    void SetTag(int Value) { m_tag = Value; }
    void SetHint(const std::string& Value);

    bool MouseOver() const { return m_mouseOver; }
    bool KeyPressed() const { return m_keyPressed; }

    // The size the control takes with AutoSize on.
    QSize FullSize() const;
    // The image rectangle and the text block's corners, as laid out now.
    QRect ImageRect() const;
    QPolygon TextQuad() const;

    static bool LessColorDistanceThen(TColor A, TColor B, int Limit);

    VTixCheckControlChangeStateProcedure OnChangeState;
    // A click that ended over the control, or a space that changed the state.
    std::function<void(TIACheckControl* Sender)> OnClick;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    struct Layout;
    Layout ComputeLayout() const;

    // Takes the full size (unless a layout places the control), clips to
    // the image and the text, and repaints when asked.
    void ApplyRegion(bool Repaint = true);
    bool PlacedByLayout() const;
    void WrapAgain();
    void LinesChanged();
    void SetLinesQuietly(std::vector<std::string> Lines);
    void ClearGroup();
    void Click();
    unsigned StateWord() const;
    bool RadioForm() const;
    void DrawTextLine(QPainter& Painter, QPoint Pos, const QString& Line, TColor Color, int Ascent) const;
    void DrawFocusFrame(QPainter& Painter, const Layout& L) const;

    int m_textAngle = 0;
    VTixCheckControlType m_controlType = iacctCheck;
    std::vector<std::string> m_lines;
    std::string m_text;
    bool m_textFromLines = false;
    bool m_wrapPending = false;
    uint32_t m_groupIndex = 0;
    bool m_checked = false;
    TColor m_fieldColor1 = clBlack;
    TColor m_fieldColor2 = clWhite;
    VTixCheckControlStyle m_style = iaccsStyleWin;
    VTixCheckControlTextHAlign m_textAlign = iaccthaLeft;
    VTixCheckControlTextHAlign m_fieldHAlign = iaccthaLeft;
    VTixCheckControlTextVAlign m_fieldVAlign = iacctvaTop;
    TImageList* m_imageList = nullptr;
    uint8_t m_gap = 5;
    bool m_transparent = true;
    bool m_showFocus = true;
    VTixCheckControlText3DStyle m_text3D = iscct3dsSimple;
    int m_checkMarkSize = 13;
    bool m_mouseOver = false;
    bool m_keyPressed = false;
    bool m_captured = false;
    bool m_autoSize = true;
    TColor m_color = clBtnFace;
    TColor m_fontColor = clWindowText;
    int m_tag = 0;
    // Set while the lines feed the text, so the text does not wrap the
    // lines again from inside their own change.
    bool m_syncingText = false;
    bool m_applyingRegion = false;
    // The full size the layouts were last told about.
    QSize m_hintedSize;
};
