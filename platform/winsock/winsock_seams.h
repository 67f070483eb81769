// The socket family's test seams. Only the family and platform/testing include this header.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/kernel/seam.h"

namespace platform_winsock {

using HostResolver = std::function<bool(const std::string& name, uint32_t* address)>;

/* Stands in for the host's name resolver. */
extern platform_kernel::Seam<HostResolver> g_resolverSeam;
/* Runs after every close of an open socket, on the closing thread. */
extern platform_kernel::Seam<std::function<void(uint32_t socket)>> g_closeObserverSeam;
/* Asked by each WSAStartup; true makes it fail. */
extern platform_kernel::Seam<std::function<bool()>> g_startupFailureSeam;

/* Sockets whose descriptors are not yet released. */
int OpenSocketCount();

}  // namespace platform_winsock
