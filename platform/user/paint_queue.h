// Paints owed to dialogs: a dialog invalidated while its thread runs queued work is painted as
// soon as that work is done, ahead of the Qt paint that then only shows its surface.
#pragma once

#include "platform/windef.h"

namespace platform_user {

/* Held while a thread's mailbox runs its queued work. The dialogs of the thread the work
   invalidates are painted (WM_PAINT, if shown) when it ends, as the platform paints a window
   once its thread's queue is empty; their Qt paints then only show the surfaces. */
class QueuedWorkPaints {
public:
    QueuedWorkPaints();
    ~QueuedWorkPaints();
    QueuedWorkPaints(const QueuedWorkPaints&) = delete;
    QueuedWorkPaints& operator=(const QueuedWorkPaints&) = delete;

private:
    int m_outerLoopLevel;
};

/* Notes the invalidated dialog of the calling thread for the paint after the queued work running
   there; FALSE when no queued work runs at this level of event loop (the dialog's Qt paint then
   dispatches its WM_PAINT). */
bool QueuePaint(HWND hDlg);

}  // namespace platform_user
