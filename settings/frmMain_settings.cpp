#include "app/frmMain.h"

#include "app/Module1.h"
#include "platform/MsgBox.h"
#include "settings/SettingsFile.h"
#include "settings/frmSettings.h"

#include <QLabel>
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

frmSettings &frmMain::settingsForm()
{
    if (!mSettingsForm)
        mSettingsForm = new frmSettings(lblspeed, this);
    return *mSettingsForm;
}

void frmMain::cmdsettings_Click()
{
    // The dialog deletes itself when closed; the next use reads settings.ini anew.
    settingsForm().exec();
}

void frmMain::SaveSettings()
{
    SettingsFile::readLoop([] {
        if (gSettingsLine <= SettingsFile::LineColor)
            SettingsFile::takeSharedLine();
    });
    // Both texts are taken before the file is replaced: taking the bit rate may
    // create the dialog, which reads the file itself.
    const QString speed = lblspeed->text();
    const QString bitrate = settingsForm().bitrateText();
    const bool saved = SettingsFile::write({ SettingsFile::numericForm(gFontSize), gFontColor,
        gBackColor, gLineColor, speed, bitrate });
    mSpeedSaveFailed = mSpeedSaveFailed || !saved;
}

void frmMain::hscspeed_DragEnded()
{
    // A failed save is told once, when the drag is over, not at every scroll event.
    if (!mSpeedSaveFailed)
        return;
    mSpeedSaveFailed = false;
    ShowError(this, QStringLiteral("COULD NOT SAVE YOUR SETTINGS!"));
}
