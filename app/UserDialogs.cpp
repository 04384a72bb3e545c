#include "app/UserDialogs.h"

#include "app/CAboutDlg.h"
#include "app/ScanGridDlg.h"

#include <QFileDialog>
#include <QEventLoop>
#include <QMessageBox>

namespace tamrisk {

std::optional<QString> QtUserDialogs::askSavePath(QWidget* parent)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The window's file first and preselected; the clean table beside it.
    const QString text = QStringLiteral("Text-Dateien (*.txt)");
    const QString csv = QStringLiteral("CSV-Tabelle (*.csv)");
    dialog.setNameFilters({text, csv});
    dialog.selectNameFilter(text);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, csv](const QString& filter) {
        dialog.setDefaultSuffix(filter == csv ? QStringLiteral("csv") : QStringLiteral("txt"));
    });
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty())
        return std::nullopt;
    return files.front();
}

std::optional<QString> QtUserDialogs::askFigurePath(QWidget* parent)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = {QStringLiteral("SVG-Grafik (*.svg)"), QStringLiteral("PDF-Dokument (*.pdf)"),
                                 QStringLiteral("PNG-Bild (*.png)")};
    const QStringList suffixes = {QStringLiteral("svg"), QStringLiteral("pdf"), QStringLiteral("png")};
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffixes.front());
    // A name typed without an ending gets the ending of the chosen type.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(suffixes.value(filters.indexOf(filter), suffixes.front()));
    });
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty())
        return std::nullopt;
    return files.front();
}

std::optional<ScanGridTexts> QtUserDialogs::askScanGrid(QWidget* parent)
{
    CScanGridDlg dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.texts();
}

void QtUserDialogs::showMessage(QWidget* parent, const QString& text, MessageKind kind)
{
    const QMessageBox::Icon icon = kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon;
    QMessageBox box(icon, QStringLiteral("Tamrisk"), text, QMessageBox::Ok, parent);
    box.exec();
}

void QtUserDialogs::showScanEnd(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tamrisk"), text, QMessageBox::Ok, parent);
    // A modal box would block the progress window, which belongs to the same main window.
    box.setWindowModality(Qt::NonModal);
    QEventLoop loop;
    QObject::connect(&box, &QMessageBox::finished, &loop, &QEventLoop::quit);
    box.show();
    loop.exec();
}

bool QtUserDialogs::askToProceed(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tamrisk"), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtUserDialogs::showAbout(QWidget* parent)
{
    CAboutDlg dialog(parent);
    dialog.exec();
}

} // namespace tamrisk
