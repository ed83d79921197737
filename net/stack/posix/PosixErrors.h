// The calling thread's last socket error, and the translation of errno and
// resolver failures into Windows Sockets error numbers.
#pragma once

#include <cstdint>

int32_t WinsockCodeOfErrno(int errnoValue);
// A getaddrinfo/getnameinfo result (EAI_*); EAI_SYSTEM reads errnoValue.
int32_t WinsockCodeOfResolverError(int eaiValue, int errnoValue);

int32_t LastSocketError();
void SetLastSocketError(int32_t code);

// Records the Windows code of errno as the last error and gives -1, the
// failure result of the socket calls.
int FailWithErrno();
int FailWithCode(int32_t code);
