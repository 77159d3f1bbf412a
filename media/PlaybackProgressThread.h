#pragma once

#include <QThread>
#include <condition_variable>
#include <functional>
#include <mutex>

/// The player's progress worker: hands one progress step a second to the GUI thread and waits
/// for it. It deletes itself once its loop has ended; its owner only keeps a guarded reference.
class PlaybackProgressThread final : public QThread
{
public:
    /// Run on the GUI thread with the thread as sender.
    using Callback = std::function<void(QObject* sender)>;

    /// Created idle; start() begins the loop, whose first step comes at once.
    explicit PlaybackProgressThread(Callback callback);
    ~PlaybackProgressThread() override;

    /// Asks the loop to end at its next check; the caller does not wait.
    void requestTerminate();
    /// Holds back further steps until resumeProgress.
    void suspendProgress();
    void resumeProgress();
    /// Forgets the callback: a step already handed to the GUI thread then does nothing.
    void detachCallback();
    /// True once the loop has ended, by request or because a step failed.
    [[nodiscard]] bool hasEnded() const;

protected:
    void run() override;

private:
    void runLoop();
    /// Runs the step on the GUI thread and waits for it; false when the step failed.
    [[nodiscard]] bool runStepOnGuiThread();
    void runStep();

    Callback m_callback;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_terminated = false;
    bool m_suspended = false;
    bool m_stepDone = false;
    bool m_stepFailed = false;
    bool m_ended = false;
};
