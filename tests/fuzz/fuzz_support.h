// What the fuzz targets share: Qt and settings set-up, the frame buffer, a loopback camera end.
#pragma once

#include <cstddef>
#include <cstdint>

// Registers the program's resources and creates the process's Qt application (call once).
void StartApplication();

// Points XDG_CONFIG_HOME at a new temporary folder, removed when the process exits.
void UseTemporarySettingsHome();

// Stops the run at once with a message unless the rule the code promises holds for this input.
void Require(bool holds, const char* rule);

// Clears the frame buffer and copies in what fits of the bytes; returns the length stored.
size_t LoadFrameBuffer(const uint8_t* data, size_t size);

// A socket listening on 127.0.0.1 at a port the system chooses, stored in *port.
int ListenOnLoopback(int* port);

// Accepts one connection, sends the bytes, closes its sending side and reads until the other end
// hangs up, so no unread byte turns the close into a reset.
void ServeOne(int listener, const uint8_t* data, size_t size);
