// The fault tests drive the real window, so a QApplication surrounds them; the
// test's main thread is the GUI thread of every session.
#include <QApplication>
#include <gtest/gtest.h>

#include "runtime/Synchronize.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("bqTest"));
    SetMainThread();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
