#pragma once

#include "platform/CommonDialog.h"

#include <QStringList>

#include <deque>
#include <vector>

// Plays the user at every common dialog for as long as it lives: each show
// takes the next scripted answer, and a show with none left is a cancel.
class DialogAnswers
{
public:
    // What a show found in the dialog's properties when it opened.
    struct Call {
        CommonDialog::Kind kind;
        QString fileName;
        QString filter;
        qint32 flags;
        bool cancelError;
        qint16 filterIndex;
    };

    DialogAnswers()
    {
        CommonDialog::setAnswerer([this](CommonDialog::Kind kind, const CommonDialog &dialog) {
            calls.push_back({ kind, dialog.FileName, dialog.Filter, dialog.Flags,
                dialog.CancelError, dialog.FilterIndex });
            if (answers.empty())
                return CommonDialog::Answer {};
            const CommonDialog::Answer next = answers.front();
            answers.pop_front();
            return next;
        });
    }
    ~DialogAnswers() { CommonDialog::setAnswerer({}); }
    DialogAnswers(const DialogAnswers &) = delete;
    DialogAnswers &operator=(const DialogAnswers &) = delete;

    void choose(const QString &path) { answers.push_back({ true, path, 0 }); }
    void chooseColor(qint32 color) { answers.push_back({ true, QString(), color }); }
    void cancel() { answers.push_back({}); }

    // Each show as its kind, flags, filter index and filter, and "CancelError" when set.
    QStringList shows() const
    {
        static const char *const kinds[] = { "Open", "Save", "Color" };
        QStringList result;
        for (const Call &call : calls) {
            result << QStringLiteral("%1 %2 %3 %4%5")
                          .arg(QLatin1String(kinds[int(call.kind)]))
                          .arg(call.flags)
                          .arg(call.filterIndex)
                          .arg(call.filter,
                              call.cancelError ? QStringLiteral(" CancelError") : QString());
        }
        return result;
    }

    std::deque<CommonDialog::Answer> answers;
    std::vector<Call> calls;
};
