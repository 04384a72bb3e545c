// SPDX-License-Identifier: GPL-3.0-or-later
// Handlers of a window: whatever they throw is shown, never passed on.
#include "FakeDialogs.h"

#include "app/GuardedHandler.h"

#include <QTest>

#include <new>
#include <stdexcept>

using namespace tamrisk;

class GuardedHandlerTest : public QObject {
    Q_OBJECT

private slots:
    void failureTextNamesTheActionAndTheKind_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("text");
        QTest::newRow("out of memory") << 0 << "Nicht genug Speicher: Der Export wurde abgebrochen.";
        QTest::newRow("array too long") << 1 << "Nicht genug Speicher: Der Export wurde abgebrochen.";
        QTest::newRow("standard exception")
            << 2 << "Unerwarteter Fehler: Der Export wurde abgebrochen.\nSchreibfehler äöü";
        QTest::newRow("anything else") << 3 << "Unerwarteter Fehler: Der Export wurde abgebrochen.";
        QTest::newRow("nothing caught") << 4 << "Unerwarteter Fehler: Der Export wurde abgebrochen.";
    }

    void failureTextNamesTheActionAndTheKind()
    {
        QFETCH(int, fault);
        QFETCH(QString, text);
        const std::exception_ptr faults[] = {
            std::make_exception_ptr(std::bad_alloc()),
            std::make_exception_ptr(std::bad_array_new_length()),
            std::make_exception_ptr(
                std::runtime_error(QStringLiteral("Schreibfehler äöü").toLocal8Bit().toStdString())),
            std::make_exception_ptr(3.5),
            nullptr,
        };
        QCOMPARE(FailureText(QStringLiteral("Der Export"), faults[fault]), text);
    }

    void guardedHandlerShowsWhatItThrowsAndReturns()
    {
        FakeDialogs dialogs;
        QWidget owner;
        bool ran = false;
        RunGuarded(dialogs, &owner, QStringLiteral("Der t-Scan"), [&] { ran = true; });
        QVERIFY(ran);
        QVERIFY(dialogs.messages.empty());

        RunGuarded(dialogs, &owner, QStringLiteral("Der t-Scan"), [] { throw std::bad_alloc(); });
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("Nicht genug Speicher: Der t-Scan wurde abgebrochen."));
        QCOMPARE(dialogs.messages[0].kind, MessageKind::Error);

        // A failure while telling the user goes no further either.
        dialogs.whileMessageShown = [] { throw std::bad_alloc(); };
        RunGuarded(dialogs, &owner, QStringLiteral("Der t-Scan"), [] { throw 1; });
        QCOMPARE(dialogs.messages.size(), std::size_t(2));
    }
};

QTEST_MAIN(GuardedHandlerTest)
#include "guarded_handler_test.moc"
