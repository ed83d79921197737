// The real window with the real Telnet client, the test's main thread as its
// GUI thread, and waits that run the event loop until something has happened.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/Form1.h"
#include "app/LogView.h"
#include "net/telnet/IdTelnet.h"
#include "net/telnet/IdTelnetReadThread.h"
#include "runtime/Synchronize.h"
#include "tests/support/Watchdog.h"
#include "tests/support/window/RecordingMessages.h"

using namespace std::chrono_literals;

// Wakes the main thread's event loop from any thread.
inline void WakeMainThread() {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
}

class LiveFormFixture : public ::testing::Test {
protected:
    static constexpr std::chrono::milliseconds Patience = 10s;

    void SetUp() override {
        // As the program does: a queued call wakes the GUI thread, which runs it.
        SetWakeMainThread([this] {
            {
                const std::lock_guard lock(QueueLock);
                ++CallsQueued;
            }
            Queued.notify_all();
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { CheckSynchronize(); }, Qt::QueuedConnection);
        });
        auto client = std::make_unique<TIdTelnet>();
        Client = client.get();
        Form = std::make_unique<TForm1>(std::move(client), Messages);
        Form->show();
    }

    void TearDown() override {
        EndSession();
        SetWakeMainThread(nullptr);
    }

    // Closes the window and lets go of its reader; safe to repeat.
    void EndSession() {
        Form.reset();
        for (std::thread& watcher : Watchers)
            watcher.join();
        Watchers.clear();
        Reader.reset();
    }

    // Runs the event loop until `done` holds; false when it does not within Patience.
    static bool WaitUntil(const std::function<bool()>& done,
                          std::chrono::milliseconds patience = Patience) {
        const QDeadlineTimer deadline(patience);
        QTimer alarm; // ends the last wait for events at the deadline
        alarm.setSingleShot(true);
        alarm.start(patience);
        for (int round = 0; round < 1000000 && !done(); ++round) {
            if (deadline.hasExpired()) break;
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
        return done();
    }

    template <class Control = QWidget> Control* Find(const char* name) const {
        auto* control = Form->findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    QStringList Log() const { return Find<TLogView>("Memo1")->Lines(); }

    // Fills the connect fields and presses "Connect"; on success starts
    // watching the reader so that its end wakes the event loop.
    void ConnectTo(int32_t port) {
        Edit("Edit1")->setText(QString::number(port));
        Edit("Edit2")->setText(QStringLiteral("127.0.0.1"));
        Button("Button1")->click();
        Reader = Client->ReaderThread();
        if (!Reader) return;
        Watchers.emplace_back([reader = Reader] {
            reader->WaitFor();
            WakeMainThread();
        });
    }

    bool AllFieldsEnabled() const {
        for (const char* name : {"Edit3", "Edit4", "Edit5", "Edit6", "Edit7"})
            if (!Edit(name)->isEnabled()) return false;
        return true;
    }

    int QueuedCalls() const {
        const std::lock_guard lock(QueueLock);
        return CallsQueued;
    }
    // Waits, without running the event loop, until more than `seen` calls
    // have been queued for the GUI thread.
    bool WaitForQueuedCall(int seen) {
        std::unique_lock lock(QueueLock);
        return Queued.wait_for(lock, Patience, [&] { return CallsQueued > seen; });
    }

    TRecordingMessages Messages;
    TIdTelnet* Client = nullptr; // owned by Form
    std::unique_ptr<TForm1> Form;
    std::shared_ptr<TIdTelnetReadThread> Reader;

private:
    mutable std::mutex QueueLock;
    std::condition_variable Queued;
    int CallsQueued = 0; // guarded by QueueLock

    std::vector<std::thread> Watchers;
};
