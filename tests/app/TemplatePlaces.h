// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DialogTemplate.h"

#include <QRect>
#include <QSize>

#include <span>
#include <string_view>

// Places as a dialog template gives them, so tests read them from the table
// instead of repeating its numbers.

// The row of the control with this id (or, for id 0, the first with this text).
inline const tamrisk::ControlTemplate& TemplateRow(std::span<const tamrisk::ControlTemplate> controls, int id,
                                                   std::string_view text = {})
{
    for (const tamrisk::ControlTemplate& row : controls)
        if (row.id == id && (id != 0 || std::string_view(row.text) == text))
            return row;
    static const tamrisk::ControlTemplate kMissing{-1, tamrisk::ControlKind::Text, "<missing>", 0, 0, 0, 0};
    return kMissing;
}

inline QRect TemplatePixels(const tamrisk::ControlTemplate& row)
{
    return tamrisk::DialogUnitsToPixels(row.x, row.y, row.w, row.h);
}

inline QSize TemplatePixels(int widthDu, int heightDu)
{
    return QSize(tamrisk::DialogUnitsToPixelsX(widthDu), tamrisk::DialogUnitsToPixelsY(heightDu));
}
