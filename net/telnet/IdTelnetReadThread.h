// The reader of one Telnet session: waits for received bytes, parses them and
// hands each chunk's data text to the GUI thread, until the session ends.
#pragma once

#include <string>

#include "net/telnet/IdThread.h"

class TIdTelnet;

// Built by TIdTelnet::Connect with TThread::Create; the running thread keeps
// its own object alive and frees it when it ends.
class TIdTelnetReadThread : public TIdThread {
public:
    explicit TIdTelnetReadThread(TIdTelnet* client);

    TIdTelnet* const Client; // not owned; outlives the thread
    // The last chunk's data text; the GUI thread reads it while this thread waits.
    std::string ReceivedText;

protected:
    void RunStep() override;
};
