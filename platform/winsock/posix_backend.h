// The host's socket calls behind the Winsock family. This header names no host type, so the
// Winsock facade can use it next to its own declarations; only posix_backend.cpp includes the
// host's socket headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace winsock_backend {

// Every call that can fail returns a negative errno value on failure.

/* Opens a non-blocking IPv4 stream socket; the descriptor or -errno. */
int OpenStreamSocket();
/* Opens the wake event of a socket: a non-blocking eventfd; the descriptor or -errno. */
int OpenWakeEvent();
/* Makes the wake event readable for good, waking every present and later wait on it. */
void SignalWakeEvent(int wakeFd);
/* Releases a descriptor. */
void CloseDescriptor(int fd);

enum class WaitResult { kReady, kWoken, kFailed };
/* Waits until fd is readable (or writable when forWrite) or the wake event fires. On kFailed,
 *error holds the errno value. */
WaitResult WaitForDescriptor(int fd, int wakeFd, bool forWrite, int* error);

/* Starts a connect to an IPv4 address and port, both in network order: 0 when connected at
   once, -EINPROGRESS while it proceeds, another -errno when it failed. */
int StartConnect(int fd, uint32_t addressNetworkOrder, uint16_t portNetworkOrder);
/* The pending error of a connect that has proceeded: 0 when connected, else the errno value. */
int ConnectResult(int fd);
/* Sends segments as soon as they are written (TCP_NODELAY); 0 or -errno. */
int DisableNagle(int fd);
/* Acknowledges received data at once instead of delaying the acknowledgement; the kernel falls
   back to delaying after a while, so it is set again before every receive. A peer that writes
   a small header and then its payload in two sends would otherwise wait for the delayed
   acknowledgement of the header before its payload's last segment leaves. */
void AcknowledgeAtOnce(int fd);

/* One non-blocking receive: the count (0 at an orderly close) or -errno (-EAGAIN: nothing yet). */
long ReceiveSome(int fd, char* buffer, size_t length);
/* One non-blocking send that never raises SIGPIPE: the count or -errno. */
long SendSome(int fd, const char* buffer, size_t length);

enum class ResolveResult { kFound, kNotFound, kTryAgain, kFailed };
/* Looks up the first IPv4 address of a host name, in network order. May block indefinitely. */
ResolveResult ResolveIPv4(const std::string& name, uint32_t* addressNetworkOrder);

}  // namespace winsock_backend
