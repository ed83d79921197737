// What the window reports to its model: the parameter fields' focus, keys in
// the log, status texts from other threads in order, and the reader's
// synchronised calls run on the GUI thread while the reader waits.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "runtime/Synchronize.h"
#include "tests/winview/WindowPump.h"
#include "winview/Win32Form.h"

namespace {

class Win32FormEvents : public testing::Test {
protected:
    void SetUp() override {
        Form.Events.Enter = [this](TControl field) {
            Seen.push_back(std::string("enter ") + DesignOf(field).Name);
        };
        Form.Events.Exit = [this](TControl field) {
            Seen.push_back(std::string("exit ") + DesignOf(field).Name);
        };
        Form.Events.LogKeyUp = [this] { Seen.emplace_back("key up"); };
        Form.Events.Status = [this](const std::string& text) { Seen.push_back("status " + text); };
        ShowWindow(Form.Handle(), SW_SHOW);
        SetForegroundWindow(Form.Handle());
        for (TControl field : {TControl::Edit4, TControl::Edit5, TControl::Edit6})
            Form.SetEnabled(field, true);
        Pump();
    }
    void TearDown() override { SetWakeMainThread(nullptr); }

    void Focus(TControl control) {
        SetFocus(Form.ControlHandle(control));
        Pump();
    }

    TWin32Form Form;
    std::vector<std::string> Seen;
};

TEST_F(Win32FormEvents, FieldsAreLeftBeforeTheNextIsEnteredAndAnotherWindowIsNoLeaving) {
    Focus(TControl::Edit4);
    Focus(TControl::Edit5);
    Focus(TControl::Button2); // no parameter field: only the leaving counts
    Focus(TControl::Edit6);
    const std::vector<std::string> moves{"enter Edit4", "exit Edit4", "enter Edit5", "exit Edit5",
                                         "enter Edit6"};
    EXPECT_EQ(Seen, moves);

    // A box or another window takes the focus for a while, then gives it back.
    HWND other = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    SetFocus(other);
    Pump();
    DestroyWindow(other);
    SetForegroundWindow(Form.Handle());
    Pump();
    EXPECT_EQ(GetFocus(), Form.ControlHandle(TControl::Edit6));
    EXPECT_EQ(Seen, moves);
}

TEST_F(Win32FormEvents, EveryKeyReleasedInTheLogIsReportedAndTypingStaysInTheLog) {
    HWND log = Form.ControlHandle(TControl::Memo1);
    Focus(TControl::Memo1);
    for (const WPARAM key : {WPARAM{'X'}, WPARAM{VK_SHIFT}, WPARAM{VK_LEFT}}) {
        SendMessageW(log, WM_KEYDOWN, key, 0);
        if (key == 'X') SendMessageW(log, WM_CHAR, L'x', 0);
        SendMessageW(log, WM_KEYUP, key, 0xC0000001);
    }
    EXPECT_EQ(Seen, std::vector<std::string>(3, "key up"));
    Form.AppendLog("Connected.");
    const std::vector<std::wstring> lines{L"x", L"Connected."};
    EXPECT_EQ(Form.Log().Lines(), lines);
}

TEST_F(Win32FormEvents, StatusTextsFromAnotherThreadComeFirstAndInOrder) {
    std::thread reader([this] {
        Form.HandOverStatus("Disconnecting from 127.0.0.1.");
        Form.HandOverStatus("Not connected.");
    });
    reader.join();
    EXPECT_TRUE(Seen.empty()) << "handed over, not reported on the reader's thread";
    Form.HandOverStatus("Connecting to 127.0.0.1.");
    const std::vector<std::string> order{"status Disconnecting from 127.0.0.1.",
                                         "status Not connected.",
                                         "status Connecting to 127.0.0.1."};
    EXPECT_EQ(Seen, order);
}

TEST_F(Win32FormEvents, TheReadersCallRunsOnTheGuiThreadAndItsErrorGoesBackToTheReader) {
    Form.ServeSynchronizedCalls();
    std::atomic<bool> ranOnGui{false}, readerDone{false};
    std::string raised;
    std::thread reader([&] {
        Synchronize([&] { ranOnGui = IsMainThread(); });
        try {
            Synchronize([] { throw std::runtime_error("handler failed"); });
        } catch (const std::runtime_error& e) {
            raised = e.what();
        }
        readerDone = true;
    });
    // Each call waits for this thread: the reader goes on only as it pumps.
    ASSERT_TRUE(PumpUntil([&] { return readerDone.load(); }));
    reader.join();
    EXPECT_TRUE(ranOnGui.load());
    EXPECT_EQ(raised, "handler failed");
}

} // namespace
