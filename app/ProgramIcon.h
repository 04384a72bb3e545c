// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

namespace tamrisk {

// The program icon, drawn in code: a slab lit from above by a ray of light
// that fades with depth. 32 x 32 and 16 x 16 images.
QPixmap ProgramIconPixmap(int size);
QIcon ProgramIcon();

} // namespace tamrisk
