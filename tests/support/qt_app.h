#pragma once
#include <QApplication>
#include <QWidget>
#include <clocale>
#include <gtest/gtest.h>
#include <memory>

// The one QApplication of a test program (offscreen platform). It is made on
// first use and destroyed when the last test has run, before the program's
// static objects go: tearing Qt down during exit crashes once windows have
// been shown.
namespace TestSupport {

class QtAppEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (!app)
            return;
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
        QApplication::processEvents();
        app.reset();
    }
    std::unique_ptr<QApplication> app;
};

inline QApplication& App()
{
    // gtest owns and deletes the environment.
    static QtAppEnvironment* env = [] {
        auto* e = new QtAppEnvironment;
        ::testing::AddGlobalTestEnvironment(e);
        return e;
    }();
    if (!env->app) {
        static int argc = 1;
        static char name[] = "zelvitor-test";
        static char* argv[] = {name, nullptr};
        env->app = std::make_unique<QApplication>(argc, argv);
        // Qt takes the C locale from the environment; numbers keep ".".
        std::setlocale(LC_NUMERIC, "C");
    }
    return *env->app;
}

}  // namespace TestSupport
