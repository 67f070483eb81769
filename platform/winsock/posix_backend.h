// The host's socket calls behind the socket family. This header names no host type, so the
// family can use it next to its own declarations; only posix_backend.cpp includes the host's
// socket headers. Every call that can fail returns a negative socket error code (-WSAE...) on
// failure, mapped from the host's errno by one table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform_winsock {

/* A non-blocking IPv4 stream socket, or a socket's wake event (an eventfd): the descriptor or
   -error. */
int OpenStreamSocket();
int OpenWakeEvent();
/* Makes the wake event readable for good, waking every present and later wait on it. */
void SignalWakeEvent(int wakeFd);
void CloseDescriptor(int fd);

/* Waits until fd is readable (or writable when forWrite) or the wake event fires: 0 when fd is
   ready, WSAEINTR when woken, else the socket error code of the failed wait. */
int WaitForDescriptor(int fd, int wakeFd, bool forWrite);

/* Starts a connect to an IPv4 address and port, both in network order: 0 when connected at
   once, -WSAEINPROGRESS while it proceeds, another -error when it failed. */
int StartConnect(int fd, uint32_t addressNetworkOrder, uint16_t portNetworkOrder);
/* The outcome of a connect that has proceeded: 0 when connected, else the socket error code. */
int ConnectResult(int fd);
/* Sends segments as soon as they are written (TCP_NODELAY). */
void DisableNagle(int fd);
/* Acknowledges received data at once instead of delaying the acknowledgement; the kernel falls
   back to delaying after a while, so it is set again before every receive. A peer that writes
   a small header and then its payload in two sends would otherwise wait for the delayed
   acknowledgement of the header before its payload's last segment leaves. */
void AcknowledgeAtOnce(int fd);

/* One non-blocking receive or send (never raising SIGPIPE): the count (0 at an orderly close) or
   -error (-WSAEWOULDBLOCK: nothing yet, or no room). */
long ReceiveSome(int fd, char* buffer, size_t length);
long SendSome(int fd, const char* buffer, size_t length);

/* Looks up the first IPv4 address of a host name, in network order: 0, or WSAHOST_NOT_FOUND,
   WSATRY_AGAIN or WSANO_RECOVERY. May block indefinitely. */
int ResolveIPv4(const std::string& name, uint32_t* addressNetworkOrder);
/* Parses dotted IPv4 text with the C library's rules; false when it is not an address. */
bool ParseDottedIPv4(const char* text, uint32_t* addressNetworkOrder);

}  // namespace platform_winsock
