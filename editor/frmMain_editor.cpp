#include "app/frmMain.h"

#include "editor/frmEditor.h"
#include "prompter/PromptBox.h"

void frmMain::cmdeditor_Click()
{
    if (!mEditor)
        mEditor = new frmEditor(txtcontainer, this);
    mEditor->exec();
    // Done only hides the editor; its close box unloads it for good.
    if (mEditor && mEditor->isUnloaded())
        delete mEditor;
}
