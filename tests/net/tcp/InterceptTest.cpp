// The intercept reference: enabling rules, free notification, and the calls
// the connection makes at connect, receive and disconnect.
#include <gtest/gtest.h>

#include "ConnectedClient.h"
#include "net/stack/IdException.h"

namespace {

class WatchingIntercept : public TIdConnectionIntercept {
public:
    void AfterReceive(const char* buffer, int32_t count) override {
        Received.append(buffer, static_cast<size_t>(count));
    }
    void DetachSocket() override {
        ++Detaches;
        TIdConnectionIntercept::DetachSocket();
    }
    std::string Received;
    int Detaches = 0;
};

TEST(Intercept, CannotBeEnabledWithoutOne) {
    TIdTCPClient client;
    try {
        client.SetInterceptEnabled(true);
        FAIL() << "enabled without an intercept";
    } catch (const EIdInterceptPropIsNil& e) {
        EXPECT_EQ(e.Message, "InterceptEnabled cannot be set to true when Intercept is nil.");
    }
    EXPECT_FALSE(client.InterceptEnabled());
    EXPECT_NO_THROW(client.SetInterceptEnabled(false));
}

TEST(Intercept, ClearingOrDestroyingItDisablesIt) {
    TIdTCPClient client;
    TIdConnectionIntercept kept;
    client.SetIntercept(&kept);
    client.SetInterceptEnabled(true);
    client.SetIntercept(nullptr);
    EXPECT_FALSE(client.InterceptEnabled());

    auto doomed = std::make_unique<TIdConnectionIntercept>();
    client.SetIntercept(doomed.get());
    client.SetInterceptEnabled(true);
    doomed.reset();
    EXPECT_EQ(client.Intercept(), nullptr);
    EXPECT_FALSE(client.InterceptEnabled());
    EXPECT_THROW(client.SetInterceptEnabled(true), EIdInterceptPropIsNil);
}

TEST(Intercept, IsAttachedOnConnectToldOfReceivesAndDetached) {
    loopback::Listener listener;
    TIdTCPClient client;
    WatchingIntercept intercept;
    int connects = 0;
    intercept.OnConnect = [&](TObject* sender) {
        EXPECT_EQ(sender, &intercept);
        ++connects;
    };
    client.SetIntercept(&intercept);
    client.SetInterceptEnabled(true);
    client.Host = "127.0.0.1";
    client.Port = listener.Port();
    client.Connect();
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(intercept.Binding(), &client.SocketHandle);
    UniqueFd peer = listener.Accept();
    ASSERT_TRUE(loopback::SendAll(peer.Get(), "seen"));
    char buffer[4];
    client.ReadExact(buffer, 4);
    EXPECT_EQ(intercept.Received, "seen");
    client.Disconnect();
    EXPECT_EQ(intercept.Binding(), nullptr);
    EXPECT_GE(intercept.Detaches, 1);
}

} // namespace
