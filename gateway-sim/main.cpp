// bq-gateway-sim: a gateway of the bq command language to test the tool against.
#include <iostream>

#include "gateway-sim/GatewayServer.h"
#include "gateway-sim/SimLog.h"
#include "gateway-sim/SimOptions.h"
#include "gateway-sim/StopRequest.h"

int main(int argc, char** argv) {
    TSimOptions options;
    std::string error;
    if (!ParseSimOptions(argc, argv, options, error)) {
        std::cerr << "bq-gateway-sim: " << error << '\n';
        return 2;
    }
    if (options.Help) {
        std::cout << SimHelpText();
        return 0;
    }
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
