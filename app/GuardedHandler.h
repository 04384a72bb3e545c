// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <exception>
#include <utility>

class QWidget;

namespace tamrisk {

class UserDialogs;

// The message for a failure that ended an action: the action ("Der t-Scan")
// is named, a lack of memory is told apart from any other fault.
QString FailureText(const QString& action, std::exception_ptr error);

// Shows FailureText as an error message. Never throws: a failure while
// telling the user is dropped.
void ShowFailure(UserDialogs& dialogs, QWidget* owner, const QString& action, std::exception_ptr error) noexcept;

// Runs one handler of a window. Whatever it throws ends here and is shown,
// so no exception reaches Qt's event loop, which would end the program.
template <typename Handler>
void RunGuarded(UserDialogs& dialogs, QWidget* owner, const QString& action, Handler&& handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        ShowFailure(dialogs, owner, action, std::current_exception());
    }
}

} // namespace tamrisk
