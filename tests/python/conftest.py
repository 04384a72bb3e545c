# SPDX-License-Identifier: GPL-3.0-or-later
"""pytest settings of the module's tests."""


def pytest_sessionfinish(session, exitstatus):
    # A run that collected nothing has tested nothing: it fails.
    if session.testscollected == 0:
        session.exitstatus = 1
