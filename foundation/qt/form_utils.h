#pragma once
#include <QList>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>
#include <string>

#include "platform/colors.h"

class QComboBox;
class QTabWidget;

// Placing windows on the usable part of the screen, finding controls and
// forms, and combo-box helpers that keep the selection. Texts are byte
// strings in the system code page, as everywhere in the program.
//
// A window's bounds here are its outer rectangle: the position of its frame
// and the size including the frame, as far as the window system tells it.
namespace Tixutils {

// What the placement functions know of the screens.
struct TScreenAreas {
    QRect WorkArea;            // the desktop work area (screen less panels)
    QList<QRect> Monitors;     // the monitors, the primary one first
    QSize PrimarySize;         // size of the primary display
    QSize CaptionButton;       // a caption button of a normal window
    QSize SmallCaptionButton;  // a caption button of a tool window
};

// Where the screen facts come from: by default the application's screens.
// Tests install a fixed source (an empty function restores the screens).
// A source returns false when it knows no work area.
using ScreenAreaSource = std::function<bool(TScreenAreas& areas)>;
ScreenAreaSource SetScreenAreaSource(ScreenAreaSource source);
bool GetScreenAreas(TScreenAreas& areas);

// Selects the last item equal to text (exact, else ignoring case). Without
// one: an empty text clears the selection; an editable combo box clears it
// and shows the text; a drop-down list cannot, keeps its selection and
// returns false.
bool SetComboText(QComboBox* combo, const std::string& text);
// Replaces the text of item index (when valid), keeping it selected when it
// was.
void SetComboString(QComboBox* combo, int index, const std::string& text);

// The usable area: the work area, each edge (left and top too) taken as the
// smaller of its own and the first monitor's;
// with firstScreenOnly a desktop wider than 16:9 (or narrower than 8:9) is
// taken as two screens and cut to the first half. False without a work area.
bool GetFormArea(QRect& rect, bool firstScreenOnly);
// Shrinks the window to the area, then moves it inside (left and top win).
void MoveFormToScreen(QWidget* form, bool firstScreenOnly = false);
// Centres the window over control (when given), else over the area, else
// over the point (320, 240); then MoveFormToScreen.
void MoveFormToCenter(QWidget* form, QWidget* control, bool firstScreenOnly);
// Moves rect (the window's outer rectangle) so that at least 10 pixels of
// the caption beside its buttons stay on the area and the caption cannot
// leave it at the top. Nothing happens without a work area.
void MoveFormTitleToScreenRect(QWidget* form, QRect& rect);
void MoveFormTitleToScreen(QWidget* form);
// Like MoveFormToScreen, but a window that sticks out first jumps back by
// its own width or height.
void MoveFormToScreen2(QWidget* form, bool firstScreenOnly = false);

// The outer rectangle of a window (a child widget: its geometry).
QRect FormBounds(const QWidget* form);
void SetFormBounds(QWidget* form, const QRect& bounds);

// Depth first: the widget itself when its native window is handle, else
// the first match among its children. Null for handle 0.
QWidget* FindControlByHandle(QWidget* control, WId handle);
// The first window in the parent chain, starting with the object itself.
QWidget* GetFirstParentForm(QObject* component);

// Text colour of an edit (any widget), set only when it differs.
void SetEditColor(QWidget* edit, TColor color);
// Text colour of a combo box; an editable one keeps its text and selection.
void SetComboColor(QComboBox* combo, TColor color);
// Most-recently-used list: the edit text goes first, once, and the list
// keeps fewer than maxCount other items.
void AddComboTextToItems(QComboBox* combo, int maxCount);

// The tab widget showing page (a widget) as one of its tabs, with the tab's
// index; null for anything else.
QTabWidget* TabWidgetOfPage(QObject* page, int* index = nullptr);

// A page of a tab widget: its tab's visibility; any other widget: its own.
bool GetControlVisible(QWidget* control);
bool SetControlVisible(QWidget* control, bool visible);
// Through the "checked" property when the object has one; else false.
bool GetControlChecked(QObject* control);
bool SetControlChecked(QObject* control, bool checked);

}  // namespace Tixutils
