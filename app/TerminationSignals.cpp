// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace tamrisk {

namespace {

constexpr std::array kSignals = {SIGINT, SIGTERM, SIGHUP};

// Written by the handler, which may run on any thread.
volatile std::sig_atomic_t gWriteEnd = -1;
std::array<struct sigaction, kSignals.size()> gPrevious{};

extern "C" void WriteSignalNumber(int signal)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &number, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (gWriteEnd != -1)
        throw std::logic_error("TerminationSignals: one instance at a time");
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("TerminationSignals: no pipe");
    gWriteEnd = pipe_[1];
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignals);

    struct sigaction action {};
    action.sa_handler = WriteSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &gPrevious[i]);
}

TerminationSignals::~TerminationSignals()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &gPrevious[i], nullptr);
    gWriteEnd = -1;
    delete notifier_;
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

void TerminationSignals::readSignals()
{
    unsigned char number = 0;
    while (::read(pipe_[0], &number, 1) == 1)
        emit received(number);
}

} // namespace tamrisk
