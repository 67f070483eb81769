// Thread mailboxes: per thread one queue, one event counter (eventfd) and one socket notifier on
// it, never destroyed. The notifier's handler takes the counter and runs the queued work one
// item at a time, so that work starting a nested event loop does not hold up the items behind
// it (the notifier fires inside nested loops too).
#include "platform/user/thread_mailbox.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace platform_user {

namespace {

// Work posted as a function: one allocation per post, for the calls that are rare.
class FunctionItem final : public MailboxItem {
public:
    explicit FunctionItem(std::function<void()> work) : m_work(std::move(work)) {}
    void Run() override { m_work(); }

private:
    std::function<void()> m_work;
};

}  // namespace

class ThreadMailbox {
public:
    ThreadMailbox() : m_counter(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
        if (m_counter < 0) return;
        m_notifier = new QSocketNotifier(m_counter, QSocketNotifier::Read);
        QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] { Run(); });
    }
    ThreadMailbox(const ThreadMailbox&) = delete;
    ThreadMailbox& operator=(const ThreadMailbox&) = delete;

    void Post(std::shared_ptr<MailboxItem> item) {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_queue.push_back(std::move(item));
        }
        const uint64_t one = 1;
        if (m_counter >= 0) (void)!write(m_counter, &one, sizeof one);
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
    QSocketNotifier* m_notifier = nullptr;  // lives on the mailbox's thread, like the mailbox
    std::mutex m_lock;
    std::vector<std::shared_ptr<MailboxItem>> m_queue;
    size_t m_next = 0;  // the first item of m_queue not yet taken
};

namespace {

std::mutex g_lock;
// Kept for the process's life: a mailbox may be posted to until the very end.
std::map<QThread*, ThreadMailbox*>* g_mailboxes = new std::map<QThread*, ThreadMailbox*>;

ThreadMailbox* Find(QThread* thread) {
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = g_mailboxes->find(thread);
    return it == g_mailboxes->end() ? nullptr : it->second;
}

// The application's thread gets its mailbox as the application is constructed, on that thread,
// so that a worker never has to make it.
void MakeApplicationMailbox() {
    CurrentThreadMailbox();
}
Q_COREAPP_STARTUP_FUNCTION(MakeApplicationMailbox)

}  // namespace

ThreadMailbox* CurrentThreadMailbox() {
    QThread* thread = QThread::currentThread();
    std::lock_guard<std::mutex> guard(g_lock);
    ThreadMailbox*& mailbox = (*g_mailboxes)[thread];
    if (mailbox == nullptr) mailbox = new ThreadMailbox;
    return mailbox;
}

ThreadMailbox* ApplicationMailbox() {
    QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr ? nullptr : Find(app->thread());
}

void PostWork(ThreadMailbox* mailbox, std::function<void()> work) {
    mailbox->Post(std::make_shared<FunctionItem>(std::move(work)));
}

void PostItem(ThreadMailbox* mailbox, std::shared_ptr<MailboxItem> item) {
    mailbox->Post(std::move(item));
}

}  // namespace platform_user
