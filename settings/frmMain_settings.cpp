#include "app/frmMain.h"

#include "app/Module1.h"
#include "settings/SettingsFile.h"

#include <QScrollBar>

void frmMain::LoadSettings()
{
    SettingsFile::readLoop([this] {
        if (gSettingsLine == SettingsFile::Speed)
            hscspeed->setValue(SettingsFile::speedFromText(gSettingsText));
        else
            SettingsFile::takeSharedLine();
    });
}
