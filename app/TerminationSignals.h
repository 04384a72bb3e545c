// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace tamrisk {

// SIGINT, SIGTERM and SIGHUP as a Qt signal on this object's thread. Their
// handler only writes the signal's number into a pipe, which a socket
// notifier watches; received() follows in the event loop, a modal dialog's
// loop included. One instance at a time; its end restores the handlers
// that were there before.
class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

signals:
    void received(int signal);

private:
    void readSignals();

    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace tamrisk
