// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ControlIds.h"

#include <QString>

// A control's object name: its id as text, as the dialogs give it.
template <typename Id>
QString Name(Id id)
{
    return QString::number(tamrisk::IdNumber(id));
}
