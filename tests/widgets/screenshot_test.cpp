// Renders one of each widget into a PNG under the build folder for people
// to look at (widgets_screenshot.png), in the visual-style look and in the
// classic look side by side.
#include <gtest/gtest.h>

#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>
#include <memory>

#include "platform/colors.h"
#include "platform/qt/qt_text.h"
#include "tests/support/qt_app.h"
#include "tests/widgets/widget_test_helpers.h"
#include "widgets/check_control.h"
#include "widgets/gauge.h"
#include "widgets/image.h"
#include "widgets/rotate_label.h"
#include "widgets/theme_switch.h"
#include "widgets/title_button.h"
#include "widgets/widget_pictures.h"

namespace {

QColor Face() { return Platform::ToQColor(clBtnFace); }

// One panel with every widget, as the main window would place them.
std::unique_ptr<QWidget> BuildPanel(bool themes, TImageList* charger, TImageList* operators)
{
    auto panel = std::make_unique<QWidget>();
    panel->resize(420, 340);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Face());
    panel->setPalette(pal);

    auto* title = new QLabel(themes ? "visual styles" : "classic", panel.get());
    title->move(10, 4);

    // The power group: radio items, one disabled.
    auto* group = new QGroupBox(Platform::ToQString("Spot\xF8" "eba"), panel.get());
    group->setGeometry(10, 24, 130, 110);
    const char* captions[] = {"Norm\xE1ln\xED", "Sp\xE1nek", "Odhl\xE1\x9A" "en\xFD", "Vypnut\xFD"};
    for (int i = 0; i < 4; ++i) {
        auto* c = new TIACheckControl(group);
        c->SetControlType(iacctSelect);
        c->SetGroupIndex(1);
        c->SetText(captions[i]);
        c->SetTag(i);
        c->move(10, 22 + 21 * i);
        if (i == 0)
            c->SetChecked(true);
        if (i == 2)
            c->SetEnabled(false);
    }

    // Check boxes and the lamps.
    auto* check = new TIACheckControl(panel.get());
    check->SetText("Aktualizovat hodnoty");
    check->SetChecked(true);
    check->move(150, 30);
    auto* check2 = new TIACheckControl(panel.get());
    check2->SetText("Automatika");
    check2->move(150, 52);
    const char* lamps[] = {"RING", "DCD"};
    for (int i = 0; i < 2; ++i) {
        auto* lamp = new TIACheckControl(panel.get());
        lamp->SetStyle(iaccsStyleLamp);
        lamp->SetControlType(iacctReadOnly);
        lamp->SetCheckFieldColor1(clRed);
        lamp->SetCheckFieldColor2(clLime);
        lamp->SetText(lamps[i]);
        lamp->SetChecked(i == 1);
        lamp->SetEnabled(false);
        lamp->move(150 + 70 * i, 76);
    }
    // The other styles in a row, checked.
    const VTixCheckControlStyle styles[] = {iaccsStyle1, iaccsStyle2, iaccsStyle3, iaccsStyleButton, iaccsStyle1Small};
    for (int i = 0; i < 5; ++i) {
        auto* c = new TIACheckControl(panel.get());
        c->SetStyle(styles[i]);
        c->SetText("");
        c->SetCheckFieldColor1(0x00A0FF);
        c->SetCheckFieldColor2(clNavy);
        c->SetCheckMarkSize(styles[i] == iaccsStyle1Small ? 9 : 15);
        c->SetChecked(i % 2 == 0);
        c->move(150 + 26 * i, 104);
    }
    auto* rotated = new TIACheckControl(panel.get());
    rotated->SetText("Oto\xE8" "en\xFD");
    rotated->SetTextAngle(900);
    rotated->SetChecked(true);
    rotated->move(290, 20);

    // Gauges: the signal bar with its text, a vertical bar, pie, needle.
    auto* sig = new VTixGauge(panel.get());
    sig->setGeometry(10, 150, 130, 18);
    sig->SetMaxValue(31);
    sig->SetProgress(19);
    sig->SetForeColor(clGreen);
    auto* batt = new VTixGauge(panel.get());
    batt->setGeometry(10, 176, 130, 18);
    batt->SetProgress(35);
    batt->SetForeColor(clNavy);
    batt->SetBackColor(0xF0F0F0);
    auto* cons = new VTixGauge(panel.get());
    cons->setGeometry(10, 202, 130, 18);
    cons->SetMaxValue(500);
    cons->SetUnits(" mA");
    cons->SetShowMaxValue(500);
    cons->SetProgress(120);
    cons->SetForeColor(0x2080D0);
    auto* text = new VTixGauge(panel.get());
    text->SetGaugeKind(vgkText);
    text->setGeometry(10, 228, 130, 18);
    text->SetProgress(77);
    auto* vert = new VTixGauge(panel.get());
    vert->SetGaugeKind(vgkVerticalBar);
    vert->setGeometry(150, 150, 24, 96);
    vert->SetProgress(60);
    vert->SetShowText(false);
    vert->SetForeColor(clMaroon);
    auto* pie = new VTixGauge(panel.get());
    pie->SetGaugeKind(vgkPie);
    pie->setGeometry(182, 150, 64, 64);
    pie->SetProgress(30);
    pie->SetForeColor(clBlue);
    auto* needle = new VTixGauge(panel.get());
    needle->SetGaugeKind(vgkNeedle);
    needle->setGeometry(254, 150, 100, 54);
    needle->SetProgress(70);
    needle->SetForeColor(clRed);
    needle->SetShowText(false);
    auto* clear = new VTixGauge(panel.get());
    clear->setGeometry(254, 212, 100, 18);
    clear->SetColor(clNone);
    clear->SetProgress(45);

    // Charger pictures: plain, stretched to 24 x 24, disabled.
    for (int i = 0; i < 7; ++i) {
        auto* img = new VTixImage(panel.get());
        img->setGeometry(10 + 26 * i, 262, i == 6 ? 24 : 16, i == 6 ? 24 : 16);
        img->SetImageList(charger);
        img->SetImageIndex(i);
    }
    auto* grey = new VTixImage(panel.get());
    grey->setGeometry(10, 292, 24, 24);
    grey->SetImageList(charger);
    grey->SetImageIndex(3);
    grey->SetEnabled(false);
    for (int i = 0; i < 3; ++i) {
        auto* op = new VTixImage(panel.get());
        op->setGeometry(40 + 20 * i, 296, 16, 15);
        op->SetImageList(operators);
        op->SetImageIndex(i);
    }

    // A caption bar with the extra buttons a form could carry.
    auto* caption = new QLabel(panel.get());
    caption->setGeometry(250, 310, 160, 22);
    QImage bar(160, 22, QImage::Format_ARGB32);
    bar.fill(Platform::ToQColor(clActiveCaption));
    {
        QPainter p(&bar);
        const TitleBtnKind kinds[] = {titleBtnKindTrayMinimize, titleBtnKindHelp, titleBtnKindMinimize,
                                      titleBtnKindRestore, titleBtnKindMaximize, titleBtnKindClose};
        int i = 0;
        for (TitleBtnKind k : kinds) {
            VTixTitleButton b(panel.get());
            b.SetKind(k);
            b.SetBtnPosition(i);
            if (i == 1)
                b.HandleHitTest(VTixTitleButton::HTCAPTION, 0, 0, 1);  // hovered
            b.PaintButton(p, b.CellRect(160, 22, 22, 0), true);
            ++i;
        }
    }
    caption->setPixmap(QPixmap::fromImage(bar));

    // Rotated labels.
    auto* up = new TRotateLabel(panel.get());
    up->SetCaption("Zelvitor");
    up->move(370, 20);
    auto* slant = new TRotateLabel(panel.get());
    slant->SetCaption("Raised 30\xB0");
    slant->SetEscapement(30);
    slant->SetTextStyle(tsRaised);
    slant->move(260, 240);
    return panel;
}

}  // namespace

TEST(ScreenshotTest, OneOfEachWidget)
{
    WidgetTest::AppWithDevices();
    Platform::ResetClassicSysColors();
    auto charger = Widgets::MakeChargerImageList();
    auto operators = Widgets::MakeOperatorImageList();
    QImage sheet(840, 340, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    for (int pass = 0; pass < 2; ++pass) {
        Widgets::SetThemesEnabled(pass == 0);
        auto panel = BuildPanel(pass == 0, charger.get(), operators.get());
        panel->show();
        QCoreApplication::processEvents();
        const QImage shot = panel->grab().toImage();
        ASSERT_FALSE(shot.isNull());
        QPainter(&sheet).drawImage(420 * pass, 0, shot);
    }
    Widgets::SetThemesEnabled(true);
    const QString path = QStringLiteral(ZELVITOR_TEST_BUILD_DIR) + "/widgets_screenshot.png";
    ASSERT_TRUE(sheet.save(path));
    // Something besides the background was drawn in each half.
    for (int half = 0; half < 2; ++half) {
        int other = 0;
        for (int y = 0; y < sheet.height(); y += 2)
            for (int x = 420 * half; x < 420 * (half + 1); x += 2)
                other += QColor(sheet.pixel(x, y)) != Face() ? 1 : 0;
        EXPECT_GT(other, 2000) << "half " << half;
    }
}
