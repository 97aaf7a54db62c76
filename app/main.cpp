#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <clocale>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/form_main.h"
#include "platform/qt/qt_text.h"
#include "widgets/frame_cache_style.h"

namespace {

// Shows what escaped an event handler, as the application object would,
// and goes on.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::critical(activeWindow(), QStringLiteral("Zelvitor"), Platform::ToQString(e.what()));
        } catch (...) {
            QMessageBox::critical(activeWindow(), QStringLiteral("Zelvitor"), QStringLiteral("?"));
        }
        return false;
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    TApplication app(argc, argv);
    // Qt sets the C locale from the environment; printf-style numbers of the
    // AT commands and files must keep "." whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Zelvitor"));
    QApplication::setOrganizationName(QStringLiteral("Tix"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zelvitor"));
    // The staged close ends the program, not the last window going.
    QApplication::setQuitOnLastWindowClosed(false);
    TFormMain::InstallTerminationSignals();
    TFrameCacheStyle::Install();

    // Arguments as the file system has them (configuration file names).
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);

    auto window = std::make_unique<TFormMain>();
    FormMain = window.get();
    window->SetCommandLine(std::move(args));
    window->createDialogs();
    window->show();
    const int result = app.exec();
    window.reset();
    return result;
}
