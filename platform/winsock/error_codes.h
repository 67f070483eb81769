// Translation of the host's errno values into the platform's socket error codes.
#pragma once

namespace platform_winsock {

/* The socket error code for an errno value; WSAEOPNOTSUPP for a value without a counterpart. */
int WsaErrorFromErrno(int error);

}  // namespace platform_winsock
