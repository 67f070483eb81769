// Thread mailboxes: per thread one queue, one event counter (eventfd) and one socket notifier on
// it, never destroyed. The notifier's handler takes the counter and runs the queued work one
// item at a time, so that work starting a nested event loop does not hold up the items behind
// it (the notifier fires inside nested loops too).
#include "platform/user/thread_mailbox.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/kernel.h"

namespace platform_user {

namespace {

// Work posted as a function: one allocation per post, for the calls that are rare.
struct FunctionItem final : public MailboxItem {
    explicit FunctionItem(std::function<void()> posted) : work(std::move(posted)) {}
    void Run() override { work(); }
    std::function<void()> work;
};

}  // namespace

class ThreadMailbox {
public:
    // Takes the event counter; the notifier lives on the calling thread, like the mailbox.
    explicit ThreadMailbox(int counter)
        : m_counter(counter), m_notifier(counter, QSocketNotifier::Read) {
        QObject::connect(&m_notifier, &QSocketNotifier::activated, &m_notifier, [this] { Run(); });
    }
    ThreadMailbox(const ThreadMailbox&) = delete;
    ThreadMailbox& operator=(const ThreadMailbox&) = delete;

    void Post(std::shared_ptr<MailboxItem> item) {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_queue.push_back(std::move(item));
        }
        // A thread that cannot be woken would leave the work queued for ever.
        const uint64_t one = 1;
        if (write(m_counter, &one, sizeof one) != sizeof one) {
            qFatal("cannot wake a thread for its queued work: %s", strerror(errno));
        }
    }

private:
    void Run() {
        uint64_t posted = 0;
        (void)!read(m_counter, &posted, sizeof posted);
        while (std::shared_ptr<MailboxItem> item = Next()) item->Run();
    }

    // The oldest item not yet taken. The queue is emptied (keeping its storage) once every item
    // was taken, so a steady stream of posts allocates nothing.
    std::shared_ptr<MailboxItem> Next() {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_next == m_queue.size()) {
            m_queue.clear();
            m_next = 0;
            return nullptr;
        }
        return std::move(m_queue[m_next++]);
    }

    const int m_counter;
    QSocketNotifier m_notifier;
    std::mutex m_lock;
    std::vector<std::shared_ptr<MailboxItem>> m_queue;
    size_t m_next = 0;  // the first item of m_queue not yet taken
};

namespace {

// The application thread's, for workers to post to.
std::atomic<ThreadMailbox*> g_applicationMailbox{nullptr};

// The application's thread gets its mailbox as the application is constructed, on that thread,
// so that a worker never has to make it.
void MakeApplicationMailbox() {
    g_applicationMailbox.store(CurrentThreadMailbox());
}
Q_COREAPP_STARTUP_FUNCTION(MakeApplicationMailbox)

}  // namespace

ThreadMailbox* CurrentThreadMailbox() {
    // Never destroyed: windows keep their thread's mailbox, and it may be posted to until the
    // very end.
    thread_local ThreadMailbox* mailbox = nullptr;
    if (mailbox == nullptr) {
        const int counter = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (counter < 0) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        mailbox = new ThreadMailbox(counter);
    }
    return mailbox;
}

ThreadMailbox* ApplicationMailbox() {
    return QCoreApplication::instance() == nullptr ? nullptr : g_applicationMailbox.load();
}

void PostWork(ThreadMailbox* mailbox, std::function<void()> work) {
    mailbox->Post(std::make_shared<FunctionItem>(std::move(work)));
}

void PostItem(ThreadMailbox* mailbox, std::shared_ptr<MailboxItem> item) {
    mailbox->Post(std::move(item));
}

}  // namespace platform_user
