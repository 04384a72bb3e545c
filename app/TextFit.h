// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;
class QWidget;

namespace tamrisk {

// Makes the texts of a dialog's controls whole in the font they got, without
// moving a control: a check box or radio button lower than its square or its
// text grows about its middle; a label or button whose text is wider than its
// place grows to the right, up to the next control on its row and within the
// frame around it. Where the room ends, the text stays cut.
void FitControlsToTexts(QWidget& dialog);

// Widens one control of a dialog, as above, so that text fits it, for texts
// that it will show later (read-outs). With growDialog, a control at the
// dialog's edge widens the dialog too.
void FitControlToText(QWidget& control, const QString& text, bool growDialog = false);

} // namespace tamrisk
