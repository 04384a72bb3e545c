// Long work on a worker: its lines a frame apart, its end, a stop, a fault.
#include "app/BackgroundJob.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <map>
#include <new>
#include <stdexcept>
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

    // The work runs beside the GUI thread: it waits for a timer that only
    // the GUI thread's event loop can fire.
    void guiThreadRunsWhileTheWorkRuns()
    {
        BackgroundJob job;
        QSignalSpy ended(&job, &BackgroundJob::ended);
        std::atomic<bool> released{false};
        std::atomic<bool> onGuiThread{true};
        QTimer::singleShot(50, [&] { released = true; });
        job.start(
            [&](BackgroundJob& worker) {
                onGuiThread = QThread::currentThread() == qApp->thread();
                while (!released && worker.poll())
                    std::this_thread::yield();
            },
            16);
        QVERIFY(ended.wait(kWaitMs));
        QVERIFY(released);
        QVERIFY(!onGuiThread);
    }

    void stopReachesTheWorkAtItsNextPoll()
    {
        BackgroundJob job;
        QSignalSpy ended(&job, &BackgroundJob::ended);
        std::atomic<int> polls{0};
        job.start(
            [&](BackgroundJob& worker) {
                while (worker.poll())
                    ++polls;
            },
            16);
        QTRY_VERIFY(polls > 100);
        QVERIFY(job.running());
        job.requestStop();
        QVERIFY(ended.wait(kWaitMs));
        QVERIFY(!job.error());
    }

    void faultOfTheWorkArrivesAfterItsLines_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("out of memory") << 0;
        QTest::newRow("standard exception") << 1;
        QTest::newRow("anything") << 2;
    }

    void faultOfTheWorkArrivesAfterItsLines()
    {
        QFETCH(int, fault);
        BackgroundJob job;
        ReceivedLines lines;
        lines.listenTo(job, this);
        QSignalSpy ended(&job, &BackgroundJob::ended);
        job.start(
            [fault](BackgroundJob& worker) {
                worker.setLine(1, "vorher");
                if (fault == 0)
                    throw std::bad_alloc();
                if (fault == 1)
                    throw std::runtime_error("kaputt");
                throw 42;
            },
            16);
        QVERIFY(ended.wait(kWaitMs));
        QCOMPARE(lines.last[1], QStringLiteral("vorher"));
        QVERIFY(job.error() != nullptr);
        try {
            std::rethrow_exception(job.error());
        } catch (const std::bad_alloc&) {
            QCOMPARE(fault, 0);
        } catch (const std::runtime_error& error) {
            QCOMPARE(fault, 1);
            QCOMPARE(std::string(error.what()), std::string("kaputt"));
        } catch (int) {
            QCOMPARE(fault, 2);
        }
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
