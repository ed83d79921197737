// The window's tests need a QApplication around them.
#include <QApplication>
#include <gtest/gtest.h>

#if defined(__SANITIZE_THREAD__)
// Qt converts the window's images on pooled threads of its own and hands the
// work over through its futex-based locks, which ThreadSanitizer cannot see;
// it then takes Qt's allocations in one thread and frees in another for races.
// The window's own code is instrumented and still checked.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n";
}
#endif

int main(int argc, char* argv[]) {
    // Headless unless told otherwise, so that listing the tests works without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("bqTest"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
