// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <atomic>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QThread;
class QWidget;

namespace tamrisk {

// Long work of the window on a thread of its own, so the window's event loop
// runs freely meanwhile. The work reports numbered progress lines and asks
// whether to go on; the lines reach this object's thread by queued signals,
// at most once a frame, and after the work has returned (or thrown) ended()
// follows them there. The work must not touch what the GUI thread reads:
// it gets copies.
class BackgroundJob final : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(BackgroundJob& job)>;

    explicit BackgroundJob(QObject* parent = nullptr);
    // Asks the work to stop and waits for it.
    ~BackgroundJob() override;
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Runs the work on a new thread; lines are sent at most every frameMs.
    // Once per job.
    void start(Work work, int frameMs);
    // Thread-safe: the work learns it at its next poll().
    void requestStop() { stop_.store(true); }
    // Between start() and ended().
    bool running() const { return running_; }
    // What the work threw, once it has ended; empty when it returned.
    std::exception_ptr error() const { return error_; }

    // The worker's side, called only by the work:
    // the newest text of a progress line, sent when a frame has passed;
    void setLine(int line, std::string text);
    // sends the lines that are due; false once a stop was requested.
    bool poll();

    // The interval of the display the window is on, in whole milliseconds.
    static int FrameMs(const QWidget& window);

signals:
    void lineChanged(int line, const QString& text);
    void ended();

private:
    void run(const Work& work) noexcept;
    void sendLinesIfDue();
    void sendLines();
    void onThreadFinished();

    std::unique_ptr<QThread> thread_;
    std::atomic<bool> stop_{false};
    bool running_ = false;
    std::exception_ptr error_; // written by the worker before its thread ends
    // The worker's own: lines not yet sent and the time since the last sending.
    int frameMs_ = 16;
    std::map<int, std::string> pending_;
    QElapsedTimer sinceSent_;
};

} // namespace tamrisk
