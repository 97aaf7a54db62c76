// The image-list picture: index, keeping policy, stretch and grey look.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "tests/support/qt_app.h"
#include "tests/widgets/widget_test_helpers.h"
#include "widgets/image.h"
#include "widgets/image_list.h"
#include "widgets/widget_pictures.h"

using WidgetTest::PixelColor;
using WidgetTest::Render;

namespace {

// A 16 x 16 picture whose column x has red x * 16, green 200 - x, blue 7,
// with a transparent top-left quarter.
QImage Columns()
{
    QImage img(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            img.setPixel(x, y, (x < 8 && y < 8) ? 0u : qRgb(x * 16, 200 - x, 7));
    return img;
}

class ImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WidgetTest::AppWithDevices();
        Platform::ResetClassicSysColors();
        parent = std::make_unique<QWidget>();
        parent->resize(100, 100);
        list = std::make_unique<TImageList>(16, 16);
        list->Add(Columns());
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(Qt::red);
        list->Add(red);
        image = new VTixImage(parent.get());
        image->SetImageList(list.get());
    }

    std::unique_ptr<QWidget> parent;
    std::unique_ptr<TImageList> list;
    VTixImage* image = nullptr;
};

}  // namespace

TEST_F(ImageTest, StretchMapsColumnsByNearestNeighbour)
{
    const QImage out = VTixImage::StretchPicture(Columns(), 24, 24);
    ASSERT_EQ(out.size(), QSize(24, 24));
    // Column x takes source column x * 16 / 24.
    const int expected[24] = {0, 0, 1, 2, 2, 3, 4, 4, 5, 6, 6, 7, 8, 8, 9, 10, 10, 11, 12, 12, 13, 14, 14, 15};
    for (int x = 0; x < 24; ++x)
        EXPECT_EQ(qRed(out.pixel(x, 20)), expected[x] * 16) << x;
    // Rows alike: row 11 still comes from source row 7 (transparent part).
    EXPECT_EQ(qAlpha(out.pixel(0, 11)), 0);
    EXPECT_EQ(qAlpha(out.pixel(0, 12)), 255);
}

TEST_F(ImageTest, IndexOutsideTheListDrawsNothing)
{
    image->SetImageIndex(-1);
    const QColor bg(0x12, 0x34, 0x56);
    EXPECT_EQ(QColor(Render(image, bg).pixel(12, 12)), bg);
    image->SetImageIndex(list->Count());
    EXPECT_EQ(QColor(Render(image, bg).pixel(12, 12)), bg);
    image->SetImageIndex(1);
    EXPECT_EQ(PixelColor(Render(image, bg), 12, 12), clRed);
    // Transparent pixels of the picture keep the background.
    image->SetImageIndex(0);
    const QImage img = Render(image, bg);
    EXPECT_EQ(QColor(img.pixel(2, 2)), bg);
    EXPECT_EQ(qRed(img.pixel(12, 12)), 12 * 16);
}

TEST_F(ImageTest, SameIndexDoesNotRepaint)
{
    parent->show();
    image->SetImageIndex(1);
    EXPECT_EQ(WidgetTest::PaintsCausedBy(image, [&] { image->SetImageIndex(1); }), 0);
    EXPECT_GE(WidgetTest::PaintsCausedBy(image, [&] { image->SetImageIndex(0); }), 1);
}

TEST_F(ImageTest, StretchOnAndOff)
{
    image->resize(24, 24);
    image->SetImageIndex(1);
    QImage img = Render(image, Qt::white);
    EXPECT_EQ(PixelColor(img, 23, 23), clRed);
    EXPECT_EQ(PixelColor(img, 0, 0), clRed);
    image->SetStretch(false);
    img = Render(image, Qt::white);
    EXPECT_EQ(PixelColor(img, 15, 15), clRed);
    EXPECT_EQ(PixelColor(img, 16, 16), clWhite);
    EXPECT_EQ(PixelColor(img, 23, 0), clWhite);
}

TEST_F(ImageTest, DisabledPictureUsesOnlyTheButtonColours)
{
    image->resize(24, 24);
    image->SetImageIndex(0);
    image->SetEnabled(false);
    const QImage pic = image->CurrentPicture();
    ASSERT_FALSE(pic.isNull());
    std::set<QRgb> colours;
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x)
            if (qAlpha(pic.pixel(x, y)) != 0)
                colours.insert(pic.pixel(x, y) & 0xFFFFFFu);
    const std::set<QRgb> allowed{0xC0C0C0u, 0x808080u, 0xFFFFFFu};
    for (QRgb c : colours)
        EXPECT_TRUE(allowed.count(c)) << std::hex << c;
    EXPECT_GE(colours.size(), 2u);
    // The transparent quarter stays transparent.
    EXPECT_EQ(qAlpha(pic.pixel(1, 1)), 0);
}

TEST_F(ImageTest, GreyLookThresholdAndEmboss)
{
    // Green 0xBF turns to shadow, 0xC0 to face; black always to shadow.
    QImage src(4, 3, QImage::Format_ARGB32);
    src.fill(qRgb(255, 0xC0, 255));
    src.setPixel(1, 0, qRgb(255, 0xBF, 255));
    src.setPixel(0, 2, qRgb(0, 0, 0));
    src.setPixel(3, 1, 0);  // transparent
    const QImage g = VTixImage::GrayPicture(src, 0xFFBFFF);
    EXPECT_EQ(g.pixel(1, 0) & 0xFFFFFFu, 0x808080u);  // shadow
    EXPECT_EQ(g.pixel(0, 0) & 0xFFFFFFu, 0xC0C0C0u);  // face
    EXPECT_EQ(g.pixel(2, 1) & 0xFFFFFFu, 0xFFFFFFu);  // highlight one down and right of the shadow
    EXPECT_EQ(g.pixel(0, 2) & 0xFFFFFFu, 0x808080u);  // black
    EXPECT_EQ(g.pixel(1, 2) & 0xFFFFFFu, 0xC0C0C0u);  // no row below the last: no emboss
    EXPECT_EQ(qAlpha(g.pixel(3, 1)), 0);
    // A shadow in the last column embosses nothing.
    QImage edge(2, 2, QImage::Format_ARGB32);
    edge.fill(qRgb(255, 255, 255));
    edge.setPixel(1, 0, qRgb(0, 0, 0));
    const QImage e = VTixImage::GrayPicture(edge, 0xFFBFFF);
    EXPECT_EQ(e.pixel(1, 1) & 0xFFFFFFu, 0xC0C0C0u);
    EXPECT_EQ(e.pixel(0, 1) & 0xFFFFFFu, 0xC0C0C0u);
}

TEST_F(ImageTest, KeepingPolicy)
{
    parent->show();
    image->SetImageIndex(1);
    image->SetSaveMemory(vtiAlways);
    EXPECT_FALSE(image->HasPreparedPicture());
    image->resize(24, 24);
    EXPECT_FALSE(image->HasPreparedPicture());
    WidgetTest::Flush();
    EXPECT_FALSE(image->HasPreparedPicture());  // not even after a paint

    image->SetSaveMemory(vtiChanged);
    EXPECT_TRUE(image->HasPreparedPicture());   // stretched: differs from the list
    image->SetStretch(false);
    EXPECT_FALSE(image->HasPreparedPicture());  // drawn as it is
    image->SetEnabled(false);
    EXPECT_TRUE(image->HasPreparedPicture());   // grey: differs

    image->SetSaveMemory(vtiNever);
    image->SetEnabled(true);
    EXPECT_TRUE(image->HasPreparedPicture());

    // Only an 8-bit screen keeps pictures with vtiChanged8.
    image->SetSaveMemory(vtiChanged8);
    image->SetEnabled(false);
    EXPECT_FALSE(image->HasPreparedPicture());
    EXPECT_EQ(PixelColor(Render(image, Qt::white), 3, 3), 0x808080);  // still drawn
}

TEST_F(ImageTest, ListChangesAndDestructionReachThePicture)
{
    image->SetImageIndex(1);
    EXPECT_EQ(PixelColor(Render(image, Qt::white), 3, 3), clRed);
    QImage blue(16, 16, QImage::Format_ARGB32);
    blue.fill(Qt::blue);
    list->Replace(1, blue);
    EXPECT_EQ(PixelColor(Render(image, Qt::white), 3, 3), clBlue);
    list.reset();
    EXPECT_EQ(image->ImageList(), nullptr);
    EXPECT_EQ(PixelColor(Render(image, Qt::white), 3, 3), clWhite);
}

TEST_F(ImageTest, ChargerPicturesShowByState)
{
    auto charger = Widgets::MakeChargerImageList();
    image->SetImageList(charger.get());
    image->resize(24, 24);
    for (int state = 0; state <= 6; ++state) {
        image->SetImageIndex(state);
        const QImage pic = image->CurrentPicture();
        ASSERT_EQ(pic.size(), QSize(24, 24)) << state;
    }
    image->SetImageIndex(7);
    EXPECT_TRUE(image->CurrentPicture().isNull());
}
