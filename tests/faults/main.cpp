// The fault tests drive the real window, so a QApplication surrounds them; the
// test's main thread is the GUI thread of every session.
#include <QApplication>
#include <gtest/gtest.h>

#include "runtime/Synchronize.h"
#include "tests/support/QtThreadSanitizerSuppressions.h"

int main(int argc, char* argv[]) {
    // Headless unless told otherwise, so that listing the tests works without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("bqTest"));
    SetMainThread();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
