#pragma once
// The one QApplication of a window test program, made on first use with the
// offscreen platform the tests run on.
#include <QApplication>

namespace k4::test {

inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "kestrel4-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

} // namespace k4::test
