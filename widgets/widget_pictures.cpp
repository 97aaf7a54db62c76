#include "widgets/widget_pictures.h"

#include <mutex>

// Q_INIT_RESOURCE declares a function of the global namespace.
static void InitWidgetPictureResource() { Q_INIT_RESOURCE(widget_pictures); }

namespace Widgets {

void InitPictureResources()
{
    static std::once_flag once;
    std::call_once(once, [] { InitWidgetPictureResource(); });
}

QImage Picture(const QString& Name, TColor MaskColor)
{
    InitPictureResources();
    QImage img(QStringLiteral(":/pictures/%1.png").arg(Name));
    if (img.isNull())
        return img;
    img = img.convertToFormat(QImage::Format_ARGB32);
    if (MaskColor == clNone)
        return img;
    TImageList one(img.width(), img.height());
    one.AddMasked(img, MaskColor);
    return one.Image(0);
}

namespace {

std::unique_ptr<TImageList> MakeList(int w, int h, std::initializer_list<const char*> names,
                                     TColor mask = clNone)
{
    InitPictureResources();
    auto list = std::make_unique<TImageList>(w, h);
    for (const char* n : names)
        list->AddFromFile(QStringLiteral(":/pictures/%1.png").arg(QLatin1String(n)), mask);
    return list;
}

}  // namespace

std::unique_ptr<TImageList> MakeChargerImageList()
{
    return MakeList(16, 16, {"charger_0", "charger_1", "charger_2", "charger_3", "charger_4",
                             "charger_5", "charger_6"});
}

std::unique_ptr<TImageList> MakeRingImageList() { return MakeList(16, 16, {"ring"}); }

std::unique_ptr<TImageList> MakeCallStateImageList()
{
    return MakeList(16, 16, {"call_state_0", "call_state_1", "call_state_2", "call_state_3",
                             "call_state_4", "call_state_5", "call_state_6", "call_state_7",
                             "call_state_8"});
}

std::unique_ptr<TImageList> MakeCallTypeImageList()
{
    return MakeList(16, 16, {"call_type_0", "call_type_1", "call_type_2"});
}

std::unique_ptr<TImageList> MakeSMSStateImageList()
{
    return MakeList(16, 16,
                    {"SMS_UNKNOWN", "SMS_READFAILED", "SMSSIMRECVUNREAD", "SMSSIMRECVREAD",
                     "SMSSIMUNSENT", "SMSBEINGSENT", "SMSBEINGSENT", "SMSSENDFAILED", "SMSSIMSENT",
                     "SMS_DELETING"},
                    clLime);
}

std::unique_ptr<TImageList> MakeOperatorImageList()
{
    return MakeList(16, 15, {"operator_0", "operator_1", "operator_2"});
}

std::unique_ptr<TImageList> MakeLanguageFlagImageList()
{
    return MakeList(16, 16, {"lang_cs", "lang_en"});
}

}  // namespace Widgets
