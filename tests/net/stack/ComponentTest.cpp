// The component base: the stack's lifetime with the components, a library
// that cannot be loaded, status texts and work progress.
#include <gtest/gtest.h>

#include <vector>

#include "StackUser.h"
#include "net/stack/IdException.h"
#include "net/stack/IdStack.h"
#include "net/stack/winsock/WinsockBinding.h"

namespace {

TEST(GlobalStackLifetime, LivesFromTheFirstComponentToTheLast) {
    ASSERT_EQ(GlobalStack, nullptr);
    ASSERT_EQ(IdComponentCount(), 0);
    {
        TStackUser first;
        TIdStack* const stack = GlobalStack;
        ASSERT_NE(stack, nullptr);
        EXPECT_NE(SocketsLibraryHandle, 0u);
        {
            TStackUser second;
            EXPECT_EQ(GlobalStack, stack);
            EXPECT_EQ(IdComponentCount(), 2);
        }
        EXPECT_EQ(GlobalStack, stack);
        EXPECT_EQ(IdComponentCount(), 1);
    }
    EXPECT_EQ(GlobalStack, nullptr);
    EXPECT_EQ(SocketsLibraryHandle, 0u);

    TStackUser later;
    ASSERT_NE(GlobalStack, nullptr);
    EXPECT_NE(SocketsLibraryHandle, 0u);
    EXPECT_EQ(GlobalStack->HostToNetShort(0x1234), 0x3412) << "the new stack's table is bound";
}

class MissingSocketsLibrary : public testing::Test {
protected:
    void SetUp() override { SocketsLibraryName = "bq-no-such-sockets-library.dll"; }
    void TearDown() override { SocketsLibraryName = Saved; }

    const char* Saved = SocketsLibraryName;
};

TEST_F(MissingSocketsLibrary, FailsTheFirstComponentAndLeavesNoHandle) {
    ASSERT_EQ(GlobalStack, nullptr);
    try {
        TStackUser component;
        FAIL() << "constructed without the library";
    } catch (const EIdStackCanNotLoadWinsock& e) {
        EXPECT_EQ(e.Message, "bq-no-such-sockets-library.dll could not be loaded.");
    }
    EXPECT_EQ(SocketsLibraryHandle, 0u);
    EXPECT_EQ(GlobalStack, nullptr);
    EXPECT_EQ(IdComponentCount(), 0);
}

TEST(SocketsLibrary, UnloadTwiceAndLoadAgain) {
    LoadSocketsLibrary();
    EXPECT_NE(SocketsLibraryHandle, 0u);
    UnloadSocketsLibrary();
    UnloadSocketsLibrary();
    EXPECT_EQ(SocketsLibraryHandle, 0u);
    Winsock = TWinsockEntries{};
    LoadSocketsLibrary();
    EXPECT_NE(SocketsLibraryHandle, 0u);
    // Every entry on the connection's road is bound again.
    for (const void* entry :
         {(const void*)Winsock.socket, (const void*)Winsock.bind, (const void*)Winsock.connect,
          (const void*)Winsock.getsockname, (const void*)Winsock.getpeername,
          (const void*)Winsock.setsockopt, (const void*)Winsock.select, (const void*)Winsock.recv,
          (const void*)Winsock.send, (const void*)Winsock.shutdown,
          (const void*)Winsock.closesocket, (const void*)Winsock.gethostbyname,
          (const void*)Winsock.htons, (const void*)Winsock.ntohs, (const void*)Winsock.WSAStartup,
          (const void*)Winsock.WSACleanup, (const void*)Winsock.WSACancelBlockingCall,
          (const void*)Winsock.WSAGetLastError, (const void*)Winsock.TransmitFile})
        EXPECT_NE(entry, nullptr);
    UnloadSocketsLibrary();
}

struct TStatusCase {
    TIdStatus Status;
    std::vector<std::string> Args;
    const char* Text;
};

class ReportStatusTest : public testing::TestWithParam<TStatusCase> {};

TEST_P(ReportStatusTest, FillsTheStatusFormat) {
    TStackUser component;
    std::vector<std::string> texts;
    component.OnStatus = [&](TObject* sender, TIdStatus status, const std::string& text) {
        EXPECT_EQ(sender, &component);
        EXPECT_EQ(status, GetParam().Status);
        texts.push_back(text);
    };
    const std::vector<std::string>& args = GetParam().Args;
    switch (args.size()) {
    case 0:
        component.ReportStatus(GetParam().Status);
        break;
    case 1:
        component.ReportStatus(GetParam().Status, {args[0]});
        break;
    default:
        component.ReportStatus(GetParam().Status, {args[0], args[1]});
        break;
    }
    EXPECT_EQ(texts, std::vector<std::string>{GetParam().Text});
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReportStatusTest,
    testing::Values(TStatusCase{stResolving, {"gateway"}, "Resolving hostname gateway."},
                    TStatusCase{stConnecting, {"10.0.0.1"}, "Connecting to 10.0.0.1."},
                    TStatusCase{stConnected, {"10.0.0.1"}, "Connected."},
                    TStatusCase{stDisconnecting, {"10.0.0.1"}, "Disconnecting from 10.0.0.1."},
                    TStatusCase{stDisconnected, {"10.0.0.1"}, "Not connected."},
                    TStatusCase{stText, {"free %s text"}, "free %s text"},
                    TStatusCase{stConnecting, {"a", "b"}, "Connecting to a."},
                    TStatusCase{stConnecting, {}, "Connecting to ."}));

TEST(StatusTexts, AreInStatusOrder) {
    EXPECT_EQ(StatusTexts[stResolving], "Resolving hostname %s.");
    EXPECT_EQ(StatusTexts[stConnecting], "Connecting to %s.");
    EXPECT_EQ(StatusTexts[stConnected], "Connected.");
    EXPECT_EQ(StatusTexts[stDisconnecting], "Disconnecting from %s.");
    EXPECT_EQ(StatusTexts[stDisconnected], "Not connected.");
    EXPECT_EQ(StatusTexts[stText], "%s");
}

TEST(ReportStatus, WithoutAHandlerDoesNothing) {
    TStackUser component;
    EXPECT_NO_THROW(component.ReportStatus(stConnecting, {"10.0.0.1"}));
}

// Records the work events as "begin <mode> <max>", "work <mode> <count>" and
// "end <mode>".
class WorkTest : public testing::Test {
protected:
    void SetUp() override {
        Component.OnWorkBegin = [this](TObject*, TWorkMode mode, int32_t max) {
            Events.push_back("begin " + std::to_string(mode) + " " + std::to_string(max));
        };
        Component.OnWork = [this](TObject*, TWorkMode mode, int32_t count) {
            Events.push_back("work " + std::to_string(mode) + " " + std::to_string(count));
        };
        Component.OnWorkEnd = [this](TObject*, TWorkMode mode) {
            Events.push_back("end " + std::to_string(mode));
        };
    }

    TStackUser Component;
    std::vector<std::string> Events;
};

TEST_F(WorkTest, AddWithoutStartFiresNothing) {
    Component.AddWork(wkWrite, 10);
    EXPECT_TRUE(Events.empty());
}

TEST_F(WorkTest, OnlyTheOutermostPairReportsBeginAndEnd) {
    Component.StartWork(wkRead, 100);
    Component.AddWork(wkRead, 10);
    Component.StartWork(wkRead, 999);
    Component.AddWork(wkRead, 5);
    Component.AddWork(wkWrite, 7);
    Component.FinishWork(wkRead);
    Component.FinishWork(wkRead);
    Component.AddWork(wkRead, 1);
    EXPECT_EQ(Events, (std::vector<std::string>{"begin 0 100", "work 0 10", "work 0 15", "end 0"}));
}

TEST_F(WorkTest, ANewOuterStartCountsFromZero) {
    Component.StartWork(wkWrite, 3);
    Component.AddWork(wkWrite, 2);
    Component.FinishWork(wkWrite);
    Component.StartWork(wkWrite, 4);
    Component.AddWork(wkWrite, 1);
    EXPECT_EQ(Events.back(), "work 1 1");
}

} // namespace
