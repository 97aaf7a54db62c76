#include "widgets/title_button.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWidget>
#include <memory>
#include <stdexcept>

#include "foundation/tixutils_timer.h"
#include "platform/qt/qt_text.h"
#include "platform/tick.h"
#include "widgets/application_events.h"
#include "widgets/check_painter.h"
#include "widgets/theme_switch.h"
#include "widgets/widget_pictures.h"

namespace {

// Hit-test codes of the caption buttons, one per button made.
int g_nextHitTestCode = 200;

QWidget* RequireForm(QObject* Owner)
{
    for (QObject* o = Owner; o; o = o->parent()) {
        if (auto* w = qobject_cast<QWidget*>(o))
            return w->window();
    }
    throw std::runtime_error("VTixTitleButton must be placed on a TCustomForm descendant");
}

QColor Q(TColor c) { return Platform::ToQColor(c); }

}  // namespace

VTixTitleButton::VTixTitleButton(QObject* Owner) : VTixTitleButton(Owner, RequireForm(Owner))
{
    m_paintOffscreen = true;
    // Made with the owner alone the button paints after construction.
    EndUpdate();
}

VTixTitleButton::VTixTitleButton(QObject* Owner, QWidget* Form)
    : QObject(Owner), m_form(Form), m_hitTestCode(g_nextHitTestCode++)
{
    m_updateCount = 2;
    if (m_form)
        m_form->installEventFilter(this);
    VTixApplicationEvents* events = VTixApplicationEvents::Instance();
    events->RegisterIdle(this, [this](bool&) { ApplicationIdle(Platform::GetTickCount()); });
    events->RegisterHint(this, [this] { ApplicationHint(); });
    EndUpdate();
}

VTixTitleButton::~VTixTitleButton()
{
    if (VTixApplicationEvents* events = VTixApplicationEvents::Existing())
        events->Unregister(this);
    if (m_hintShown)
        QToolTip::hideText();
    // A button that goes must not leave the application's hints hurried.
    RestoreHintPause();
    if (!m_formDestroyed && m_form) {
        m_visible = false;
        EndCapture();
        m_form->removeEventFilter(this);
        emit frameRepaintRequested(FormIsActive());
    }
}

// ---- properties -------------------------------------------------------------

void VTixTitleButton::SetBtnPosition(int Value)
{
    if (Value == m_btnPosition)
        return;
    m_btnPosition = Value;
    Changed();
}

void VTixTitleButton::SetGap(int Value)
{
    if (Value == m_gap)
        return;
    m_gap = Value;
    Changed();
}

void VTixTitleButton::SetGlyph(const QImage& Value)
{
    m_glyph = Value;
    if (m_kind == titleBtnKindCustom)
        Changed();
}

void VTixTitleButton::SetKeepPressed(bool Value)
{
    m_keepPressed = Value;
    SetPressed(false);
}

void VTixTitleButton::SetKind(TitleBtnKind Value)
{
    if (Value == m_kind)
        return;
    m_kind = Value;
    Changed();
}

void VTixTitleButton::SetVisible(bool Value)
{
    if (Value == m_visible)
        return;
    m_visible = Value;
    Changed();
}

void VTixTitleButton::EndUpdate()
{
    if (m_updateCount > 0)
        --m_updateCount;
    Changed();
}

bool VTixTitleButton::FormIsActive() const
{
    if (!m_form)
        return false;
    if (m_form->isActiveWindow())
        return true;
    QWidget* focus = QApplication::focusWidget();
    return focus && m_form->isAncestorOf(focus);
}

void VTixTitleButton::Changed()
{
    if (m_updateCount < 1)
        emit frameRepaintRequested(FormIsActive());
}

// ---- state ---------------------------------------------------------------------

void VTixTitleButton::SetPressed(bool Value)
{
    if (!Value)
        m_armed = false;
    if (Value == m_pressed)
        return;
    m_pressed = Value;
    emit buttonRepaintRequested();
}

bool VTixTitleButton::UnPush()
{
    const bool was = m_pressed;
    SetPressed(false);
    return was;
}

void VTixTitleButton::SetMouseOver(bool Value)
{
    if (Value == m_mouseOver)
        return;
    m_mouseOver = Value;
    emit buttonRepaintRequested();
    if (Value) {
        m_enterTime = Platform::GetTickCount();
        m_hintDone = false;
    } else if (m_hintShown) {
        QToolTip::hideText();
        m_hintShown = false;
        m_hintDone = true;
    } else {
        m_hintDone = false;
    }
}

void VTixTitleButton::Capture()
{
    m_captured = true;
    if (!m_form)
        return;
    // Every move reaches the form while captured, buttons held or not.
    m_savedTracking = m_form->hasMouseTracking();
    m_form->setMouseTracking(true);
    if (m_form->isVisible())
        m_form->grabMouse();
}

void VTixTitleButton::EndCapture()
{
    if (!m_captured)
        return;
    m_captured = false;
    if (!m_form)
        return;
    m_form->setMouseTracking(m_savedTracking);
    if (QWidget::mouseGrabber() == m_form)
        m_form->releaseMouse();
}

QWidget* VTixTitleButton::findMouseControl(QPoint FormPos) const
{
    if (m_mouseOver || !m_form)
        return nullptr;
    if (QWidget* child = m_form->childAt(FormPos))
        return child;
    return m_form->rect().contains(FormPos) ? m_form.data() : nullptr;
}

// ---- the caption messages --------------------------------------------------------

int VTixTitleButton::HandleHitTest(int SystemAnswer, int X, int CellLeft, int CellWidth)
{
    if (!m_visible || m_formDestroyed)
        return SystemAnswer;
    if (SystemAnswer == HTCAPTION && X >= CellLeft && X < CellLeft + CellWidth) {
        SetMouseOver(true);
        if (m_captured)
            SetPressed(true);
        return m_hitTestCode;
    }
    SetMouseOver(false);
    if (!m_armed)
        SetPressed(false);
    return SystemAnswer;
}

void VTixTitleButton::HandleNcButtonDown(int HitCode)
{
    if (!m_visible || m_formDestroyed)
        return;
    if (HitCode == m_hitTestCode) {
        SetPressed(true);
        if (!m_captured)
            Capture();
        return;
    }
    if (!m_armed) {
        SetPressed(false);
        EndCapture();
    }
}

void VTixTitleButton::HandleButtonUp(QPoint FormPos)
{
    if (!m_captured || m_formDestroyed)
        return;
    if (m_armed) {
        EndCapture();
        if (m_pressed) {
            SetPressed(false);
            if (OnControlClick)
                OnControlClick(this, findMouseControl(FormPos));
        }
        return;
    }
    if (m_keepPressed && m_pressed) {
        // Stays down with the mouse captured: the next click picks a control.
        m_armed = true;
        if (OnClick)
            OnClick(this);
        return;
    }
    EndCapture();
    if (m_pressed) {
        SetPressed(false);
        if (OnClick)
            OnClick(this);
    }
}

void VTixTitleButton::HandleMouseMove(QPoint FormPos)
{
    if (m_pressed && OnControlMove)
        OnControlMove(this, findMouseControl(FormPos));
}

void VTixTitleButton::HandleCaptureLost(bool ToOtherWindow, QPoint FormPos)
{
    if (!m_captured)
        return;
    m_captured = false;
    if (m_form)
        m_form->setMouseTracking(m_savedTracking);
    if (m_armed && ToOtherWindow) {
        if (m_pressed) {
            SetPressed(false);
            if (OnControlClick)
                OnControlClick(this, findMouseControl(FormPos));
        }
        return;
    }
    SetPressed(false);
}

void VTixTitleButton::HandleFormDestroyed()
{
    m_formDestroyed = true;
    m_captured = false;
    SetPressed(false);
}

bool VTixTitleButton::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == m_form && m_visible) {
        switch (Event->type()) {
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(Event);
            if (me->button() == Qt::LeftButton && m_captured)
                HandleButtonUp(me->position().toPoint());
            break;
        }
        case QEvent::MouseMove:
            HandleMouseMove(static_cast<QMouseEvent*>(Event)->position().toPoint());
            break;
        case QEvent::UngrabMouse:
            if (m_captured)
                HandleCaptureLost(true, m_form->mapFromGlobal(QCursor::pos()));
            break;
        default:
            break;
        }
    }
    if (Watched == m_form && Event->type() == QEvent::Destroy)
        HandleFormDestroyed();
    return QObject::eventFilter(Watched, Event);
}

// ---- the own hint ----------------------------------------------------------------

void VTixTitleButton::ApplicationIdle(uint32_t Now)
{
    VTixApplicationEvents* app = VTixApplicationEvents::Instance();
    if (m_mouseOver && !m_hint.empty() && !m_hintShown && !m_hintDone
        && Tixutils::IsTimerOver(m_enterTime, uint32_t(app->HintPause()), Now)) {
        if (m_savedHintPause < 0)
            m_savedHintPause = app->HintPause();
        app->SetHintPause(app->HintShortPause());
        QToolTip::showText(QCursor::pos(), Platform::ToQString(m_hint));
        m_hintShown = true;
        m_hintTime = Now;
    } else if (m_hintShown && Tixutils::IsTimerOver(m_hintTime, uint32_t(app->HintHidePause()), Now)) {
        QToolTip::hideText();
        m_hintShown = false;
        RestoreHintPause();
        m_hintDone = true;
    }
}

void VTixTitleButton::ApplicationHint()
{
    RestoreHintPause();
    m_hintDone = false;
}

void VTixTitleButton::RestoreHintPause()
{
    if (m_savedHintPause < 0)
        return;
    if (VTixApplicationEvents* app = VTixApplicationEvents::Existing())
        app->SetHintPause(m_savedHintPause);
    m_savedHintPause = -1;
}

// ---- drawing -----------------------------------------------------------------------

QRect VTixTitleButton::CellRect(int WindowWidth, int ButtonWidth, int ButtonHeight, int Top) const
{
    const int left = WindowWidth - m_gap - (m_btnPosition + 1) * ButtonWidth;
    return QRect(left, Top + 2, ButtonWidth - 2, ButtonHeight - 4);
}

bool VTixTitleButton::ColorsAlike(TColor A, TColor B) { return LessColorDistanceThen(A, B, 80); }

QImage VTixTitleButton::KindGlyph(bool Small) const
{
    const char* name = nullptr;
    switch (m_kind) {
    case titleBtnKindClose: name = "CLOSE"; break;
    case titleBtnKindMaximize: name = "MAX"; break;
    case titleBtnKindMinimize: name = "MIN"; break;
    case titleBtnKindRestore: name = "REST"; break;
    case titleBtnKindHelp: name = "HELP"; break;
    case titleBtnKindTrayMinimize:
        return Small ? Widgets::Picture(QStringLiteral("TITLEICONS_TRAY"), clLime)
                     : Widgets::Picture(QStringLiteral("TRAY"), clLime);
    case titleBtnKindCustom: return m_glyph;
    }
    return Widgets::Picture(QStringLiteral("%1_%2").arg(Small ? "TITLEICONS" : "TITLEICONB", name), clLime);
}

namespace {

// The glyph's opaque pixels in one colour.
QImage Tinted(const QImage& glyph, TColor color)
{
    QImage out = glyph.convertToFormat(QImage::Format_ARGB32);
    const QColor c = Q(color);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (qAlpha(line[x]) > 0)
                line[x] = qRgba(c.red(), c.green(), c.blue(), qAlpha(line[x]));
        }
    }
    return out;
}

void Edge3D(QPainter& p, const QRect& r, bool sunk)
{
    const TColor outerTL = sunk ? cl3DDkShadow : cl3DLight;
    const TColor innerTL = sunk ? clBtnShadow : clBtnHighlight;
    const TColor innerBR = sunk ? clBtnHighlight : clBtnShadow;
    const TColor outerBR = sunk ? cl3DLight : cl3DDkShadow;
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), Q(outerTL));
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), Q(outerTL));
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), Q(outerBR));
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), Q(outerBR));
    const QRect i = r.adjusted(1, 1, -1, -1);
    p.fillRect(QRect(i.left(), i.top(), i.width(), 1), Q(innerTL));
    p.fillRect(QRect(i.left(), i.top(), 1, i.height()), Q(innerTL));
    p.fillRect(QRect(i.left(), i.bottom(), i.width(), 1), Q(innerBR));
    p.fillRect(QRect(i.right(), i.top(), 1, i.height()), Q(innerBR));
}

}  // namespace

void VTixTitleButton::PaintButton(QPainter& Painter, const QRect& Cell, bool Active) const
{
    if (!m_visible || Cell.width() < 4 || Cell.height() < 4)
        return;
    if (m_form && m_form->isMinimized())
        return;
    QImage offscreen;
    QPainter* target = &Painter;
    std::unique_ptr<QPainter> own;
    QRect r = Cell;
    if (m_paintOffscreen) {
        offscreen = QImage(Cell.size(), QImage::Format_ARGB32_Premultiplied);
        offscreen.fill(Qt::transparent);
        own = std::make_unique<QPainter>(&offscreen);
        target = own.get();
        r = QRect(QPoint(0, 0), Cell.size());
    }
    QPainter& p = *target;
    const bool sunk = m_pressed && (m_mouseOver || m_armed);
    const bool themes = Widgets::ThemesEnabled();
    if (themes) {
        TColor face = 0xF3EEEA;
        if (!Active)
            face = 0xE8E8E8;
        if (m_mouseOver)
            face = 0xFCE8D8;
        if (sunk)
            face = 0xE8C8A8;
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(Q(Active ? 0x8A6A4A : 0xB0B0B0), 1));
        p.setBrush(Q(face));
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        p.setRenderHint(QPainter::Antialiasing, false);
    } else {
        p.fillRect(r, Q(clBtnFace));
        if (m_kind != titleBtnKindCustom)
            Edge3D(p, r, sunk);
    }
    const bool small = r.height() < 15;
    QImage glyph = KindGlyph(small);
    if (!glyph.isNull()) {
        if (m_kind != titleBtnKindCustom) {
            TColor ink = Active ? clBtnText : clGrayText;
            if (ColorsAlike(ink, themes ? TColor(0xF3EEEA) : clBtnFace))
                ink = clBtnHighlight;
            glyph = Tinted(glyph, ink);
        }
        QPoint at = r.topLeft() + QPoint((r.width() - glyph.width()) / 2, (r.height() - glyph.height()) / 2);
        if (sunk)
            at += QPoint(1, 1);
        p.drawImage(at, glyph);
        if (m_kind == titleBtnKindCustom)
            Edge3D(p, r, sunk);
    }
    if (own) {
        own.reset();
        Painter.drawImage(Cell.topLeft(), offscreen);
    }
}
