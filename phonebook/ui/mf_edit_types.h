#pragma once
#include <QObject>
#include <Qt>
#include <cstdint>
#include <functional>
#include <initializer_list>

// A small set of enumeration values (at most 32), as the edit controls and
// the tree keep their option sets.
template <class E>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> Values)
    {
        for (E v : Values)
            m_bits |= Bit(v);
    }
    constexpr bool Contains(E Value) const { return (m_bits & Bit(Value)) != 0; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr void Include(E Value) { m_bits |= Bit(Value); }
    constexpr void Exclude(E Value) { m_bits &= ~Bit(Value); }
    constexpr uint32_t Bits() const { return m_bits; }
    constexpr bool operator==(const TEnumSet&) const = default;

private:
    static constexpr uint32_t Bit(E Value) { return uint32_t(1) << unsigned(Value); }
    uint32_t m_bits = 0;
};

// Look of an edit: esUnderline has no border, the parent's colour and two
// 1-pixel lines along its bottom edge.
enum TEditStyle { esUnderline = 0, esCtl2D = 1, esCtl3D = 2 };
// Colours of the underline: raised = highlight over shadow.
enum TLineStyle { lsLowered, lsRaised };
// Navigation keys: Enter moves the focus on, Esc back.
enum TKeySet { ksReturn, ksEscape };
using TKeySets = TEnumSet<TKeySet>;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TGlyphStyle {
    gsCustom, gsDefault, gsCheck, gsDate, gsDirectory, gsDropDown, gsEllipsis, gsFile, gsHelp, gsHome, gsMail,
    gsOpen, gsSave, gsSearch, gsTime
};

// Change and key-down events of the edit controls. A key-down handler may
// set Key to 0: the key is then consumed.
using TMFNotifyEvent = std::function<void(QObject* Sender)>;
using TMFKeyEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)>;

struct TMFEditEvents {
    TMFNotifyEvent OnChange;
    TMFKeyEvent OnKeyDown;
};

// Qt's horizontal alignment of a TAlignment and back.
Qt::Alignment ToQtAlignment(TAlignment Value);
TAlignment FromQtAlignment(Qt::Alignment Value);
