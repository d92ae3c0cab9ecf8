#pragma once

#include <QSettings>

// The recorder's choices beside the settings (which meters show, the microphone), remembered
// per user in $XDG_CONFIG_HOME/tellvane/recorder.ini; settings.ini never holds any of them.
class RecorderStore final : public QSettings
{
public:
    RecorderStore()
        : QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tellvane"),
            QStringLiteral("recorder"))
    {
    }
};
