// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TextFit.h"

#include "app/PictureView.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>

namespace tamrisk {

namespace {

constexpr int kFrameInset = 3; // keeps a grown control off the frame line

bool IsControlOnRow(const QWidget* other, const QWidget& control)
{
    if (other == &control || qobject_cast<const QGroupBox*>(other) != nullptr ||
        qobject_cast<const PictureView*>(other) != nullptr)
        return false;
    const QRect a = control.geometry();
    const QRect b = other->geometry();
    return b.left() > a.left() && b.top() <= a.bottom() && b.bottom() >= a.top();
}

// The right edge (exclusive) up to which control may grow.
int RightLimit(const QWidget& control)
{
    const QWidget* dialog = control.parentWidget();
    int limit = dialog->width() - kFrameInset;
    for (const QObject* child : dialog->children()) {
        const auto* other = qobject_cast<const QWidget*>(child);
        if (other == nullptr)
            continue;
        if (qobject_cast<const QGroupBox*>(other) != nullptr && other->geometry().contains(control.pos()))
            limit = std::min(limit, other->geometry().right() + 1 - kFrameInset);
        else if (IsControlOnRow(other, control))
            limit = std::min(limit, other->x());
    }
    return limit;
}

int TextWidth(const QWidget& control, const QString& text)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        // The button's own measure of square, spacing and margins, with text.
        const QFontMetrics metrics = button->fontMetrics();
        return button->sizeHint().width() - metrics.horizontalAdvance(button->text()) + metrics.horizontalAdvance(text);
    }
    const auto* label = qobject_cast<const QLabel*>(&control);
    const int margins = label != nullptr ? label->width() - label->contentsRect().width() + 2 * label->margin() : 0;
    int width = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        width = std::max(width, control.fontMetrics().horizontalAdvance(line));
    return width + margins;
}

// Check squares and radio circles are drawn centred in their control's height.
void FitHeight(QAbstractButton& button)
{
    const bool radio = qobject_cast<QRadioButton*>(&button) != nullptr;
    const int square = button.style()->pixelMetric(
        radio ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight, nullptr, &button);
    const int needed = std::max(square, button.fontMetrics().height());
    QRect place = button.geometry();
    if (needed <= place.height())
        return;
    const int grow = needed - place.height();
    place.setTop(place.top() - grow / 2);
    place.setHeight(needed);
    button.setGeometry(place);
}

} // namespace

void FitControlToText(QWidget& control, const QString& text, bool growDialog)
{
    const int needed = TextWidth(control, text);
    if (needed <= control.width())
        return;
    QWidget& dialog = *control.parentWidget();
    if (growDialog && control.x() + needed > dialog.width() - kFrameInset)
        dialog.setFixedWidth(control.x() + needed + kFrameInset);
    const int room = RightLimit(control) - control.x();
    control.resize(std::max(control.width(), std::min(needed, room)), control.height());
}

void FitControlsToTexts(QWidget& dialog)
{
    for (QObject* child : dialog.children()) {
        if (auto* button = qobject_cast<QAbstractButton*>(child);
            qobject_cast<QCheckBox*>(child) != nullptr || qobject_cast<QRadioButton*>(child) != nullptr) {
            FitHeight(*button);
            FitControlToText(*button, button->text());
        } else if (auto* label = qobject_cast<QLabel*>(child)) {
            FitControlToText(*label, label->text());
        }
    }
}

} // namespace tamrisk
