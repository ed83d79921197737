// The window's tests need a QApplication around them.
#include <QApplication>
#include <gtest/gtest.h>

#include "tests/support/QtThreadSanitizerSuppressions.h"

int main(int argc, char* argv[]) {
    // Headless unless told otherwise, so that listing the tests works without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("bqTest"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
