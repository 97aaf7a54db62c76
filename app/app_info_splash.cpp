// The application-services component's splash form at start-up and its
// progress form while the application closes.
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <stdexcept>

#include "app/app_info.h"
#include "foundation/qt/class_factory.h"
#include "platform/tick.h"

void VTixAppInfo::Loaded()
{
    if (FSplashFormClass.empty())
        return;
    const QMetaObject* cls = Tixutils::FindRegisteredClass(FSplashFormClass);
    std::unique_ptr<QObject> made;
    if (cls && cls->inherits(&QWidget::staticMetaObject))
        made = Tixutils::CreateInstanceOfClass(*cls);
    if (!made) {
        const std::string& n = FSplashFormClass;
        throw std::runtime_error("Please add the following statement:\r\nRegisterClass(__classid(" + n +
                                 ")); or RegisterClass(" + n + ") {unit Classes}\r\nafter Application->Initialize");
    }
    FSplashTick = Platform::GetTickCount();
    FSplash.reset(static_cast<QWidget*>(made.release()));
    FSplash->setVisible(FSplashVisible);
    if (FSplashVisible)
        FSplash->repaint();
}

void VTixAppInfo::SetClosingProgress(int percent)
{
    if (!FClosingForm) {
        FClosingForm = std::make_unique<QWidget>();
        FClosingForm->setObjectName(QStringLiteral("ClosingForm"));
        FClosingForm->setWindowTitle(QStringLiteral("Closing"));
        auto* layout = new QVBoxLayout(FClosingForm.get());
        FClosingBar = new QProgressBar(FClosingForm.get());
        FClosingBar->setRange(0, 100);
        FClosingBar->setValue(0);
        layout->addWidget(FClosingBar);
        FClosingForm->resize(300, 60);
    }
    FClosingBar->setValue(std::max(FClosingBar->value(), std::clamp(percent, 0, 100)));
    FClosingForm->show();
    // Closing is busy work: the bar is drawn now, not at the next pass of
    // the loop.
    FClosingForm->repaint();
}

void VTixAppInfo::SetClosingProgress(int position, int count, int partStart, int partEnd)
{
    int percent = partEnd;
    if (position < count && count > 0)
        percent = partStart + int(int64_t(partEnd - partStart) * std::max(position, 0) / count);
    SetClosingProgress(percent);
}
