// The window tests' live window, for the fault tests: a connect that must
// start a reader, a wait for the reader's end, and a teardown that leaves no
// queued event behind for the next case.
#pragma once

#include <QCoreApplication>
#include <QString>

#include <cstdint>

#include "tests/app/LiveFormFixture.h"

class WindowSession : public LiveFormFixture {
protected:
    void TearDown() override {
        LiveFormFixture::TearDown();
        QCoreApplication::processEvents();
    }

    void ConnectTo(int32_t port) {
        LiveFormFixture::ConnectTo(port);
        ASSERT_NE(Reader, nullptr) << Log().join(QStringLiteral(" | ")).toStdString();
    }
    bool WaitForReaderEnd() {
        return WaitUntil([this] { return Reader->Finished(); });
    }
};
