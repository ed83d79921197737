// A network failure as one line naming the endpoint and the cause
// ("127.0.0.1:5557: connection refused", "proxy 10.0.0.1:1080: the gateway
// 10.1.2.3:23 refused the connection"), where the window shows the network
// layer's own text.
#pragma once

#include <string>

#include "session/SessionError.h"
#include "session/SessionSettings.h"

std::string DescribeNetworkFailure(const ESessionError& error, const TSessionSettings& settings);
