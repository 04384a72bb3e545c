// SPDX-License-Identifier: GPL-3.0-or-later
// Long work on a worker: its lines a frame apart, its end, its stop when the job goes.
// The window's scan tests cover faults, stops and the GUI thread running meanwhile.
#include "app/BackgroundJob.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>
#include <map>
#include <string>
#include <thread>

using namespace tamrisk;

namespace {

constexpr int kWaitMs = 30'000;

// The lines as they reached the GUI thread: the last text of each and the number of signals.
struct ReceivedLines {
    std::map<int, QString> last;
    int sent = 0;

    // receiver lives on the GUI thread, so the lines are queued to it.
    void listenTo(BackgroundJob& job, QObject* receiver)
    {
        QObject::connect(&job, &BackgroundJob::lineChanged, receiver, [this](int line, const QString& text) {
            QVERIFY(QThread::currentThread() == qApp->thread());
            last[line] = text;
            ++sent;
        });
    }
};

} // namespace

class BackgroundJobTest : public QObject {
    Q_OBJECT

private slots:
    // A line that changes all the time is sent once a frame, and its last
    // text always arrives, before the end.
    void linesComeOnceAFrameAndTheLastAlways()
    {
        constexpr int kFrameMs = 20;
        BackgroundJob job;
        ReceivedLines lines;
        lines.listenTo(job, this);
        bool lastBeforeEnd = false;
        connect(&job, &BackgroundJob::ended, [&] { lastBeforeEnd = lines.last[2] == QStringLiteral("Ende"); });
        QSignalSpy ended(&job, &BackgroundJob::ended);
        std::atomic<qint64> workedMs{0};
        job.start(
            [&](BackgroundJob& worker) {
                QElapsedTimer working;
                working.start();
                for (int i = 0; working.elapsed() < 10 * kFrameMs; ++i) {
                    worker.setLine(1, std::to_string(i));
                    worker.poll();
                }
                worker.setLine(1, "letzte");
                worker.setLine(2, "Ende");
                workedMs = working.elapsed();
            },
            kFrameMs);
        QVERIFY(job.running());
        QVERIFY(ended.wait(kWaitMs));
        QCOMPARE(ended.count(), 1);
        QVERIFY(!job.running());
        QVERIFY(!job.error());
        QVERIFY(lastBeforeEnd);
        QCOMPARE(lines.last[1], QStringLiteral("letzte"));
        // Sent while it worked, not only at the end, but not more than once a frame.
        QVERIFY2(lines.sent >= 3, qPrintable(QString::number(lines.sent)));
        QVERIFY2(lines.sent <= workedMs / kFrameMs + 2, qPrintable(QString::number(lines.sent)));
    }

    // A job that goes away while its work runs stops the work and waits for it.
    void destroyingARunningJobStopsAndWaits()
    {
        std::atomic<bool> started{false};
        std::atomic<bool> returned{false};
        {
            BackgroundJob job;
            job.start(
                [&](BackgroundJob& worker) {
                    started = true;
                    while (worker.poll())
                        std::this_thread::yield();
                    returned = true;
                },
                16);
            QTRY_VERIFY(started);
        }
        QVERIFY(returned);
    }
};

QTEST_MAIN(BackgroundJobTest)
#include "background_job_test.moc"
