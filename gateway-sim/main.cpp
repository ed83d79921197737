// bq-gateway-sim: a gateway of the bq command language to test the tool against.
#include <iostream>

#include "gateway-sim/GatewayServer.h"
#include "gateway-sim/SimLog.h"
#include "gateway-sim/SimOptions.h"
#include "gateway-sim/StopRequest.h"

int main(int argc, char** argv) {
    TSimOptions options;
    const int parsed = ParseSimOptions(argc, argv, options, std::cout, std::cerr);
    if (parsed >= 0) return parsed;
    std::string error;
    const TSimSocket stop = WatchStopRequests(error);
    if (stop == NoSimSocket) {
        std::cerr << "bq-gateway-sim: " << error << '\n';
        return 1;
    }
    TGatewayServer server(options);
    if (!server.Listen(error)) {
        std::cerr << "bq-gateway-sim: " << error << '\n';
        return 1;
    }
    std::cout << "listening on " << options.Listen << ':' << server.Port() << std::endl;
    SimLog("gateway " + options.Gateway + (options.Telnet ? ", telnet" : ", plain text"));
    server.Run(stop);
    SimLog("stopped");
    return 0;
}
