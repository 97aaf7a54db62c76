#pragma once
#include <QApplication>
#include <clocale>

// The one QApplication of a test program (offscreen platform), made on first
// use and destroyed when the program ends.
namespace TestSupport {

inline QApplication& App()
{
    static int argc = 1;
    static char name[] = "zelvitor-test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    static const bool numericC = (std::setlocale(LC_NUMERIC, "C") != nullptr);
    (void)numericC;
    return app;
}

}  // namespace TestSupport
