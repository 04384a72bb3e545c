// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/UserDialogs.h"
#include "app/ProgressDlg.h"

#include <QStringList>
#include <QWidget>

#include <deque>
#include <exception>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// Answers the window's modal questions from queues and records what it showed.
class FakeDialogs final : public tamrisk::UserDialogs {
public:
    struct Message {
        QString text;
        tamrisk::MessageKind kind;
        bool progressVisible; // a progress window was on screen meanwhile
        QStringList progressLines;
        bool endOfScan; // shown as the message that ends a scan
    };

    std::deque<std::optional<QString>> savePaths;
    std::deque<std::optional<QString>> figurePaths;
    bool figureWindowStyle = false; // the style the figure dialog answers with
    std::deque<std::optional<tamrisk::ScanGridTexts>> scanGrids;
    std::vector<Message> messages;
    std::deque<bool> proceedAnswers; // exhausted: no
    QStringList questions;
    std::deque<bool> replaceAnswers; // exhausted: no
    QStringList replaceQuestions;
    // Runs while a message is up, as a user acting on the other windows.
    std::function<void()> whileMessageShown;
    // Thrown once, instead of an answer, by the question named here:
    // "savePath", "figurePath", "scanGrid", "proceed", "replace" or "about".
    QString failingQuestion;
    std::exception_ptr failure;
    int savePathQuestions = 0;
    int scanGridQuestions = 0;
    int figurePathQuestions = 0;
    int aboutShown = 0;

    std::optional<QString> askSavePath(QWidget*) override
    {
        ++savePathQuestions;
        failIfAsked("savePath");
        return Next(savePaths);
    }

    std::optional<tamrisk::FigureChoice> askFigurePath(QWidget*) override
    {
        ++figurePathQuestions;
        failIfAsked("figurePath");
        const std::optional<QString> path = Next(figurePaths);
        if (!path)
            return std::nullopt;
        return tamrisk::FigureChoice{*path, figureWindowStyle};
    }

    std::optional<tamrisk::ScanGridTexts> askScanGrid(QWidget*) override
    {
        ++scanGridQuestions;
        failIfAsked("scanGrid");
        return Next(scanGrids);
    }

    void showMessage(QWidget* parent, const QString& text, tamrisk::MessageKind kind) override
    {
        record(parent, text, kind, false);
    }

    void showScanEnd(QWidget* parent, const QString& text) override
    {
        record(parent, text, tamrisk::MessageKind::Plain, true);
    }

    bool askToProceed(QWidget*, const QString& text) override
    {
        questions << text;
        failIfAsked("proceed");
        if (proceedAnswers.empty())
            return false;
        const bool answer = proceedAnswers.front();
        proceedAnswers.pop_front();
        return answer;
    }

    bool askToReplace(QWidget*, const QString& text) override
    {
        replaceQuestions << text;
        failIfAsked("replace");
        if (replaceAnswers.empty())
            return false;
        const bool answer = replaceAnswers.front();
        replaceAnswers.pop_front();
        return answer;
    }

    void showAbout(QWidget*) override
    {
        failIfAsked("about");
        ++aboutShown;
    }

private:
    void failIfAsked(const char* question)
    {
        if (failure && failingQuestion == QLatin1String(question))
            std::rethrow_exception(std::exchange(failure, nullptr));
    }

    void record(QWidget* parent, const QString& text, tamrisk::MessageKind kind, bool endOfScan)
    {
        Message message{text, kind, false, {}, endOfScan};
        if (const auto* progress = parent->findChild<tamrisk::CProgressDlg*>()) {
            message.progressVisible = progress->isVisible();
            for (tamrisk::ProgressLine id :
                 {tamrisk::ProgressLine::Extinction, tamrisk::ProgressLine::EvalTime, tamrisk::ProgressLine::Count})
                message.progressLines << progress->line(id);
        }
        messages.push_back(message);
        if (whileMessageShown)
            whileMessageShown();
    }

    // Answers are taken in order; an exhausted queue answers "cancelled".
    template <typename T>
    static std::optional<T> Next(std::deque<std::optional<T>>& queue)
    {
        if (queue.empty() || !queue.front().has_value()) {
            if (!queue.empty())
                queue.pop_front();
            return std::nullopt;
        }
        T answer = *queue.front();
        queue.pop_front();
        return answer;
    }
};
