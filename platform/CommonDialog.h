#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Stands in for the system's common dialog control: file Open and Save dialogs
// and the colour dialog, with properties that keep their values between shows
// for as long as the owning window lives.
class CommonDialog
{
public:
    explicit CommonDialog(QWidget *owner);

    QString FileName; // full path, read after the dialog closes
    QString DialogTitle;
    QString Filter; // "description|pattern" pairs, joined by "|"
    qint32 Color = 0; // COLORREF
    qint32 Flags = 0; // 2: ask before overwriting; 4: hide read-only (nothing to hide here)
    bool CancelError = false;
    qint16 FilterIndex = 0; // 1-based
    qint16 MaxFileSize = 260;
    QString FileTitle; // the chosen name without its folder
    QString DefaultExt; // added to a typed name without an extension; no dot

    // Each shows a modal dialog. A confirmed choice lands in the properties.
    // The file dialogs return false only when the user cancelled with CancelError
    // set: the failure the caller handles. Cancelled() tells of a cancel either way.
    bool ShowOpen();
    bool ShowSave();
    void ShowColor();
    bool Cancelled() const { return m_cancelled; }

    static constexpr qint32 kOverwritePrompt = 2;
    static constexpr qint32 kHideReadOnly = 4;

    // Test seam: while set, the answerer plays the user instead of a real dialog.
    enum class Kind { Open, Save, Color };
    struct Answer {
        bool confirmed = false;
        QString path;
        qint32 color = 0;
    };
    using Answerer = std::function<Answer(Kind, const CommonDialog &)>;
    static void setAnswerer(Answerer answerer);

    // The Qt name filters for Filter: "Text Files(*.txt)|*.txt" gives
    // "Text Files(*.txt) (*.txt)"; the dialog shows only the description part.
    // Patterns joined by ";" are given to Qt apart.
    QStringList nameFilters() const;

private:
    bool finish(const Answer &answer);
    Answer askForFile(Kind kind) const;
    Answer askForColor() const;

    QWidget *m_owner;
    bool m_cancelled = false;
};
