#include "app/frmMain.h"

#include "editor/frmEditor.h"
#include "prompter/PromptBox.h"

void frmMain::cmdeditor_Click()
{
    if (!m_editor)
        m_editor = new frmEditor(txtcontainer, this);
    m_editor->exec();
    // Done only hides the editor; its close box unloads it for good.
    if (m_editor && m_editor->isUnloaded())
        delete m_editor;
}
