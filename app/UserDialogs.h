// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ScanGrid.h"

#include <QString>

#include <optional>

class QWidget;

namespace tamrisk {

// A figure to save: its file, and whether in the print style (the
// colour-blind-safe pens told apart by line style, axes ending on round
// numbers) or with the window's pens and axis ranges.
struct FigureChoice {
    QString path;
    bool windowStyle = false;
};

enum class MessageKind {
    Plain, // OK button only, no icon
    Error, // OK button only, error icon
};

// The modal questions and messages of the main window. The window asks
// through this seam, so tests can answer without running a modal loop.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // The path the user confirmed in a save dialog for text files, or nothing.
    virtual std::optional<QString> askSavePath(QWidget* parent) = 0;
    // The path the user confirmed in a save dialog for figures (SVG, PDF or
    // PNG) and the style the chosen file type names, or nothing.
    virtual std::optional<FigureChoice> askFigurePath(QWidget* parent) = 0;
    // The confirmed texts of the scan-grid dialog, or nothing when cancelled.
    virtual std::optional<ScanGridTexts> askScanGrid(QWidget* parent) = 0;
    // A message box titled "Tamrisk".
    virtual void showMessage(QWidget* parent, const QString& text, MessageKind kind) = 0;
    // The plain message that ends a scan. Other windows stay usable while it
    // is up, so the progress window can still be closed; the caller keeps the
    // main window from taking input.
    virtual void showScanEnd(QWidget* parent, const QString& text) = 0;
    // A yes/no question titled "Tamrisk"; true for yes.
    virtual bool askToProceed(QWidget* parent, const QString& text) = 0;
    // Whether to replace an existing file that the save dialog did not ask
    // about: a yes/no warning titled "Tamrisk"; true for yes.
    virtual bool askToReplace(QWidget* parent, const QString& text) = 0;
    virtual void showAbout(QWidget* parent) = 0;
};

// The real dialogs: QFileDialog, CScanGridDlg, QMessageBox, CAboutDlg.
class QtUserDialogs final : public UserDialogs {
public:
    std::optional<QString> askSavePath(QWidget* parent) override;
    std::optional<FigureChoice> askFigurePath(QWidget* parent) override;
    std::optional<ScanGridTexts> askScanGrid(QWidget* parent) override;
    void showMessage(QWidget* parent, const QString& text, MessageKind kind) override;
    void showScanEnd(QWidget* parent, const QString& text) override;
    bool askToProceed(QWidget* parent, const QString& text) override;
    bool askToReplace(QWidget* parent, const QString& text) override;
    void showAbout(QWidget* parent) override;
};

} // namespace tamrisk
