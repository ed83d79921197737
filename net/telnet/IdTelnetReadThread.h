// The reader of one Telnet session: waits for received bytes, parses them and
// hands the data text to the GUI thread line by line, until the session ends.
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
    // The piece of text being handed over; the GUI thread reads it while this thread waits.
    std::string ReceivedText;

protected:
    void RunStep() override;
};
