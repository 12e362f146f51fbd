#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Widgets need a QApplication before the first test; the offscreen platform
// lets the tests run without a display.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Numbers in spin boxes read the same whatever the machine's language.
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
