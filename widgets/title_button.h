#pragma once
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/colors.h"
#include "widgets/application_events.h"

class QPainter;
class QWidget;

enum TitleBtnKind {
    titleBtnKindClose,
    titleBtnKindMaximize,
    titleBtnKindMinimize,
    titleBtnKindRestore,
    titleBtnKindHelp,
    titleBtnKindTrayMinimize,
    titleBtnKindCustom
};

// One extra button for the caption bar of a form: its state, its click
// logic and its drawing. The caption bar itself belongs to the window
// manager on this platform, so the caption messages (hit test, button
// down in the caption, capture lost) come in through the Handle...
// operations from whoever draws a caption (a frameless window with its own
// title bar); the client-area half of the protocol (the release that ends
// a click, picking a control with an armed button) is watched on the form
// directly.
class VTixTitleButton : public QObject {
    Q_OBJECT
public:
    // Hit-test answer of a window's caption area.
    static constexpr int HTCAPTION = 2;

    // The form is the first window among the owner's parents; throws
    // std::runtime_error when there is none.
    explicit VTixTitleButton(QObject* Owner);
    VTixTitleButton(QObject* Owner, QWidget* Form);
    ~VTixTitleButton() override;

    QWidget* Form() const { return m_form; }
    int HitTestCode() const { return m_hitTestCode; }

    int BtnPosition() const { return m_btnPosition; }
    void SetBtnPosition(int Value);
    int Gap() const { return m_gap; }
    void SetGap(int Value);
    const QImage& Glyph() const { return m_glyph; }
    void SetGlyph(const QImage& Value);
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& Value) { m_hint = Value; }
    bool KeepPressed() const { return m_keepPressed; }
    void SetKeepPressed(bool Value);
    TitleBtnKind Kind() const { return m_kind; }
    void SetKind(TitleBtnKind Value);
    bool PaintOffscreen() const { return m_paintOffscreen; }
    void SetPaintOffscreen(bool Value) { m_paintOffscreen = Value; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool Value);

    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }
    // Asks for the caption to be repainted (frameRepaintRequested) unless
    // updates are held.
    void Changed();

    bool Pressed() const { return m_pressed; }
    // Releasing also disarms the button.
    void SetPressed(bool Value);
    // Releases the button; returns whether it was down.
    bool UnPush();
    // Kept down by a click with KeepPressed; the next click picks a control.
    bool Armed() const { return m_armed; }
    bool MouseOver() const { return m_mouseOver; }
    void SetMouseOver(bool Value);
    bool Captured() const { return m_captured; }

    // The form's control under a point of the form (the deepest child, or
    // the form itself); none while the mouse is over the button.
    QWidget* findMouseControl(QPoint FormPos) const;

    // The caption messages. Returns the hit-test answer: this button's
    // code when the system answered HTCAPTION and X lies in the cell.
    int HandleHitTest(int SystemAnswer, int X, int CellLeft, int CellWidth);
    void HandleNcButtonDown(int HitCode);
    // A left button release (caption or client area) at a form position.
    void HandleButtonUp(QPoint FormPos);
    void HandleMouseMove(QPoint FormPos);
    void HandleCaptureLost(bool ToOtherWindow, QPoint FormPos);
    void HandleMouseLeave() { SetMouseOver(false); }
    void HandleFormDestroyed();

    // The idle step of the button's own hint: shows it after the
    // application's hint pause (which then becomes the short pause, so
    // that the next hint comes quickly), hides it after the hide pause
    // (and puts the application's pause back).
    void ApplicationIdle(uint32_t Now);
    // The application shows a hint of its own: a pause this button
    // shortened is put back, and its own hint may show again.
    void ApplicationHint();
    bool HintShown() const { return m_hintShown; }
    static constexpr uint32_t HintPauseMs = VTixApplicationEvents::DefaultHintPause;
    static constexpr uint32_t HintHidePauseMs = VTixApplicationEvents::DefaultHintHidePause;

    // The cell of the button in a window WindowWidth wide whose caption
    // buttons are ButtonWidth x ButtonHeight, at caption row Top.
    QRect CellRect(int WindowWidth, int ButtonWidth, int ButtonHeight, int Top) const;
    // Draws the button into its cell: the visual-style or the classic
    // caption button with the kind's glyph, in the active or inactive look.
    void PaintButton(QPainter& Painter, const QRect& Cell, bool Active) const;
    // The glyph drawn for the kind (13 x 11, or 8 x 8 for small cells).
    QImage KindGlyph(bool Small) const;
    // Two colours are alike when |dR| + |dG| + |dB| is below 80.
    static bool ColorsAlike(TColor A, TColor B);

    std::function<void(VTixTitleButton* Sender)> OnClick;
    std::function<void(VTixTitleButton* Sender, QWidget* Control)> OnControlClick;
    std::function<void(VTixTitleButton* Sender, QWidget* Control)> OnControlMove;

signals:
    // The caption should be repainted (the form is active or not).
    void frameRepaintRequested(bool Active);
    // The button's own look changed.
    void buttonRepaintRequested();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void Capture();
    void EndCapture();
    bool FormIsActive() const;

    QPointer<QWidget> m_form;
    int m_hitTestCode = 0;
    int m_btnPosition = 0;
    int m_gap = 0;
    QImage m_glyph;
    std::string m_hint;
    bool m_keepPressed = false;
    TitleBtnKind m_kind = titleBtnKindTrayMinimize;
    bool m_paintOffscreen = false;
    bool m_visible = true;
    int m_updateCount = 0;
    bool m_pressed = false;
    bool m_armed = false;
    bool m_mouseOver = false;
    bool m_captured = false;
    bool m_savedTracking = false;
    bool m_formDestroyed = false;
    uint32_t m_enterTime = 0;
    uint32_t m_hintTime = 0;
    bool m_hintShown = false;
    bool m_hintDone = false;
    // The application's hint pause while this button has it shortened;
    // -1 when it has not.
    int m_savedHintPause = -1;
    void RestoreHintPause();
};
