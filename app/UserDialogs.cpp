// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/UserDialogs.h"

#include "app/CAboutDlg.h"
#include "app/ScanGridDlg.h"

#include <QFileDialog>
#include <QEventLoop>
#include <QMessageBox>

namespace tamrisk {

namespace {

// A save dialog offering file types, each with its ending; the first is
// preselected, and a name typed without an ending gets the chosen type's.
// The confirmed path, and the index of the file type chosen in `chosenFilter`.
std::optional<QString> AskSavePath(QWidget* parent, const QStringList& filters, const QStringList& suffixes,
                                   int* chosenFilter = nullptr)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.front());
    dialog.setDefaultSuffix(suffixes.front());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(suffixes.value(filters.indexOf(filter), suffixes.front()));
    });
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty())
        return std::nullopt;
    if (chosenFilter != nullptr)
        *chosenFilter = int(filters.indexOf(dialog.selectedNameFilter()));
    return files.front();
}

} // namespace

std::optional<QString> QtUserDialogs::askSavePath(QWidget* parent)
{
    // The window's file first; then the clean table, which brings its
    // parameter record beside it.
    return AskSavePath(
        parent,
        {QStringLiteral("Text-Dateien (*.txt)"), QStringLiteral("Tabelle und Parameterprotokoll (*.csv + .json)")},
        {QStringLiteral("txt"), QStringLiteral("csv")});
}

std::optional<FigureChoice> QtUserDialogs::askFigurePath(QWidget* parent)
{
    // The print style first; the window's pens as a choice of their own.
    int filter = 0;
    const std::optional<QString> path = AskSavePath(
        parent,
        {QStringLiteral("SVG-Grafik, Druckstil (*.svg)"), QStringLiteral("PDF-Dokument, Druckstil (*.pdf)"),
         QStringLiteral("PNG-Bild, Druckstil (*.png)"), QStringLiteral("SVG-Grafik, Fensterfarben (*.svg)"),
         QStringLiteral("PDF-Dokument, Fensterfarben (*.pdf)"), QStringLiteral("PNG-Bild, Fensterfarben (*.png)")},
        {QStringLiteral("svg"), QStringLiteral("pdf"), QStringLiteral("png"), QStringLiteral("svg"),
         QStringLiteral("pdf"), QStringLiteral("png")},
        &filter);
    if (!path)
        return std::nullopt;
    return FigureChoice{*path, filter >= 3};
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
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tamrisk"), text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtUserDialogs::askToReplace(QWidget* parent, const QString& text)
{
    // As the save dialog asks about the file it was given.
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Tamrisk"), text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtUserDialogs::showAbout(QWidget* parent)
{
    CAboutDlg dialog(parent);
    dialog.exec();
}

} // namespace tamrisk
