// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace tamrisk {

class CModelDlg;
class UserDialogs;

// Runs the main window until it ends; on a screen too small for it, its
// content scrolls in a window that fits. SIGINT, SIGTERM and SIGHUP stop a
// running scan, as Escape does (its unfinished file removed, the old files
// kept), and end the window without a question. The result is the program's
// exit status: 0, or 128 plus the number of the signal that ended it.
// started, if given, runs once the window's loop has begun.
int RunMainWindow(UserDialogs& dialogs, const std::function<void(CModelDlg&)>& started = {});

} // namespace tamrisk
