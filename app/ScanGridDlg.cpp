#include "app/ScanGridDlg.h"

#include "app/DialogTemplate.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace tamrisk {

namespace {

constexpr ControlTemplate kControls[] = {
    {1, ControlKind::DefaultButton, "Weiter>", 114, 106, 50, 14},
    {2, ControlKind::PushButton, "Abbrechen", 40, 106, 50, 14},
    {1015, ControlKind::Edit, "", 52, 14, 42, 10},
    {1016, ControlKind::Edit, "", 52, 30, 42, 10},
    {1017, ControlKind::Edit, "", 52, 47, 42, 10},
    {0, ControlKind::GroupBox, "Transparenz (Ex. [1/mm])", 2, 4, 100, 90},
    {1055, ControlKind::CheckBox, "Logarithmisch", 10, 66, 82, 10},
    {0, ControlKind::Text, "Startwert:", 8, 16, 38, 8},
    {0, ControlKind::Text, "Endwert:", 9, 30, 38, 8},
    {0, ControlKind::Text, "Schritte:", 10, 48, 38, 8},
    {1018, ControlKind::Edit, "", 153, 14, 42, 10},
    {1019, ControlKind::Edit, "", 153, 30, 42, 10},
    {1020, ControlKind::Edit, "", 153, 46, 42, 10},
    {0, ControlKind::GroupBox, "Auswertezeit [s]", 103, 4, 100, 90},
    {1056, ControlKind::CheckBox, "Logarithmisch", 111, 66, 82, 10},
    {0, ControlKind::Text, "Startwert:", 109, 16, 38, 8},
    {0, ControlKind::Text, "Endwert:", 110, 30, 38, 8},
    {0, ControlKind::Text, "Schritte:", 111, 48, 38, 8},
};

QString EditText(const QDialog* dialog, int id)
{
    return dialog->findChild<QLineEdit*>(QString::number(id))->text();
}

void SetEditText(QDialog* dialog, int id, const std::string& text)
{
    dialog->findChild<QLineEdit*>(QString::number(id))->setText(QString::fromStdString(text));
}

QCheckBox* CheckBox(const QDialog* dialog, int id) { return dialog->findChild<QCheckBox*>(QString::number(id)); }

} // namespace

CScanGridDlg::CScanGridDlg(QWidget* parent)
    : QDialog(parent, kDialogWindowFlags)
{
    SetUpDialog(this, QStringLiteral("Werte-Raster berechnen"), 206, 129);
    CreateControls(this, kControls);
    for (int id : {1055, 1056})
        CheckBox(this, id)->setLayoutDirection(Qt::RightToLeft);  // text left of the box

    auto* next = findChild<QPushButton*>(QStringLiteral("1"));
    connect(next, &QPushButton::clicked, this, &QDialog::accept);
    connect(findChild<QPushButton*>(QStringLiteral("2")), &QPushButton::clicked, this, &QDialog::reject);
    showTexts(ScanGridTexts{});
    next->setFocus();
}

ScanGridTexts CScanGridDlg::texts() const
{
    ScanGridTexts texts;
    texts.evalTimeSteps = EditText(this, 1020).toStdString();
    texts.evalTimeStart = EditText(this, 1018).toStdString();
    texts.evalTimeEnd = EditText(this, 1019).toStdString();
    texts.extinctionLog = CheckBox(this, 1055)->isChecked();
    texts.extinctionSteps = EditText(this, 1017).toStdString();
    texts.extinctionStart = EditText(this, 1015).toStdString();
    texts.extinctionEnd = EditText(this, 1016).toStdString();
    texts.evalTimeLog = CheckBox(this, 1056)->isChecked();
    return texts;
}

void CScanGridDlg::showTexts(const ScanGridTexts& texts)
{
    SetEditText(this, 1020, texts.evalTimeSteps);
    SetEditText(this, 1018, texts.evalTimeStart);
    SetEditText(this, 1019, texts.evalTimeEnd);
    CheckBox(this, 1055)->setChecked(texts.extinctionLog);
    SetEditText(this, 1017, texts.extinctionSteps);
    SetEditText(this, 1015, texts.extinctionStart);
    SetEditText(this, 1016, texts.extinctionEnd);
    CheckBox(this, 1056)->setChecked(texts.evalTimeLog);
}

} // namespace tamrisk
