// The real main dialog under the offscreen platform, driven as a user drives it: the camera's
// address typed into the entries, Connect pressed, the login dialog answered.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <set>

#include "dialog/pemblar_dlg.h"

namespace bench {

class BenchDialog : public CPemblarDlg {
public:
    using CPemblarDlg::m_bConnected;
    using CPemblarDlg::m_bTrying;
    using CPemblarDlg::m_strStamp;
};

class Viewer {
public:
    Viewer() = default;
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    /* Creates and shows the dialog as the application's main window. */
    bool Open();
    /* Types 127.0.0.1 and the port, presses Connect and answers the login; true once the first
       frame has been shown. */
    bool Connect(uint16_t port);
    /* Presses Disconnect and waits until the camera thread has ended and the view says so. */
    bool Disconnect();
    /* Waits until `frames` more frames have been shown; false when the stream stalls. */
    bool WaitForFrames(long long frames);
    /* The number the shown frame's caption carries. */
    long long ShownFrame() const;
    /* Threads (kernel ids) of this process now. */
    static std::set<pid_t> Threads();

private:
    void Click();

    std::unique_ptr<BenchDialog> m_dialog;
};

}  // namespace bench
