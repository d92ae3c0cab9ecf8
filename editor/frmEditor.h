#pragma once

#include "platform/CommonDialog.h"
#include "platform/ModalForm.h"

#include <QPointer>

#include <optional>

class QGroupBox;
class QMenu;
class QPlainTextEdit;
class QToolButton;

// The script editor: the user writes a script or opens one from a text file,
// saves it, and hands it to the main window's script store with Done.
class frmEditor final : public ModalForm
{
    Q_OBJECT

public:
    // store: the main window's script store, which only Done writes.
    explicit frmEditor(QPlainTextEdit *store, QWidget *parent);
    // The run ends with the editor open: its text is kept as the close box would keep it.
    ~frmEditor() override;

    // True once the close box has unloaded the window; its owner then
    // destroys it when the modal show returns.
    bool isUnloaded() const { return m_unloaded; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void cmdopen_Click();
    void cmdsave_Click();
    void cmddone_Click();
    // The text box's own menu, and the kept texts to restore.
    void showTextMenu(const QPoint &pos);
    void restore(const QString &text);
    // What the box holds, unless empty, for "Restore Closed Text"; why not, when it cannot be.
    std::optional<QString> keepClosedText() const;

    QGroupBox *Frame1 = nullptr;
    QPlainTextEdit *txteditor = nullptr;
    QToolButton *cmddone = nullptr;
    QToolButton *cmdsave = nullptr;
    QToolButton *cmdopen = nullptr;
    CommonDialog cdlgeditor;
    QPointer<QMenu> m_textMenu;

    void buildWindow();
    void connectControls();

    QPlainTextEdit *m_store;
    QString m_path; // the file last chosen in a dialog
    bool m_unloaded = false;
};
