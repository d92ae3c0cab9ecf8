#pragma once

#include "platform/CommonDialog.h"

#include <deque>
#include <vector>

// Plays the user at each common dialog while it lives; a show with no scripted answer is a cancel.
class DialogAnswers
{
    QStringList m_shows;

public:
    struct Call { // the dialog's properties as a show found them
        CommonDialog::Kind kind;
        QString fileName, filter;
        qint32 flags;
        bool cancelError;
        qint16 filterIndex;
    };

    DialogAnswers()
    {
        CommonDialog::setAnswerer([this](CommonDialog::Kind kind, const CommonDialog &d) {
            calls.push_back({ kind, d.FileName, d.Filter, d.Flags, d.CancelError, d.FilterIndex });
            m_shows << QStringList { "Open", "Save", "Color" }.at(int(kind))
                    + QStringLiteral(" %1 %2 ").arg(d.Flags).arg(d.FilterIndex) + d.Filter
                    + (d.CancelError ? " CancelError" : "");
            const auto a = answers.empty() ? CommonDialog::Answer {} : answers.front();
            if (!answers.empty())
                answers.pop_front();
            return a;
        });
    }
    ~DialogAnswers() { CommonDialog::setAnswerer({}); }
    Q_DISABLE_COPY(DialogAnswers)

    void choose(const QString &path) { answers.push_back({ true, path, 0 }); }
    void chooseColor(qint32 color) { answers.push_back({ true, QString(), color }); }
    void cancel() { answers.push_back({}); }
    QStringList shows() const { return m_shows; } // "Kind Flags FilterIndex Filter[ CancelError]"

    std::deque<CommonDialog::Answer> answers;
    std::vector<Call> calls;
};
