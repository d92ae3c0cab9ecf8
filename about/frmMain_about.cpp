#include "app/frmMain.h"

#include "about/HelpPage.h"
#include "about/frmAbout.h"
#include "platform/ShellExecute.h"

// A fresh window for each show, so the statement always starts as designed.
void frmMain::cmdabout_Click()
{
    frmAbout about(this);
    about.exec();
}

void frmMain::cmdhelp_Click()
{
    ShellExecuteA(this, helpPageAddress());
}
