#pragma once
#include <QPointer>
#include <memory>
#include <optional>
#include <string>

#include "phonebook/ui/mf_custom_edit.h"

class QToolButton;
class TMFNumEditGauge;
class TMFNumEditPopupForm;

enum TUDBtnType { btNext, btPrev };
enum TTrackBarOrientation { trHorizontal, trVertical };
// Fixed decimals, or with thousands separators as well.
enum TMFNumberFormat { nfFixed, nfNumber };

// An edit that holds a number: limits (equal limits mean none), step
// buttons and the Up/Down keys, a precision, a unit written after the
// number, a thin gauge along the bottom and a pop-up track bar. The
// decimal separator is the one of the program's locale settings.
class TMFCustomNumEdit : public TMFCustomEdit {
    Q_OBJECT
public:
    explicit TMFCustomNumEdit(QWidget* Parent = nullptr);
    ~TMFCustomNumEdit() override;

    // Reading gives the value the text shows (see GetValue).
    double Value() { return GetValue(); }
    double MinValue() const { return m_minValue; }
    // Re-reads the value.
    void SetMinValue(double Value);
    double MaxValue() const { return m_maxValue; }
    void SetMaxValue(double Value);
    double Increment() const { return m_increment; }
    void SetIncrement(double Value) { m_increment = Value; }
    // -1..6 digits after the separator; -1: general format, 4 digits.
    int Precision() const { return m_precision; }
    void SetPrecision(int Value);
    const std::string& ValueUnit() const { return m_valueUnit; }
    void SetValueUnit(const std::string& Value);
    TMFNumberFormat NumberFormat() const { return m_numberFormat; }
    void SetNumberFormat(TMFNumberFormat Value);
    // Up past the maximum goes to the minimum and back.
    bool Wrap() const { return m_wrap; }
    void SetWrap(bool Value) { m_wrap = Value; }
    // Off: pasting and cutting are refused.
    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool Value) { m_editorEnabled = Value; }

    bool TrackBarEnabled() const { return m_trackBarEnabled; }
    void SetTrackBarEnabled(bool Value);
    TTrackBarOrientation TrackBarOrientation() const { return m_trackBarOrientation; }
    void SetTrackBarOrientation(TTrackBarOrientation Value);
    int TrackBarWidth() const { return m_trackBarWidth; }
    void SetTrackBarWidth(int Value) { m_trackBarWidth = Value; }
    // True while the pop-up track bar shows.
    bool DroppedDown() const;
    // The pop-up form, made on the first drop-down.
    TMFNumEditPopupForm* PopupForm() const { return m_popup.get(); }

    // The gauge shows the value between GaugeMinValue and GaugeMaxValue
    // (equal: between MinValue and MaxValue) in a colour run from
    // GaugeBeginColor to GaugeEndColor; GaugeAroundCenter draws the bar
    // from the middle; with IncrementGauge a click on it sets whole steps.
    double GaugeMinValue() const { return m_gaugeMin; }
    void SetGaugeMinValue(double Value);
    double GaugeMaxValue() const { return m_gaugeMax; }
    void SetGaugeMaxValue(double Value);
    TColor GaugeBeginColor() const { return m_gaugeBeginColor; }
    void SetGaugeBeginColor(TColor Value);
    TColor GaugeEndColor() const { return m_gaugeEndColor; }
    void SetGaugeEndColor(TColor Value);
    bool IncrementGauge() const { return m_incrementGauge; }
    void SetIncrementGauge(bool Value) { m_incrementGauge = Value; }
    bool GaugeAroundCenter() const { return m_gaugeAroundCenter; }
    void SetGaugeAroundCenter(bool Value);
    int GaugeHeight() const { return m_gaugeHeight; }
    void SetGaugeHeight(int Value);

    // The text of a value: Precision decimals (15 significant digits), or
    // the general format; then a blank and the unit.
    std::string ValueToText(double Value) const;
    // The text without its unit.
    std::string RawValueStr(const std::string& Text) const;
    // The number of a text; nothing when it cannot be read.
    std::optional<double> TextToValue(const std::string& Text) const;
    // Limited to MinValue..MaxValue, unless the two are equal.
    double CheckValue(double Value) const;
    // The value of the text; a text that cannot be read or lies outside
    // the limits is rewritten from the stored value.
    double GetValue();
    // Stores the limited value and writes its text; OnChange only when
    // Value differs from the value before.
    void SetValue(double Value);
    // ValueToText(GetValue()).
    std::string GetText() { return ValueToText(GetValue()); }
    // One step up or down, as the buttons and the Up/Down keys do.
    void UpDownClick(TUDBtnType Button);

    // The lowest height that shows the text and the gauge.
    int MinHeight() const;
    // What the gauge draws: the share of the bar (0..1) and where it starts.
    double GaugeFraction();
    // The track bar's position (0..1000) of a value.
    int TrackBarPosition(double Value) const;

protected:
    void Change() override;
    bool KeyDown(int& Key, Qt::KeyboardModifiers Shift) override;
    void DoExit() override;
    void keyPressEvent(QKeyEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    friend class TMFNumEditGauge;

    char DecimalSeparator() const;
    // Writes the text; Quiet keeps OnChange silent.
    void WriteText(const std::string& Text, bool Quiet);
    void ValueShown();
    void LayoutParts();
    void UpdateMinHeight();
    bool PasteRefused() const;
    void ShowPopup();
    void TrackPopup(QPoint GlobalPos);
    void HidePopup();
    // The value of a gauge click at x.
    void GaugeClicked(int X);

    double m_value = 0;
    double m_minValue = 0;
    double m_maxValue = 100;
    double m_increment = 1;
    int m_precision = 2;
    std::string m_valueUnit;
    TMFNumberFormat m_numberFormat = nfFixed;
    bool m_wrap = false;
    bool m_editorEnabled = true;
    bool m_trackBarEnabled = true;
    TTrackBarOrientation m_trackBarOrientation = trHorizontal;
    int m_trackBarWidth = 125;
    double m_gaugeMin = 0;
    double m_gaugeMax = 0;
    TColor m_gaugeBeginColor = clNavy;
    TColor m_gaugeEndColor = clBlue;
    bool m_incrementGauge = false;
    bool m_gaugeAroundCenter = false;
    int m_gaugeHeight = 3;

    bool m_exiting = false;
    bool m_writing = false;
    bool m_quiet = false;

    QWidget* m_buttonPanel = nullptr;
    QToolButton* m_upButton = nullptr;
    QToolButton* m_downButton = nullptr;
    QToolButton* m_popupButton = nullptr;
    TMFNumEditGauge* m_gauge = nullptr;
    std::unique_ptr<TMFNumEditPopupForm> m_popup;
};
