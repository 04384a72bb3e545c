// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GuardedHandler.h"

#include "app/UserDialogs.h"

#include <new>
#include <stdexcept>

namespace tamrisk {

QString FailureText(const QString& action, std::exception_ptr error)
{
    const QString stopped = action + QStringLiteral(" wurde abgebrochen.");
    if (!error)
        return QStringLiteral("Unerwarteter Fehler: ") + stopped;
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Nicht genug Speicher: ") + stopped;
    } catch (const std::exception& fault) {
        return QStringLiteral("Unerwarteter Fehler: ") + stopped + QLatin1Char('\n') +
               QString::fromLocal8Bit(fault.what());
    } catch (...) {
    }
    return QStringLiteral("Unerwarteter Fehler: ") + stopped;
}

void ShowFailure(UserDialogs& dialogs, QWidget* owner, const QString& action, std::exception_ptr error) noexcept
{
    try {
        dialogs.showMessage(owner, FailureText(action, error), MessageKind::Error);
    } catch (...) {
    }
}

} // namespace tamrisk
