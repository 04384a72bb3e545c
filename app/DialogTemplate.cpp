// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DialogTemplate.h"

#include "app/TextFit.h"
#include "model/InputTable.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>
#include <vector>

namespace tamrisk {

namespace {

// Multiplies and divides with rounding half away from zero, like MulDiv.
int ScaleRounded(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}

QWidget* NewWidget(QWidget* parent, const ControlTemplate& control)
{
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefaultButton: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(true);
        button->setDefault(control.kind == ControlKind::DefaultButton);
        return button;
    }
    case ControlKind::GroupBox: {
        auto* box = new QGroupBox(text, parent);
        // A plain frame through the middle of the title and nothing filled
        // inside, so a plot picture beneath a frame shows unchanged.
        box->setStyleSheet(
            QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: 0.5em; background: transparent; }"
                           "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px;"
                           " background: palette(window); }"));
        box->setFocusPolicy(Qt::NoFocus);
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        return box;
    }
    case ControlKind::Text: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // One line high: a text too wide for another font is clipped
        // rather than wrapped into an invisible second line.
        label->setWordWrap(false);
        label->setText(text);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        return label;
    }
    case ControlKind::Slider: {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        // The positions of the input the slider sets.
        if (const InputRow* row = FindSlider(control.id)) {
            const PositionRange range = *SliderRange(*row);
            slider->setRange(range.low, range.high);
        }
        slider->setTickPosition(QSlider::NoTicks);
        slider->setFocusPolicy(Qt::StrongFocus);
        return slider;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(parent);
        edit->setText(text);
        return edit;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(text, parent);
        box->setFocusPolicy(Qt::StrongFocus);
        return box;
    }
    case ControlKind::RadioButton: {
        auto* radio = new QRadioButton(text, parent);
        radio->setFocusPolicy(Qt::ClickFocus); // not a tab stop
        return radio;
    }
    }
    return nullptr;
}

} // namespace

int DialogUnitsToPixelsX(int du) { return ScaleRounded(du, 6, 4); }
int DialogUnitsToPixelsY(int du) { return ScaleRounded(du, 13, 8); }

QRect DialogUnitsToPixels(int x, int y, int w, int h)
{
    return QRect(DialogUnitsToPixelsX(x), DialogUnitsToPixelsY(y), DialogUnitsToPixelsX(w), DialogUnitsToPixelsY(h));
}

void SetUpDialog(QWidget* dialog, const QString& title, int widthDu, int heightDu)
{
    dialog->setWindowTitle(title);
    dialog->setFont(DialogFont());
    dialog->setFixedSize(DialogUnitsToPixelsX(widthDu), DialogUnitsToPixelsY(heightDu));
}

QFont DialogFont(const QStringList& families)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    // A wider fallback, where none of the narrow families is installed, is
    // narrowed to their measure so the texts keep the places laid out for them.
    const QString sample = QStringLiteral("Effektives Integral der natürlichen Beta-Dosisleistung:");
    constexpr int kSampleWidth = 243; // its width in the narrow families
    const int width = QFontMetrics(font).horizontalAdvance(sample);
    if (width > kSampleWidth)
        font.setStretch(std::max(50, 100 * kSampleWidth / width));
    return font;
}

QStringList DialogFontFamilies()
{
    // A narrow sans keeps the texts within the widths the layout gives them.
    return {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
            QStringLiteral("Arial Narrow"), QStringLiteral("DejaVu Sans")};
}

QWidget* CreateControl(QWidget* parent, const ControlTemplate& control)
{
    QWidget* widget = NewWidget(parent, control);
    if (control.id != 0)
        widget->setObjectName(QString::number(control.id));
    widget->setGeometry(DialogUnitsToPixels(control.x, control.y, control.w, control.h));
    return widget;
}

void CreateControls(QWidget* parent, std::span<const ControlTemplate> controls)
{
    std::vector<QWidget*> groupBoxes;
    for (const ControlTemplate& control : controls) {
        QWidget* widget = CreateControl(parent, control);
        if (control.kind == ControlKind::GroupBox)
            groupBoxes.push_back(widget);
    }
    FitControlsToTexts(*parent);
    // Lowering changes only the stacking, not the tab order.
    for (auto it = groupBoxes.rbegin(); it != groupBoxes.rend(); ++it)
        (*it)->lower();
}

} // namespace tamrisk
