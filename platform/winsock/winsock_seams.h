// What the socket family lets the test seams replace or count. Only platform/testing and the
// family itself use it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform_winsock {

using HostResolver = std::function<bool(const std::string& name, uint32_t* address)>;

/* Replaces the host's name resolver; an empty function restores it. */
void SetResolver(HostResolver resolver);
/* Runs observer after every close of an open socket, on the closing thread; empty: none. */
void SetCloseObserver(std::function<void(uint32_t socket)> observer);
/* Makes WSAStartup fail while set. */
void SetStartupFailure(bool fail);
/* Sockets whose descriptors are not yet released. */
int OpenSocketCount();

}  // namespace platform_winsock
