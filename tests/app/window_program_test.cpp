// SPDX-License-Identifier: GPL-3.0-or-later
// The window program as a process: its command line, and its end on a
// termination signal in the middle of a scan.
#include "TamriskVersion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <string>

namespace {

constexpr int kProcessTimeoutMs = 60'000;
const QByteArray kOld(1000, 'o'); // a complete earlier result

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteOld(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(kOld), kOld.size());
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class WindowProgramTest : public QObject {
    Q_OBJECT

private slots:
    // Answered on the standard streams without a display: with none at all,
    // opening a window would fail.
    void commandLineIsAnsweredWithoutAWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out"); // the whole output, or its start when it ends in "..."
        QTest::addColumn<QByteArray>("err"); // a part of the error output, or empty for none
        const QByteArray version = "tamrisk " TAMRISK_VERSION "\n"
                                   "License GPL-3.0-or-later: GNU GPL version 3 or later "
                                   "<https://gnu.org/licenses/gpl.html>\n";
        QTest::newRow("--version") << QStringList{"--version"} << 0 << version << QByteArray();
        QTest::newRow("--help") << QStringList{"--help"} << 0 << QByteArray("Usage: tamrisk [--help | --version]\n...")
                                << QByteArray();
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2 << QByteArray()
                                        << QByteArray("unknown option '--frobnicate'\nUsage: tamrisk");
        QTest::newRow("unknown beside --version")
            << QStringList{"--version", "-x"} << 2 << QByteArray() << QByteArray("unknown option '-x'");
        QTest::newRow("a file name") << QStringList{"data.txt"} << 2 << QByteArray()
                                     << QByteArray("unexpected argument 'data.txt'");
    }

    void commandLineIsAnsweredWithoutAWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(TAMRISK_PROGRAM), arguments);
        QVERIFY(program.waitForFinished(kProcessTimeoutMs));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
        const QByteArray printed = program.readAllStandardOutput();
        if (out.endsWith("..."))
            QVERIFY2(printed.startsWith(out.chopped(3)), printed.constData());
        else
            QCOMPARE(printed, out);
        const QByteArray complaint = program.readAllStandardError();
        if (err.isEmpty())
            QCOMPARE(complaint, QByteArray());
        else
            QVERIFY2(complaint.contains(err), complaint.constData());
    }

    // A termination signal in the middle of a scan: the scan stops, its
    // hidden temporary files go, the old files stay, and the program ends
    // with 128 plus the signal's number.
    void terminationSignalStopsTheScanAndLeavesNoTemporaryFile_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("modal"); // a message box is up meanwhile
        QTest::newRow("SIGTERM") << SIGTERM << "scan.txt" << false;
        QTest::newRow("SIGINT") << SIGINT << "scan.txt" << false;
        QTest::newRow("SIGHUP") << SIGHUP << "scan.txt" << false;
        QTest::newRow("SIGTERM, table and record") << SIGTERM << "scan.csv" << false;
        QTest::newRow("SIGTERM, message box up") << SIGTERM << "scan.txt" << true;
    }

    void terminationSignalStopsTheScanAndLeavesNoTemporaryFile()
    {
        QFETCH(int, signal);
        QFETCH(QString, name);
        QFETCH(bool, modal);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(name);
        WriteOld(path);
        const bool csv = name.endsWith(QStringLiteral(".csv"));
        if (csv)
            WriteOld(dir.filePath(QStringLiteral("scan.json")));
        const QStringList before = Entries(dir.path());

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        QStringList arguments = {path};
        if (modal)
            arguments << QStringLiteral("--modal");
        program.start(QStringLiteral(SCANNING_WINDOW_PROGRAM), arguments);
        QVERIFY(program.waitForStarted(kProcessTimeoutMs));
        // The scan is under way once its hidden file has grown past the old one.
        const auto scanWriting = [&] {
            for (const QFileInfo& file :
                 QDir(dir.path()).entryInfoList({"." + name + ".*.tmp"}, QDir::Files | QDir::Hidden))
                if (file.size() > kOld.size())
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(scanWriting(), kProcessTimeoutMs);
        QVERIFY(program.state() == QProcess::Running);

        QCOMPARE(::kill(pid_t(program.processId()), signal), 0);
        QVERIFY(program.waitForFinished(kProcessTimeoutMs));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 128 + signal);
        QCOMPARE(Entries(dir.path()), before);
        QCOMPARE(ReadBytes(path), kOld);
        if (csv)
            QCOMPARE(ReadBytes(dir.filePath(QStringLiteral("scan.json"))), kOld);
    }
};

QTEST_GUILESS_MAIN(WindowProgramTest)
#include "window_program_test.moc"
