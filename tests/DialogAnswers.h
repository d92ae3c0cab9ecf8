#pragma once

#include "platform/CommonDialog.h"

// Plays the user at each common dialog while it lives; a show with no scripted answer is a cancel.
struct DialogAnswers {
    DialogAnswers()
    {
        CommonDialog::setAnswerer([this](CommonDialog::Kind kind, const CommonDialog &d) {
            fileNames << d.FileName;
            shows << QStringList { "Open", "Save", "Color" }.at(int(kind))
                    + QStringLiteral(" %1 %2 ").arg(d.Flags).arg(d.FilterIndex) + d.Filter
                    + (d.CancelError ? " CancelError" : "");
            return answers.isEmpty() ? CommonDialog::Answer {} : answers.takeFirst();
        });
    }
    ~DialogAnswers() { CommonDialog::setAnswerer({}); }
    Q_DISABLE_COPY(DialogAnswers)

    void choose(const QString &path) { answers.push_back({ true, path, 0 }); }
    void chooseColor(qint32 color) { answers.push_back({ true, QString(), color }); }
    void cancel() { answers.push_back({}); }
    QList<CommonDialog::Answer> answers;
    QStringList fileNames; // as each show found FileName
    QStringList shows; // "Kind Flags FilterIndex Filter[ CancelError]"
};
