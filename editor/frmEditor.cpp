#include "editor/frmEditor.h"

#include "editor/KeptScripts.h"
#include "editor/ScriptFile.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/MsgBox.h"
#include "platform/Twips.h"
#include "platform/WaitCursor.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QToolButton>

namespace
{

constexpr int kClientWidth = 7785; // twips
constexpr int kClientHeight = 6075;

const QString kScriptFilter = QStringLiteral("Text Files(*.txt)|*.txt");

// The text as the user sees it, line breaks as '\n'. Unlike toPlainText(),
// this keeps no-break spaces, so a script survives a round trip whole.
QString scriptText(const QPlainTextEdit *box)
{
    QString text = box->document()->toRawText();
    // Shift+Enter breaks a line inside a paragraph; the file still gets a line break.
    for (const QChar separator : { QChar(QChar::ParagraphSeparator), QChar(QChar::LineSeparator) })
        text.replace(separator, QLatin1Char('\n'));
    return text;
}

} // namespace

frmEditor::frmEditor(QPlainTextEdit *store, QWidget *parent)
    : ModalForm(parent)
    , cdlgeditor(this)
    , m_store(store)
{
    buildWindow();
    connectControls();
}

frmEditor::~frmEditor()
{
    // Changed since Done handed it over (or since Open read it); no one is left to tell of a
    // failure as the run ends.
    if (!m_unloaded && txteditor->document()->isModified())
        keepClosedText();
}

std::optional<QString> frmEditor::keepClosedText() const
{
    const QString text = scriptText(txteditor);
    return text.isEmpty() ? std::nullopt : KeptScripts::keep(KeptScripts::Kind::ClosedText, text);
}

void frmEditor::buildWindow()
{
    setUpFixedWindow(this, QStringLiteral("Editor"), kClientWidth, kClientHeight);

    Frame1 = new QGroupBox(this);
    Frame1->setGeometry(twipsRect(120, 0, 7575, 6015));

    txteditor = new QPlainTextEdit(Frame1);
    txteditor->setGeometry(twipsRect(120, 240, 7335, 4935));
    txteditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txteditor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txteditor->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves on to the buttons, as in the platform's text boxes.
    txteditor->setTabChangesFocus(true);

    cmddone = makeButton(Frame1, QStringLiteral("&Done"), QStringLiteral("done"), 120, 5280);
    cmdsave = makeButton(Frame1, QStringLiteral("&Save"), QStringLiteral("save"), 900, 5280);
    cmdopen = makeButton(Frame1, QStringLiteral("&Open"), QStringLiteral("open"), 1680, 5280);

    setTabOrder(txteditor, cmddone);
    setTabOrder(cmddone, cmdsave);
    setTabOrder(cmdsave, cmdopen);

    setObjectName(QStringLiteral("frmEditor"));
    nameControls({ { Frame1, "Frame1" }, { txteditor, "txteditor" }, { cmddone, "cmddone" },
        { cmdsave, "cmdsave" }, { cmdopen, "cmdopen" } });
}

void frmEditor::connectControls()
{
    connect(cmdopen, &QToolButton::clicked, this, &frmEditor::cmdopen_Click);
    connect(cmdsave, &QToolButton::clicked, this, &frmEditor::cmdsave_Click);
    connect(cmddone, &QToolButton::clicked, this, &frmEditor::cmddone_Click);
    txteditor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txteditor, &QWidget::customContextMenuRequested, this, &frmEditor::showTextMenu);
}

void frmEditor::showTextMenu(const QPoint &pos)
{
    // The box makes its own menu afresh each time; the one before goes.
    delete m_textMenu;
    QMenu *menu = m_textMenu = txteditor->createStandardContextMenu(pos);
    menu->setObjectName(QStringLiteral("mnueditor"));
    menu->addSeparator();
    // Read only when chosen: a right click must not read two long scripts.
    const auto add = [this, menu](const QString &text, KeptScripts::Kind kind) {
        QAction *action = menu->addAction(text);
        action->setEnabled(KeptScripts::has(kind));
        connect(action, &QAction::triggered, this, [this, kind] {
            if (const std::optional<QString> kept = KeptScripts::kept(kind))
                restore(*kept);
        });
    };
    add(QStringLiteral("Restore Closed Text"), KeptScripts::Kind::ClosedText);
    add(QStringLiteral("Restore Last Script"), KeptScripts::Kind::LastScript);
    menu->popup(txteditor->viewport()->mapToGlobal(pos));
}

void frmEditor::restore(const QString &text)
{
    // In place of what the box holds, as one step that Undo takes back.
    QTextCursor cursor(txteditor->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.endEditBlock();
    txteditor->setTextCursor(cursor);
}

void frmEditor::cmdopen_Click()
{
    cdlgeditor.CancelError = true;
    cdlgeditor.Filter = kScriptFilter;
    cdlgeditor.Flags = CommonDialog::kHideReadOnly;
    cdlgeditor.FilterIndex = 1;
    if (cdlgeditor.ShowOpen()) {
        m_path = cdlgeditor.FileName;
        const WaitCursor busy;
        const auto text = ScriptFile::read(m_path);
        if (const QString *script = std::get_if<QString>(&text))
            txteditor->setPlainText(*script);
        else if (std::get<ScriptFile::ReadError>(text) == ScriptFile::ReadError::TooBig)
            ShowError(this,
                QStringLiteral("THE FILE IS TOO BIG TO PROMPT! A SCRIPT CAN HOLD UP TO 10 MB."));
        else
            ShowError(this, QStringLiteral("COULD NOT OPEN THE FILE!"));
    }
    txteditor->setFocus();
}

void frmEditor::cmdsave_Click()
{
    const QString text = scriptText(txteditor);
    if (text.isEmpty()) {
        ShowError(this, QStringLiteral("NOTHING TO SAVE!"));
        return;
    }
    cdlgeditor.Flags = CommonDialog::kOverwritePrompt | CommonDialog::kHideReadOnly;
    cdlgeditor.Filter = kScriptFilter;
    cdlgeditor.FilterIndex = 1;
    // Until the first Open sets CancelError, a cancel returns normally with the
    // last file name still in place: nothing may be written then either.
    if (cdlgeditor.ShowSave() && !cdlgeditor.Cancelled()) {
        m_path = cdlgeditor.FileName;
        if (!ScriptFile::write(m_path, text))
            ShowError(this, QStringLiteral("COULD NOT SAVE THE FILE!"));
    }
    txteditor->setFocus();
}

void frmEditor::cmddone_Click()
{
    const WaitCursor busy;
    // Straight into the store's document: the text box would lay a long paragraph out
    // at once to place its cursor, and the store is laid out at Start anyway.
    const QString script = scriptText(txteditor);
    m_store->document()->setPlainText(script);
    txteditor->document()->setModified(false);
    hide();
    if (const std::optional<QString> problem
        = KeptScripts::keep(KeptScripts::Kind::LastScript, script))
        ShowError(parentWidget(),
            QStringLiteral("THE SCRIPT COULD NOT BE KEPT FOR RESTORING IN THE EDITOR: ")
                + *problem);
}

void frmEditor::showEvent(QShowEvent *event)
{
    // Shown again after Done, the user goes on typing where he left off.
    txteditor->setFocus();
    QDialog::showEvent(event);
}

void frmEditor::closeEvent(QCloseEvent *event)
{
    // The box comes back empty; what it held can be restored from its menu.
    if (const std::optional<QString> problem = keepClosedText())
        ShowError(
            this, QStringLiteral("THE EDITOR'S TEXT COULD NOT BE KEPT FOR RESTORING: ") + *problem);
    m_unloaded = true;
    QDialog::closeEvent(event);
}
