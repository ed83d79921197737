// The session against a real Telnet server: inetutils-telnetd behind socat on
// a loopback port, running an unprivileged shell instead of a login.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "SessionFixture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/RootOnly.h"
#include "tests/support/TempDir.h"

namespace {

constexpr const char* Telnetd = "/usr/sbin/telnetd";

class RealTelnetServer : public SessionFixture {
protected:
    std::string Received() const {
        std::string text;
        for (const std::string& event : Events())
            if (event.rfind("data:", 0) == 0) text += event.substr(5);
        return text;
    }
    bool ServeUntilReceived(const std::string& text) {
        return Gui->ServeUntil([&] { return Received().find(text) != std::string::npos; });
    }
    void Type(const std::string& line) {
        for (const char ch : line)
            Client->TransmitChar(ch);
        Client->TransmitChar('\r');
    }
};

// telnetd opens with WILL AUTHENTICATION, WILL ENCRYPT and DO for TERMINAL-TYPE,
// TSPEED, XDISPLOC, NEW-ENVIRON and ENVIRON, and starts the shell only when
// every one has been answered; the terminal type it is told becomes $TERM.
TEST_F(RealTelnetServer, FixedAnswersReachTheShellAndTheTerminalTypeArrives) {
    BQ_SKIP_UNLESS_ROOT("starting the shell as user nobody");
    struct stat info {};
    ASSERT_EQ(::stat(Telnetd, &info), 0) << Telnetd << " is missing: install inetutils-telnetd";

    TempDir dir;
    dir.Write("shell",
              "#!/bin/sh\nexec setpriv --reuid=nobody --regid=nogroup --clear-groups /bin/sh -i\n",
              0755);
    const std::string port = std::to_string(loopback::FreePort());
    ChildProcess socat({"socat", "-d", "-d",
                        "TCP-LISTEN:" + port + ",bind=127.0.0.1,reuseaddr,fork",
                        std::string("EXEC:") + Telnetd + " -h -E " + dir.Path("shell") + ",nofork"},
                       ChildProcess::Streams::BothPiped);
    ASSERT_TRUE(socat.WaitForOutput("listening on")) << socat.Output();

    Client->Port = std::stoi(port);
    Client->Connect();
    Reader = Client->ReaderThread();
    ASSERT_NE(Reader, nullptr);
    Gui->WatchEnd(Reader);

    ASSERT_TRUE(ServeUntilReceived("$ ")) << Received();
    EXPECT_TRUE(Client->IsTelnetPeer());
    Type("echo $TERM");
    EXPECT_TRUE(ServeUntilReceived("\ndumb\r\n")) << Received();
    Type("exit");
    EXPECT_TRUE(Gui->ServeUntil([&] { return ReaderEnded(); })) << Received();
    EXPECT_EQ(Reader->TerminatingMessage, "Connection Closed Gracefully.");
    socat.Stop();
}

} // namespace
