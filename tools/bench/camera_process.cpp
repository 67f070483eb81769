#include "bench/camera_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>

#include "fakecamera/captioned_jpeg.h"
#include "fakecamera/fake_camera.h"
#include "simcamera/moving_picture.h"

namespace bench {
namespace {

constexpr int kCycleLength = 30;

bool ReadAll(int fd, void* buffer, size_t length) {
    auto* bytes = static_cast<char*>(buffer);
    while (length > 0) {
        const ssize_t n = ::read(fd, bytes, length);
        if (n <= 0) return false;
        bytes += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

[[noreturn]] void ServeUntilParentCloses(const FrameSet& frames, int control, int report) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    auto cycle =
        std::make_shared<std::vector<std::vector<uint8_t>>>(MakeFrameCycle(frames, kCycleLength));
    fakecamera::Script script;
    script.splitHeaderAndPayload = frames.splitHeaderAndPayload;
    script.payload = [cycle](int frame) {
        std::vector<uint8_t> jpeg = (*cycle)[static_cast<size_t>(frame) % cycle->size()];
        StampFrame(jpeg, frame);
        return jpeg;
    };
    fakecamera::FakeCamera camera(script);
    uint16_t port = camera.Start() ? camera.Port() : 0;
    const bool reported = ::write(report, &port, sizeof port) == sizeof port;
    ::close(report);
    if (reported && port != 0) {
        char byte;
        while (::read(control, &byte, 1) > 0) {
        }
    }
    camera.Stop();
    ::_exit(0);
}

}  // namespace

std::vector<std::vector<uint8_t>> MakeFrameCycle(const FrameSet& frames, int count) {
    std::vector<std::vector<uint8_t>> cycle;
    for (int i = 0; i < count; ++i) {
        cycle.push_back(fakecamera::InsertCaption(
            simcamera::MovingPicture(i * 4, frames.width, frames.height, frames.quality),
            fakecamera::FrameCounterCaption(0)));
    }
    return cycle;
}

void StampFrame(std::vector<uint8_t>& jpeg, int frame) {
    const std::string caption = fakecamera::FrameCounterCaption(frame);
    if (jpeg.size() >= fakecamera::kCaptionOffset + fakecamera::kCaptionLength) {
        std::memcpy(jpeg.data() + fakecamera::kCaptionOffset, caption.data(),
                    std::min(caption.size(), fakecamera::kCaptionLength));
    }
}

long long FrameNumberOfCaption(const char16_t* caption) {
    long long number = -1;
    for (const char16_t* c = caption; c != nullptr && *c != 0; ++c) {
        if (*c >= u'0' && *c <= u'9') number = (number < 0 ? 0 : number * 10) + (*c - u'0');
    }
    return number;
}

CameraProcess::~CameraProcess() {
    Stop();
}

bool CameraProcess::Start(const FrameSet& frames) {
    int control[2];
    int report[2];
    if (::pipe2(control, O_CLOEXEC) != 0) return false;
    if (::pipe2(report, O_CLOEXEC) != 0) {
        ::close(control[0]);
        ::close(control[1]);
        return false;
    }
    m_pid = ::fork();
    if (m_pid == 0) {
        // Only its own pipe ends stay open: a control end of another camera left open here
        // would keep that camera from seeing its end.
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != control[0] && fd != report[1]) ::close(fd);
        }
        ServeUntilParentCloses(frames, control[0], report[1]);
    }
    ::close(control[0]);
    ::close(report[1]);
    m_control = control[1];
    uint16_t port = 0;
    const bool reported = m_pid > 0 && ReadAll(report[0], &port, sizeof port);
    ::close(report[0]);
    m_port = reported ? port : 0;
    if (m_port == 0) Stop();
    return m_port != 0;
}

void CameraProcess::Stop() {
    if (m_control >= 0) ::close(m_control);
    m_control = -1;
    if (m_pid > 0) ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

}  // namespace bench
