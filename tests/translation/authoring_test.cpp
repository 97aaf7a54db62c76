// The translation component's authoring tools: converting another
// program's language file, and drawing language icons and menu items.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <memory>
#include <string>

#include "platform/colors.h"
#include "platform/qt/qt_text.h"
#include "tests/support/qt_app.h"
#include "tests/translation/lang_test_support.h"
#include "translation/forms/tixlanguage_forms.h"
#include "translation/tixlanguage.h"

using LangTest::Crlf;

namespace {

// A white picture of the given size.
QImage Blank(int w, int h, QColor colour = Qt::white)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The rectangle of the pixels that differ from colour; empty when none.
QRect Differing(const QImage& image, QColor colour, QRect area = QRect())
{
    if (area.isNull())
        area = image.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

TEST(Authoring, ConvertWinCmdLang)
{
    TestSupport::App();
    auto lang = LangTest::MakeBuiltInLanguage();
    LangTest::TempDir dir;
    // Czech texts in the Czech code page, some quoted, with accelerators.
    const std::string czech = Crlf({"; a comment", "0=Cesky", "1=&Ano", "2=\"&Ne\"", "3=OK", "4=Storno",
                                    "5=&N\xE1pov\xEC" "da", " 6 = &Pou\x9E\xEDt ", "7=&Pozad\xED",
                                    "8=&P\xF8" "esko\xE8it", "9=&Jin\xE9", "x=not a number", "A && B"});
    LangTest::WriteFile(dir.File("WCMD_CZ.LNG"), czech);
    LangTest::WriteFile(dir.File("wcmd_xx.lng"), Crlf({"1=&Yes", "3=OK", "8=Fish && Chips"}));
    LangTest::WriteFile(dir.File("other.lng"), czech);
    LangTest::WriteFile(dir.File("WCMD_.LNG"), czech);
    LangTest::WriteFile(dir.File("WCMD_DE.LNG"), czech);
    LangTest::WriteFile(dir.File("DE.lng"), "kept");

    const std::string czechName = VTixLanguage::GetLangName(0x0405, "CZ");
    ASSERT_FALSE(czechName.empty());
    const struct {
        const char* source;
        bool converted;
        const char* target;   // the file written (or kept)
        std::string text;     // its whole text afterwards
    } cases[] = {
        {"WCMD_CZ.LNG", true, "CZ.lng",
         Crlf({"[General]", "LanguageName=\"" + czechName + "\"", "LanguageNameWC=\"CZ\"", "LanguageId=0x0405", "",
               "[Common]", "Yes=\"Ano\"", "No=\"Ne\"", "OK=\"OK\"", "Cancel=\"Storno\"", "Help=\"N\xE1pov\xEC" "da\"",
               "Apply=\"Pou\x9E\xEDt\"", "Background=\"Pozad\xED\"", "Skip=\"P\xF8" "esko\xE8it\"", "",
               "[Common.Shortcuts]", "Yes=\"&Ano\"", "No=\"&Ne\"", "OK=\"OK\"", "Cancel=\"Storno\"",
               "Help=\"&N\xE1pov\xEC" "da\"", "Apply=\"&Pou\x9E\xEDt\"", "Background=\"&Pozad\xED\"",
               "Skip=\"&P\xF8" "esko\xE8it\""})},
        // An unknown code, and words the source does not have left out.
        {"wcmd_xx.lng", true, "xx.lng",
         Crlf({"[General]", "LanguageName=\"xx\"", "LanguageNameWC=\"xx\"", "LanguageId=unknown, xx", "", "[Common]",
               "Yes=\"Yes\"", "OK=\"OK\"", "Skip=\"Fish & Chips\"", "", "[Common.Shortcuts]", "Yes=\"&Yes\"",
               "OK=\"OK\"", "Skip=\"Fish && Chips\""})},
        {"other.lng", false, "other.lng", czech},
        {"WCMD_.LNG", false, ".lng", ""},
        {"WCMD_DE.LNG", false, "DE.lng", "kept"},  // never over a file that is there
        {"WCMD_MISSING.LNG", false, "MISSING.lng", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(lang->ConvertWinCmdLang(dir.File(c.source)), c.converted);
        const bool exists = LangTest::FileExists(dir.File(c.target));
        EXPECT_EQ(exists, !c.text.empty());
        if (exists) {
            EXPECT_EQ(LangTest::ReadFile(dir.File(c.target)), c.text);
        }
    }
}

TEST(Authoring, PaintIconCellsFramesAndPlace)
{
    TestSupport::App();
    Platform::ResetClassicSysColors();
    auto lang = LangTest::MakeBuiltInLanguage();
    auto* forms = new VTixLanguageForms(lang.get());
    const QColor menu = Platform::ToQColor(clMenu);
    const QColor shadow = Platform::ToQColor(clBtnShadow);
    const QColor light = Platform::ToQColor(clBtnHighlight);
    const QColor white(Qt::white);
    const QRect rect(0, 0, 60, 24);
    const struct {
        const char* name;
        int image;
        bool backgroundDrawn, selected, focused;
        QColor topLeft, bottomRight, insideCell;
    } cases[] = {
        {"plain", 1, false, false, false, menu, menu, menu},
        {"selected: sunken", 1, false, true, false, shadow, light, menu},
        {"focused: raised", 1, false, false, true, light, shadow, menu},
        {"background drawn already", 1, true, true, true, white, white, white},
        {"no such image", 99, false, false, false, menu, menu, menu},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = Blank(rect.width(), rect.height());
        {
            QPainter p(&image);
            forms->PaintIcon(p, rect, c.image, c.backgroundDrawn, c.selected, c.focused);
        }
        EXPECT_EQ(image.pixelColor(0, 0), c.topLeft);
        EXPECT_EQ(image.pixelColor(18, 23), c.bottomRight);
        EXPECT_EQ(image.pixelColor(17, 1), c.insideCell);
        // Nothing right of the 19-pixel cell.
        EXPECT_TRUE(Differing(image, white, QRect(19, 0, 41, 24)).isEmpty());
        // The picture: within columns 1-16, from row (24 - 15) / 2 = 4 on.
        const QRect drawn = Differing(image, c.insideCell, QRect(1, 1, 17, 22));
        if (c.image == 99) {
            EXPECT_TRUE(drawn.isEmpty());
        } else {
            ASSERT_FALSE(drawn.isEmpty());
            EXPECT_GE(drawn.left(), 1);
            EXPECT_LE(drawn.right(), 16);
            EXPECT_GE(drawn.top(), 4);
            EXPECT_LE(drawn.bottom(), 19);
        }
    }

    // A language's icon is PaintIcon with that language's image, never
    // drawn selected.
    for (int language : {-1, 0x0405, 0x0809, 0x7777}) {
        SCOPED_TRACE(language);
        for (bool withBackground : {false, true}) {
            QImage byLanguage = Blank(40, 20), byIndex = Blank(40, 20);
            {
                QPainter p(&byLanguage);
                forms->PaintLanguageIcon(p, QRect(0, 0, 40, 20), language, withBackground, true, true);
            }
            {
                QPainter p(&byIndex);
                forms->PaintIcon(p, QRect(0, 0, 40, 20), lang->GetLanguageImageIndex(language), withBackground,
                                 false, true);
            }
            EXPECT_EQ(byLanguage, byIndex);
        }
    }
}

TEST(Authoring, PaintMenuItemW)
{
    TestSupport::App();
    Platform::ResetClassicSysColors();
    auto lang = LangTest::MakeBuiltInLanguage();
    auto* forms = new VTixLanguageForms(lang.get());
    const QColor background(128, 128, 128);
    const struct {
        bool selected;
        TColor pen;
        int top, height;
    } cases[] = {
        {false, clMenuText, 0, 30},
        {true, clHighlightText, 0, 30},
        {false, clMenuText, 10, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected);
        QImage image = Blank(200, 60, background);
        {
            QPainter p(&image);
            forms->PaintMenuItemW(nullptr, p, u"Česky", QRect(0, c.top, 200, c.height), c.selected);
        }
        const QRect drawn = Differing(image, background);
        ASSERT_FALSE(drawn.isEmpty());
        EXPECT_GE(drawn.left(), 21);
        // Vertically centred in the rectangle.
        const int middle = c.top + c.height / 2;
        EXPECT_LE(std::abs(drawn.center().y() - middle), 3) << drawn.top() << "-" << drawn.bottom();
        EXPECT_GE(drawn.top(), c.top);
        EXPECT_LE(drawn.bottom(), c.top + c.height - 1);
        // In the pen's colour: the pixel nearest to it is nearer than to the
        // background.
        const QColor pen = Platform::ToQColor(c.pen);
        int best = 1 << 30;
        for (int y = drawn.top(); y <= drawn.bottom(); ++y)
            for (int x = drawn.left(); x <= drawn.right(); ++x) {
                const QColor px = image.pixelColor(x, y);
                best = std::min(best, std::abs(px.red() - pen.red()) + std::abs(px.green() - pen.green()) +
                                          std::abs(px.blue() - pen.blue()));
            }
        EXPECT_LT(best, 128);
    }
}
