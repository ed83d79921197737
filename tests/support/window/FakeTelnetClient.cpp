// The Telnet client double's operations.
#include "FakeTelnetClient.h"

#include <thread>

void TFakeTelnetClient::Connect() {
    ++Record.ConnectCalls;
    if (OnConnect) OnConnect();
}

void TFakeTelnetClient::Disconnect() {
    ++Record.DisconnectCalls;
    if (OnDisconnect) OnDisconnect();
}

void TFakeTelnetClient::TransmitChar(char ch) {
    if (OnTransmit) OnTransmit(ch);
    if (TransmitFails) throw EIdConnClosedGracefully();
    Record.Sent += ch;
}

void TFakeTelnetClient::RaiseStatus(TIdStatus status, const std::string& text) {
    if (OnStatus) OnStatus(nullptr, status, text);
}

void TFakeTelnetClient::RaiseStatusFromThread(const std::vector<std::string>& texts) {
    std::thread reader([this, &texts] {
        for (const std::string& text : texts)
            RaiseStatus(stText, text);
    });
    reader.join();
}

void TFakeTelnetClient::Deliver(const std::string& chunk) {
    if (OnDataAvailable) OnDataAvailable(chunk);
}
