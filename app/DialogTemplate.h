// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>
#include <QStringList>

#include <span>

class QWidget;

namespace tamrisk {

enum class ControlKind {
    PushButton,
    DefaultButton,
    GroupBox,
    Text,
    Slider,
    Edit,
    CheckBox,
    RadioButton,
};

// One control of a dialog template: id 0 marks a label without id.
// Position and size are in dialog units.
struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text; // UTF-8
    int x, y, w, h;
};

// Dialog units to pixels with the dialog font's base units 6 x 13: each
// coordinate is scaled and rounded on its own, as the template loader does.
int DialogUnitsToPixelsX(int du);
int DialogUnitsToPixelsY(int du);
QRect DialogUnitsToPixels(int x, int y, int w, int h);

// The dialogs' 8-point sans font: 10 pixels (scaled with the screen) of the
// first installed of the families.
QStringList DialogFontFamilies();
QFont DialogFont(const QStringList& families = DialogFontFamilies());

// A popup with caption, system menu and close box, without the help button.
inline constexpr Qt::WindowFlags kDialogWindowFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                      Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Gives a dialog its title, the dialog font and its fixed template size.
void SetUpDialog(QWidget* dialog, const QString& title, int widthDu, int heightDu);

// Creates the control as a child of parent at its template position. Controls
// with an id get the id as objectName. Labels and group boxes take no focus
// and let mouse clicks through to what lies beneath, as dialog statics do.
QWidget* CreateControl(QWidget* parent, const ControlTemplate& control);

// Creates all controls in template order, which is also the tab order, puts
// the group boxes beneath the controls they frame and fits the controls to
// their texts in the parent's font.
void CreateControls(QWidget* parent, std::span<const ControlTemplate> controls);

} // namespace tamrisk
