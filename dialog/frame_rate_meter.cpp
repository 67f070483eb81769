// The frame-rate meter: notifications counted over intervals of just over a second.
#include "dialog/pemblar_dlg.h"

void CPemblarDlg::UpdateFrameRate() {
    if (!m_bHasPerfCounter) {
        return;
    }
    if (m_bFirstFrame) {
        QueryPerformanceCounter(&m_liStart);
        m_bFirstFrame = FALSE;
        m_nFrames = 0;
        return;
    }

    ++m_nFrames;
    QueryPerformanceCounter(&m_liNow);

    // A zero frequency cannot time anything: the interval then never closes.
    float elapsed = 0.0f;
    if (m_liFreq.QuadPart != 0) {
        const float counts = static_cast<float>(m_liNow.QuadPart - m_liStart.QuadPart);
        elapsed = counts / static_cast<float>(m_liFreq.QuadPart);
    }

    // Exactly one second does not close the interval: it must have lasted more.
    if (static_cast<double>(elapsed) > 1.0) {
        m_fFps = static_cast<float>(m_nFrames) / elapsed;
        QueryPerformanceCounter(&m_liStart);
        m_nFrames = 0;
    }
}
