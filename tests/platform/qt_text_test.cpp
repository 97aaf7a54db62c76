// The Qt boundary: the program's texts go through the system code page,
// a language's texts through their own.
#include <gtest/gtest.h>

#include <QString>

#include "platform/codepage.h"
#include "platform/qt/qt_text.h"
#include "tests/support/code_pages.h"

using namespace Platform;
using TestSupport::Cz;

TEST(QtText, TheProgramsTextsAreOfTheSystemCodePage)
{
    EXPECT_EQ(ToQString(Cz("Žluťoučký kůň")), QStringLiteral("Žluťoučký kůň"));
    EXPECT_EQ(FromQString(QStringLiteral("Žluťoučký kůň")), Cz("Žluťoučký kůň"));
    // A language's text is read in its own code page.
    EXPECT_EQ(ToQString("caf\xE8", CP_WESTERN), QStringLiteral("cafè"));
    EXPECT_EQ(ToQString("caf\xE8", CP_CZECH), QStringLiteral("cafč"));
}

TEST(QtText, LettersTheCodePageLacksBecomeTheirBaseLetter)
{
    struct Case {
        QString typed;
        int codePage;
        std::string held;
    } cases[] = {
        {QStringLiteral("è"), CP_CZECH, "e"},
        {QStringLiteral("à la carte"), CP_CZECH, "a la carte"},
        {QStringLiteral("Ñandú"), CP_CZECH, Cz("Nandú")},
        {QStringLiteral("ř"), CP_WESTERN, "r"},
        {QStringLiteral("ǖ"), CP_CZECH, Cz("ü")},     // the base itself decomposes no further
        {QStringLiteral("Ø"), CP_CZECH, "?"},         // no decomposition
        {QStringLiteral("a😀b"), CP_CZECH, "a?b"},    // one letter outside the page, one "?"
        {QStringLiteral("ﬁ"), CP_CZECH, "?"},         // a compatibility form is no base letter
        {QStringLiteral("€"), CP_CZECH, "\x80"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FromQString(c.typed, c.codePage), c.held) << c.typed.toStdString();
}
