#include "media/PlaybackProgressThread.h"

#include <QMetaObject>
#include <chrono>

namespace {
using namespace std::chrono_literals;
constexpr auto kStepInterval = 1000ms;
// Slices of the waits on the GUI thread and on a resume; each ends early when woken.
constexpr auto kWaitSlice = 500ms;
} // namespace

PlaybackProgressThread::PlaybackProgressThread(Callback callback) : m_callback(std::move(callback))
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

PlaybackProgressThread::~PlaybackProgressThread() = default;

void PlaybackProgressThread::requestTerminate()
{
    {
        std::lock_guard lock(m_mutex);
        m_terminated = true;
    }
    m_wake.notify_all();
}

void PlaybackProgressThread::suspendProgress()
{
    std::lock_guard lock(m_mutex);
    m_suspended = true;
}

void PlaybackProgressThread::resumeProgress()
{
    {
        std::lock_guard lock(m_mutex);
        m_suspended = false;
    }
    m_wake.notify_all();
}

void PlaybackProgressThread::detachCallback()
{
    std::lock_guard lock(m_mutex);
    m_callback = nullptr;
}

bool PlaybackProgressThread::hasEnded() const
{
    std::lock_guard lock(m_mutex);
    return m_ended;
}

void PlaybackProgressThread::run()
{
    // A failed step or anything else ends the thread quietly; the player sees hasEnded().
    try {
        runLoop();
    } catch (...) {
    }
    std::lock_guard lock(m_mutex);
    m_ended = true;
}

void PlaybackProgressThread::runLoop()
{
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            while (m_suspended && !m_terminated)
                m_wake.wait_for(lock, kWaitSlice);
            if (m_terminated)
                return;
        }
        if (!runStepOnGuiThread())
            return;
        // The pause ends early on a terminate request, so Stop and the player's destructor
        // do not wait for a whole second.
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, kStepInterval, [this] { return m_terminated; }))
            return;
    }
}

bool PlaybackProgressThread::runStepOnGuiThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stepDone = false;
        m_stepFailed = false;
    }
    // This object lives on the GUI thread, so the step runs there.
    QMetaObject::invokeMethod(
        this, [this] { runStep(); }, Qt::QueuedConnection);
    std::unique_lock lock(m_mutex);
    while (!m_stepDone && !m_terminated)
        m_wake.wait_for(lock, kWaitSlice);
    return !m_stepFailed;
}

void PlaybackProgressThread::runStep()
{
    Callback callback;
    {
        std::lock_guard lock(m_mutex);
        callback = m_callback;
    }
    bool failed = false;
    if (callback) {
        try {
            callback(this);
        } catch (...) {
            failed = true; // handed back to the worker, which ends
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_stepDone = true;
        m_stepFailed = failed;
    }
    m_wake.notify_all();
}
