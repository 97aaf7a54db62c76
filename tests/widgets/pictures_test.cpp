// The built-in pictures and the image lists made from them.
#include <gtest/gtest.h>

#include "tests/support/qt_app.h"
#include "tests/widgets/widget_test_helpers.h"
#include "widgets/image_list.h"
#include "widgets/widget_pictures.h"

namespace {

int TransparentPixels(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) == 0;
    return n;
}

}  // namespace

TEST(PicturesTest, ImageListsHaveTheirPictures)
{
    WidgetTest::AppWithDevices();
    struct Want {
        std::unique_ptr<TImageList> list;
        int count, w, h;
    };
    Want lists[] = {
        {Widgets::MakeChargerImageList(), 7, 16, 16},  {Widgets::MakeRingImageList(), 1, 16, 16},
        {Widgets::MakeCallStateImageList(), 9, 16, 16}, {Widgets::MakeCallTypeImageList(), 3, 16, 16},
        {Widgets::MakeSMSStateImageList(), 10, 16, 16}, {Widgets::MakeOperatorImageList(), 3, 16, 15},
        {Widgets::MakeLanguageFlagImageList(), 2, 16, 16},
    };
    for (const Want& w : lists) {
        ASSERT_EQ(w.list->Count(), w.count);
        EXPECT_EQ(w.list->Width(), w.w);
        EXPECT_EQ(w.list->Height(), w.h);
        for (int i = 0; i < w.count; ++i) {
            const QImage img = w.list->Image(i);
            EXPECT_EQ(img.size(), QSize(w.w, w.h));
            EXPECT_LT(TransparentPixels(img), w.w * w.h) << "picture " << i << " is empty";
        }
    }
    // The operator pictures differ (23002, 23001, 23003).
    const auto ops = Widgets::MakeOperatorImageList();
    EXPECT_NE(ops->Image(0), ops->Image(1));
    EXPECT_NE(ops->Image(1), ops->Image(2));
}

TEST(PicturesTest, LimeKeyedPicturesBecomeTransparent)
{
    WidgetTest::AppWithDevices();
    const auto sms = Widgets::MakeSMSStateImageList();
    for (int i = 0; i < sms->Count(); ++i) {
        const QImage img = sms->Image(i);
        EXPECT_GT(TransparentPixels(img), 0) << i;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                if (qAlpha(img.pixel(x, y)) != 0) {
                    ASSERT_NE(img.pixel(x, y) & 0xFFFFFFu, 0x00FF00u);
                }
            }
        }
    }
    // BeingSent and BeingStored share one picture.
    EXPECT_EQ(sms->Image(5), sms->Image(6));

    for (const char* name : {"CLOSE", "MAX", "MIN", "HELP", "TRAY", "REST"}) {
        const QImage big = Widgets::Picture(QStringLiteral("TITLEICONB_%1").arg(name), clLime);
        const QImage small = Widgets::Picture(QStringLiteral("TITLEICONS_%1").arg(name), clLime);
        EXPECT_EQ(big.size(), QSize(13, 11)) << name;
        EXPECT_EQ(small.size(), QSize(8, 8)) << name;
        EXPECT_GT(TransparentPixels(big), 0);
        EXPECT_LT(TransparentPixels(big), 13 * 11);
    }
    EXPECT_EQ(Widgets::Picture("TRAY", clLime).size(), QSize(13, 11));
    // Without the key colour the lime stays.
    EXPECT_EQ(Widgets::Picture("TRAY").pixel(0, 8) & 0xFFFFFFu, 0x00FF00u);
    EXPECT_TRUE(Widgets::Picture("NO_SUCH_PICTURE").isNull());
    EXPECT_FALSE(Widgets::Picture("LANG_TWOFLAGS", clWhite).isNull());
    EXPECT_FALSE(Widgets::Picture("LANG_WHITEBOARD", 0x808000).isNull());
}

TEST(PicturesTest, ImageListKeepsItsSize)
{
    WidgetTest::AppWithDevices();
    TImageList list(16, 16);
    int changes = 0;
    QObject::connect(&list, &TImageList::changed, [&] { ++changes; });
    QImage big(32, 20, QImage::Format_ARGB32);
    big.fill(Qt::blue);
    EXPECT_EQ(list.Add(big), 0);
    EXPECT_EQ(list.Image(0).size(), QSize(16, 16));
    EXPECT_TRUE(list.Image(1).isNull());
    EXPECT_TRUE(list.Image(-1).isNull());
    EXPECT_EQ(list.AddFromFile(":/pictures/none.png"), -1);
    list.Delete(5);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 0);
    list.Clear();
    EXPECT_EQ(changes, 2);
}
