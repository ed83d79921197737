// The placeholder's failures, with messages that say what is missing.
#include "app/UnavailableTelnetClient.h"

void TUnavailableTelnetClient::Connect() {
    throw EIdException("Telnet client not available in this build: cannot connect to " + Host + ".");
}

void TUnavailableTelnetClient::Disconnect() {}

void TUnavailableTelnetClient::TransmitChar(char ch) {
    (void)ch;
    throw EIdConnClosedGracefully();
}
