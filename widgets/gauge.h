#pragma once
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/colors.h"

class VTixGauge;

// What the gauge shows.
enum VTixGaugeKind { vgkText, vgkHorizontalBar, vgkVerticalBar, vgkPie, vgkNeedle };

// Border style of the gauge; bsSingle enlarges the pie's disc by a pixel.
enum TBorderStyle { bsNone, bsSingle };

// The colours and the text of one paint, handed to OnGetColors before the
// paint; clNone leaves that part undrawn.
struct VTixGaugePaintColors {
    TColor ForeColor = clBlack;
    TColor BackColor = clWhite;
    TColor Color = clBtnFace;   // background around the picture
    TColor FrameColor = 0x505050;
    TColor FontColor = clWindowText;
    std::string Text;           // the value text, empty without ShowText
};

using VTixGaugeGetPaintColorsProc = std::function<void(VTixGauge* Sender, VTixGaugePaintColors& Colors)>;

// One integer value between MinValue and MaxValue shown as text, a bar, a
// pie or a needle dial, with an optional centred value text. The shown
// value maps the range onto ShowMinValue..ShowMaxValue. A Color of clNone
// makes the gauge transparent over its parent.
class VTixGauge : public QWidget {
    Q_OBJECT
public:
    explicit VTixGauge(QWidget* Parent = nullptr);

    // Changing MinValue/MaxValue also sets ShowMinValue/ShowMaxValue.
    bool AutoShowVals = true;

    int Progress() const { return m_progress; }
    // Clamped to MinValue..MaxValue; repaints only when the result differs.
    void SetProgress(int Value);
    // SetProgress(Progress + Delta), then a repaint in any case.
    void AddProgress(int Delta);
    int MinValue() const { return m_min; }
    // Pushes MaxValue and Progress up to the new minimum.
    void SetMinValue(int Value);
    int MaxValue() const { return m_max; }
    // Pushes MinValue and Progress down to the new maximum.
    void SetMaxValue(int Value);
    int ShowMinValue() const { return m_showMin; }
    void SetShowMinValue(int Value);
    int ShowMaxValue() const { return m_showMax; }
    void SetShowMaxValue(int Value);
    int DigitsAfterPoint() const { return m_digits; }
    // Clamped to 0..9.
    void SetDigitsAfterPoint(int Value);
    VTixGaugeKind Kind() const { return m_kind; }
    void SetGaugeKind(VTixGaugeKind Value);
    bool ShowText() const { return m_showText; }
    void SetShowText(bool Value);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TColor ForeColor() const { return m_foreColor; }
    void SetForeColor(TColor Value);
    TColor BackColor() const { return m_backColor; }
    void SetBackColor(TColor Value);
    // Appended to the value text, unless it is exactly one blank.
    const std::string& Units() const { return m_units; }
    void SetUnits(const std::string& Value);
    TColor Color() const { return m_color; }
    void SetColor(TColor Value);
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor Value);

    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool Value) { setEnabled(Value); }
    void SetHint(const std::string& Value);

    static double SolveForX(double Value, double Factor) { return Value * 0.01 * Factor; }
    // 0 when Whole is 0, else Part * 100 / Whole.
    static double SolveForY(double Part, double Whole);
    // Per cent of the range done (rounded without decimals).
    double GetPercentDone() const;
    // The shown value (rounded without decimals).
    double GetShowPercentDone() const;
    // The value text: the shown value with DigitsAfterPoint decimals
    // (always "."), followed by Units.
    std::string progressString_() const;

    // Called before every paint; may change every colour and the text.
    VTixGaugeGetPaintColorsProc OnGetColors;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    double Fraction() const;
    void Repaint() { update(); }

    int m_digits = 0;
    std::string m_units = "%";
    int m_showMax = 100;
    int m_showMin = 0;
    int m_min = 0;
    int m_max = 100;
    int m_progress = 0;
    VTixGaugeKind m_kind = vgkHorizontalBar;
    bool m_showText = true;
    TBorderStyle m_borderStyle = bsSingle;
    TColor m_foreColor = clBlack;
    TColor m_backColor = clWhite;
    TColor m_color = clBtnFace;
    TColor m_fontColor = clWindowText;
};
