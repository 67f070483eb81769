// Work handed to a thread's Qt event loop from other threads.
//
// The work waits in a queue under a lock of the standard library, and the thread is woken by a
// write to an event counter that a socket notifier of that thread watches. A posting thread
// never calls into Qt: what the work needs reaches the thread through that lock and that
// counter, which the thread checker sees, and never through Qt's own queues and locks, which it
// cannot see.
#pragma once

#include <functional>
#include <memory>

namespace platform_user {

class ThreadMailbox;

/* A piece of work that its poster keeps and may post again once it has run: queueing it takes
   a reference, never a copy, so a call made many times allocates nothing after the first. */
class MailboxItem {
public:
    virtual void Run() = 0;

protected:
    ~MailboxItem() = default;
};

/* The mailbox of the calling thread, made on first use and kept for the process's life; the
   thread must run a Qt event loop for work to arrive. The Qt application's thread gets its
   mailbox when the application is constructed. NULL with ERROR_NOT_ENOUGH_MEMORY when its
   wake-up cannot be made. */
ThreadMailbox* CurrentThreadMailbox();
/* The mailbox of the Qt application's thread; NULL when there is no application. */
ThreadMailbox* ApplicationMailbox();
/* Queues work for the mailbox's thread; it runs there, in order, when that thread handles
   events (also inside a nested event loop). A wake-up that cannot be sent ends the program. */
void PostWork(ThreadMailbox* mailbox, std::function<void()> work);
/* Queues the item like PostWork; the queue holds a reference until the item has run. */
void PostItem(ThreadMailbox* mailbox, std::shared_ptr<MailboxItem> item);

}  // namespace platform_user
