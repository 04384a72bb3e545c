// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BackgroundJob.h"

#include <QScreen>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace tamrisk {

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent) {}

BackgroundJob::~BackgroundJob()
{
    if (thread_) {
        requestStop();
        thread_->wait();
    }
}

void BackgroundJob::start(Work work, int frameMs)
{
    frameMs_ = std::max(1, frameMs);
    running_ = true;
    thread_.reset(QThread::create([this, work = std::move(work)] { run(work); }));
    // Emitted on the worker after run(), so it is queued behind the last lines.
    connect(thread_.get(), &QThread::finished, this, &BackgroundJob::onThreadFinished);
    thread_->start();
}

void BackgroundJob::run(const Work& work) noexcept
{
    sinceSent_.start();
    try {
        work(*this);
    } catch (...) {
        error_ = std::current_exception();
    }
    try {
        sendLines(); // the last state, however little time has passed
    } catch (...) {
        if (!error_)
            error_ = std::current_exception();
    }
}

void BackgroundJob::setLine(int line, std::string text)
{
    pending_[line] = std::move(text);
    sendLinesIfDue();
}

bool BackgroundJob::poll()
{
    sendLinesIfDue();
    return !stop_.load(std::memory_order_relaxed);
}

void BackgroundJob::sendLinesIfDue()
{
    if (!pending_.empty() && sinceSent_.elapsed() >= frameMs_)
        sendLines();
}

void BackgroundJob::sendLines()
{
    for (const auto& [line, text] : pending_)
        emit lineChanged(line, QString::fromStdString(text));
    pending_.clear();
    sinceSent_.restart();
}

void BackgroundJob::onThreadFinished()
{
    running_ = false;
    emit ended();
}

int BackgroundJob::FrameMs(const QWidget& window)
{
    const QScreen* screen = window.screen();
    const double rate = screen != nullptr && screen->refreshRate() > 1.0 ? screen->refreshRate() : 60.0;
    return std::max(1, int(std::floor(1000.0 / rate)));
}

} // namespace tamrisk
