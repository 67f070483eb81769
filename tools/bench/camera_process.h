// The fake camera in a process of its own, so that its work is not counted as the viewer's:
// forked before the viewer makes any thread, serving a fixed cycle of frames on loopback.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <vector>

namespace bench {

struct FrameSet {
    int width = 640;
    int height = 480;
    int quality = 75;
    bool splitHeaderAndPayload = false;
};

class CameraProcess {
public:
    CameraProcess() = default;
    ~CameraProcess();
    CameraProcess(const CameraProcess&) = delete;
    CameraProcess& operator=(const CameraProcess&) = delete;

    /* Forks the camera; false when it cannot be started. Call before any thread exists. */
    bool Start(const FrameSet& frames);
    /* Ends the camera process and waits for it. */
    void Stop();
    uint16_t Port() const { return m_port; }

private:
    pid_t m_pid = -1;
    int m_control = -1;  // closing it tells the camera to stop
    uint16_t m_port = 0;
};

/* The cycle of JPEG frames served for a frame set: moving picture frames with a counter
   caption slot at bytes 24..42. */
std::vector<std::vector<uint8_t>> MakeFrameCycle(const FrameSet& frames, int count);

/* Writes the caption of frame `frame` ("frame " and a 13-digit count from 1) into a frame. */
void StampFrame(std::vector<uint8_t>& jpeg, int frame);

/* The frame number a caption carries (its digits, counting from 1); -1 when it has none. */
long long FrameNumberOfCaption(const char16_t* caption);

}  // namespace bench
