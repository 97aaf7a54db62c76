#include <QApplication>
#include <QMainWindow>
#include <clocale>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Qt sets the C locale from the environment; printf-style numbers of the
    // AT commands and files must keep "." whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Zelvitor"));
    QApplication::setOrganizationName(QStringLiteral("Tix"));

    QMainWindow window;
    window.setObjectName(QStringLiteral("FormMain"));
    window.setWindowTitle(QStringLiteral("Zelvitor"));
    window.setMinimumSize(400, 442);
    window.show();
    return app.exec();
}
