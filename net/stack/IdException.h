// The network layer's exception family. Catching EIdException catches every
// error the network layer raises; each class carries its fixed message.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/Exception.h"

class EIdException : public Exception {
public:
    using Exception::Exception;
};

// Declares a class of the family with its fixed message.
#define BQ_ID_EXCEPTION(Name, Base, Text)                                                          \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
        Name() : Base(Text) {}                                                                     \
    }

// A base without a message of its own.
#define BQ_ID_EXCEPTION_BASE(Name, Base)                                                           \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
    }

BQ_ID_EXCEPTION_BASE(EIdSilentException, EIdException);
BQ_ID_EXCEPTION(EIdConnClosedGracefully, EIdSilentException, "Connection Closed Gracefully.");
BQ_ID_EXCEPTION(EIdAlreadyConnected, EIdException, "Already connected.");
BQ_ID_EXCEPTION(EIdInvalidSocket, EIdException, "Cannot allocate socket.");

// "%s is not a valid service." with the service text.
class EIdInvalidServiceName : public EIdException {
public:
    explicit EIdInvalidServiceName(const std::string& service)
        : EIdException(service + " is not a valid service.") {}
};

// "%s could not be loaded." with the library name.
class EIdStackCanNotLoadWinsock : public EIdException {
public:
    explicit EIdStackCanNotLoadWinsock(const std::string& library)
        : EIdException(library + " could not be loaded.") {}
};

// A reply of a line-based protocol that the caller did not allow.
class EIdProtocolReplyError : public EIdException {
public:
    EIdProtocolReplyError(int32_t code, std::string message)
        : EIdException(std::move(message)), ReplyCode(code) {}
    int32_t ReplyCode;
};

// A failed socket call: the Windows Sockets error number and its text.
class EIdSocketError : public EIdException {
public:
    EIdSocketError(int32_t code, std::string message)
        : EIdException(std::move(message)), ErrorCode(code) {}
    int32_t ErrorCode;
};

BQ_ID_EXCEPTION_BASE(EIdStackError, EIdException);
BQ_ID_EXCEPTION(EIdStackInitializationFailed, EIdStackError, "Winsock Initialization Error.");
BQ_ID_EXCEPTION(EIdStackSetSizeExceeded, EIdStackError, "Set Size Exceeded.");

BQ_ID_EXCEPTION_BASE(EIdSocketHandleError, EIdException);
BQ_ID_EXCEPTION(EIdCouldNotBindSocket, EIdSocketHandleError,
                "Could not bind socket. Address and port are already in use.");

BQ_ID_EXCEPTION_BASE(EIdTCPConnectionError, EIdException);
BQ_ID_EXCEPTION(EIdNotEnoughDataInBuffer, EIdTCPConnectionError, "Not enough data in buffer.");
BQ_ID_EXCEPTION(EIdInterceptPropIsNil, EIdTCPConnectionError,
                "InterceptEnabled cannot be set to true when Intercept is nil.");
BQ_ID_EXCEPTION(EIdNoDataToRead, EIdTCPConnectionError, "No data to read.");
BQ_ID_EXCEPTION(EIdSendTimedOut, EIdTCPConnectionError,
                "Send timed out: the peer takes no more data.");
BQ_ID_EXCEPTION(EIdResolveTimedOut, EIdTCPConnectionError, "Host name lookup timed out.");

BQ_ID_EXCEPTION_BASE(EIdSocksError, EIdException);
BQ_ID_EXCEPTION(EIdSocksRequestFailed, EIdSocksError, "Request rejected or failed.");
BQ_ID_EXCEPTION(EIdSocksRequestServerFailed, EIdSocksError,
                "Request rejected because SOCKS server cannot connect.");
BQ_ID_EXCEPTION(EIdSocksRequestIdentFailed, EIdSocksError,
                "Request rejected because the client program and identd report different "
                "user-ids.");
BQ_ID_EXCEPTION(EIdSocksUnknownError, EIdSocksError, "Unknown socks error.");
BQ_ID_EXCEPTION(EIdSocksServerRespondError, EIdSocksError, "Socks server did not respond.");
BQ_ID_EXCEPTION(EIdSocksAuthMethodError, EIdSocksError, "Invalid socks authentication method.");
BQ_ID_EXCEPTION(EIdSocksAuthError, EIdSocksError, "Authentication error to socks server.");
BQ_ID_EXCEPTION(EIdSocksServerGeneralError, EIdSocksError, "General SOCKS server failure.");
BQ_ID_EXCEPTION(EIdSocksServerPermissionError, EIdSocksError, "Connection not allowed by ruleset.");
BQ_ID_EXCEPTION(EIdSocksServerNetUnreachableError, EIdSocksError, "Network unreachable.");
BQ_ID_EXCEPTION(EIdSocksServerHostUnreachableError, EIdSocksError, "Host unreachable.");
BQ_ID_EXCEPTION(EIdSocksServerConnectionRefusedError, EIdSocksError, "Connection refused.");
BQ_ID_EXCEPTION(EIdSocksServerTTLExpiredError, EIdSocksError, "TTL expired.");
BQ_ID_EXCEPTION(EIdSocksServerCommandError, EIdSocksError, "Command not supported.");
BQ_ID_EXCEPTION(EIdSocksServerAddressError, EIdSocksError, "Address type not supported.");

BQ_ID_EXCEPTION_BASE(EIdTelnetError, EIdException);
BQ_ID_EXCEPTION(EIdTelnetClientConnectError, EIdTelnetError, "server not responding");
BQ_ID_EXCEPTION(EIdTelnetServerOnDataAvailableIsNil, EIdTelnetError,
                "OnDataAvailable event is nil.");

BQ_ID_EXCEPTION(EIdMoreThanOneTIdAntiFreeze, EIdException,
                "Only one TIdAntiFreeze can exist per application.");

#undef BQ_ID_EXCEPTION
#undef BQ_ID_EXCEPTION_BASE
