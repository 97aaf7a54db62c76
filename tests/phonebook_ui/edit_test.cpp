#include <QKeyEvent>
#include <gtest/gtest.h>

#include "phonebook/ui/mf_edit.h"
#include "phonebook/ui/vst_editor.h"
#include "tests/phonebook_ui/pb_rig.h"

using namespace PhonebookUiTest;

namespace {

class Edit : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::ResetClassicSysColors();
        first = new TMFEdit(rig.Window.get());
        edit = new TMFEdit(rig.Window.get());
        last = new TMFEdit(rig.Window.get());
        first->move(10, 10);
        edit->move(10, 40);
        last->move(10, 70);
        rig.Show();
    }
    // The background in the middle of the edit, away from the text.
    TColor ShownBackground() { return Pixel(Grab(edit), edit->width() - 6, edit->height() / 2); }

    TWindowRig rig;
    TMFEdit* first = nullptr;
    TMFEdit* edit = nullptr;
    TMFEdit* last = nullptr;
};

}  // namespace

TEST_F(Edit, Defaults)
{
    EXPECT_EQ(edit->size(), QSize(101, 21));
    EXPECT_EQ(edit->Alignment(), taLeftJustify);
    EXPECT_EQ(edit->EditStyle(), esCtl3D);
    EXPECT_EQ(edit->LineStyle(), lsRaised);
    EXPECT_FALSE(edit->FirstCharUpperCase());
    EXPECT_EQ(edit->FocusedColor(), clWindow);
    EXPECT_FALSE(edit->Required());
    EXPECT_EQ(edit->RequiredColor(), clYellow);
    EXPECT_TRUE(edit->Keys().Empty());
    EXPECT_EQ(edit->Color(), clWindow);
    // 0 is "no limit"; Qt's own 0 would allow nothing.
    EXPECT_EQ(edit->MaxLength(), 0);
    EXPECT_EQ(edit->maxLength(), 32767);
    edit->SetMaxLength(3);
    EXPECT_EQ(edit->maxLength(), 3);
    edit->SetMaxLength(0);
    edit->SetText(std::string(100, 'x'));
    EXPECT_EQ(edit->text().size(), 100);
    edit->SetAlignment(taCenter);
    EXPECT_TRUE(edit->alignment() & Qt::AlignHCenter);
    edit->SetAlignment(taRightJustify);
    EXPECT_TRUE(edit->alignment() & Qt::AlignRight);
}

TEST_F(Edit, RequiredFieldColoursFollowFocusAndEmptiness)
{
    edit->SetFocusedColor(clAqua);
    edit->SetText("abc");
    edit->SetRequired(true);
    EXPECT_EQ(edit->Color(), clWindow);
    PBUI_REQUIRE_FOCUS(edit);
    EXPECT_EQ(edit->Color(), clAqua);
    EXPECT_EQ(ShownBackground(), Rgb(clAqua));
    TypeOver(edit, "");  // emptied
    EXPECT_EQ(edit->Color(), clYellow);
    ASSERT_TRUE(TWindowRig::Focus(rig.Other));
    EXPECT_EQ(edit->Color(), clYellow);
    EXPECT_EQ(ShownBackground(), Rgb(clYellow));
    ASSERT_TRUE(TWindowRig::Focus(edit));
    EXPECT_EQ(edit->Color(), clAqua);
    Type(edit, "x");  // filled: the normal colour, focused or not
    EXPECT_EQ(edit->Color(), clWindow);
    ASSERT_TRUE(TWindowRig::Focus(rig.Other));
    EXPECT_EQ(edit->Color(), clWindow);
    EXPECT_EQ(ShownBackground(), Rgb(clWindow));

    edit->Clear();
    EXPECT_EQ(edit->Color(), clYellow);
    edit->SetRequiredColor(clRed);
    EXPECT_EQ(edit->Color(), clRed);
    edit->SetRequired(false);
    EXPECT_EQ(edit->Color(), clWindow);
    edit->Clear();
    EXPECT_EQ(edit->Color(), clWindow);  // not required: the colour stays

    ASSERT_TRUE(TWindowRig::Focus(edit));
    edit->SetFocusedColor(clLime);
    EXPECT_EQ(edit->Color(), clLime);
}

TEST_F(Edit, FirstLetterUpperCased)
{
    edit->SetFirstCharUpperCase(true);
    PBUI_REQUIRE_FOCUS(edit);
    Type(edit, "a");
    EXPECT_EQ(edit->text(), "A");
    Type(edit, "bc");
    EXPECT_EQ(edit->text(), "Abc");
    KeyClick(edit, Qt::Key_Home);
    Type(edit, "d");
    EXPECT_EQ(edit->text(), "dAbc");  // only into an empty edit
    TypeOver(edit, "5x");
    EXPECT_EQ(edit->text(), "5x");
    edit->SetFirstCharUpperCase(false);
    TypeOver(edit, "q");
    EXPECT_EQ(edit->text(), "q");
}

TEST_F(Edit, NavigationKeysAndEnter)
{
    edit->SetKeys({ksReturn, ksEscape});
    PBUI_REQUIRE_FOCUS(edit);
    KeyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(last->hasFocus());
    ASSERT_TRUE(TWindowRig::Focus(edit));
    KeyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(first->hasFocus());

    // Without ksReturn an Enter stays in the edit, consumed.
    ASSERT_TRUE(TWindowRig::Focus(edit));
    edit->SetKeys({});
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    enter.ignore();
    QCoreApplication::sendEvent(edit, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_TRUE(edit->hasFocus());
    // Esc without ksEscape goes on to the window, as in any edit.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(edit, &esc);
    EXPECT_FALSE(esc.isAccepted());

    // A key-down handler may consume a key.
    edit->Events.OnKeyDown = [](QObject*, int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Q)
            key = 0;
    };
    TypeOver(edit, "pq");
    EXPECT_EQ(edit->text(), "p");
}

// Counts the Enter presses that reach a widget.
class TEnterCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Return)
            ++count;
        return false;
    }
};

TEST_F(Edit, EnterGoesOnOnlyForACellEditorThatKeepsTheControlEvents)
{
    QObject plain;
    TVSTEditor keeping;
    keeping.SetOptions(TVSTEditorOptions{true});
    TVSTEditor notKeeping;
    const struct {
        const char* name;
        QObject* owner;
        TKeySets keys;
        bool consumed;
        TMFEdit* focusAfter;
    } cases[] = {
        {"no owner", nullptr, {}, true, edit},
        {"an owner that is no cell editor", &plain, {}, true, edit},
        {"a cell editor without the option", &notKeeping, {}, true, edit},
        {"a cell editor with the option", &keeping, {}, false, edit},
        {"ksReturn comes first", &keeping, {ksReturn}, true, last},
    };
    TEnterCounter window;
    rig.Window->installEventFilter(&window);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        edit->SetOwner(c.owner);
        edit->SetKeys(c.keys);
        ASSERT_TRUE(TWindowRig::Focus(edit));
        edit->SetText("abc");
        window.count = 0;
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        enter.ignore();
        QCoreApplication::sendEvent(edit, &enter);
        EXPECT_EQ(window.count, c.consumed ? 0 : 1);  // the window saw it only when passed on
        EXPECT_TRUE(c.focusAfter->hasFocus());
        EXPECT_EQ(edit->Text(), "abc");
    }
    rig.Window->removeEventFilter(&window);
    edit->SetOwner(nullptr);
}

TEST_F(Edit, UnderlineLookInPixels)
{
    QPalette pal = rig.Window->palette();
    pal.setColor(QPalette::Window, QColor(0x30, 0x60, 0x90));
    rig.Window->setPalette(pal);
    edit->SetEditStyle(esUnderline);
    EXPECT_FALSE(edit->hasFrame());
    EXPECT_EQ(edit->Color(), Platform::MakeColor(0x30, 0x60, 0x90));  // the parent's colour
    const QImage raised = Grab(edit);
    const int h = edit->height();
    for (int x : {0, 50, edit->width() - 1}) {
        EXPECT_EQ(Pixel(raised, x, h - 2), Rgb(clBtnHighlight)) << x;
        EXPECT_EQ(Pixel(raised, x, h - 1), Rgb(clBtnShadow)) << x;
        EXPECT_EQ(Pixel(raised, x, h - 3), Platform::MakeColor(0x30, 0x60, 0x90)) << x;
        EXPECT_EQ(Pixel(raised, x, 0), Platform::MakeColor(0x30, 0x60, 0x90)) << x;
    }
    edit->SetLineStyle(lsLowered);
    const QImage lowered = Grab(edit);
    EXPECT_EQ(Pixel(lowered, 20, h - 2), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(lowered, 20, h - 1), Rgb(clBtnHighlight));

    // Focused it takes FocusedColor; left, the parent's colour again.
    edit->SetFocusedColor(clWhite);
    PBUI_REQUIRE_FOCUS(edit);
    EXPECT_EQ(Pixel(Grab(edit), 50, 3), Rgb(clWhite));
    ASSERT_TRUE(TWindowRig::Focus(rig.Other));
    EXPECT_EQ(Pixel(Grab(edit), 50, 3), Platform::MakeColor(0x30, 0x60, 0x90));

    // The flat style: a one-pixel frame around its own colour.
    first->SetEditStyle(esUnderline);
    first->SetEditStyle(esCtl2D);
    const QImage flat = Grab(first);
    EXPECT_EQ(first->Color(), clWindow);
    EXPECT_EQ(Pixel(flat, 0, 0), Rgb(clWindowFrame));
    EXPECT_EQ(Pixel(flat, first->width() - 1, h - 1), Rgb(clWindowFrame));
    EXPECT_EQ(Pixel(flat, first->width() - 3, h / 2), Rgb(clWindow));
    EXPECT_NE(Pixel(flat, 20, h - 2), Rgb(clBtnShadow));
}
