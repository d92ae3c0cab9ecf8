#include "settings/SettingsForm.h"

#include "platform/MsgBox.h"
#include "settings/SettingsFile.h"
#include "settings/SharedSettings.h"
#include "settings/frmSettings.h"

#include <QLabel>

SettingsForm::SettingsForm(const QLabel *speedLabel, QWidget *window)
    : QObject(window)
    , m_speedLabel(speedLabel)
    , m_window(window)
{
}

frmSettings &SettingsForm::form()
{
    if (!m_form)
        m_form = new frmSettings(m_speedLabel, m_window);
    return *m_form;
}

void SettingsForm::cmdsettings_Click()
{
    // The dialog deletes itself when closed.
    form().exec();
}

QString SettingsForm::bitrateText()
{
    return form().bitrateText();
}

void SettingsForm::SaveSettings()
{
    SettingsFile::readLoop([](int line, const QString &text) {
        if (line <= SettingsFile::LineColor)
            SettingsFile::takeSharedLine(line, text);
    });
    // Both texts are taken before the file is replaced: taking the bit rate may
    // create the dialog, which reads the file itself.
    const QString speed = m_speedLabel->text();
    const QString bitrate = bitrateText();
    const bool saved = SettingsFile::write({ SettingsFile::numericForm(gFontSize), gFontColor,
        gBackColor, gLineColor, speed, bitrate });
    m_speedSaveFailed = m_speedSaveFailed || !saved;
}

void SettingsForm::speedDragEnded()
{
    // Told once, when the drag is over, not at every scroll event.
    if (!m_speedSaveFailed)
        return;
    m_speedSaveFailed = false;
    ShowError(m_window, QStringLiteral("COULD NOT SAVE YOUR SETTINGS!"));
}
