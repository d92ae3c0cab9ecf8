#pragma once

#include <QSettings>
#include <QString>

// How the prompt is shown on a teleprompter rig, remembered per user in a settings file
// of its own in the user's configuration folder; settings.ini never holds any of it.
struct RigChoices {
    bool mirrorLeftRight = false; // for the beam-splitter glass
    bool mirrorTopBottom = false; // for a monitor hung upside down
    bool onScreen = false; // the prompt output window is open
    // The output window's screen by name, and by its place among the screens for
    // screens that share a name; none chosen yet when the name is empty.
    QString screen;
    int screenIndex = -1;

    // The stored choices; all off when none were stored.
    static RigChoices load();
    // False when they could not be stored.
    bool save() const;
};

// The file the choices of the prompt's rig and its helpers are remembered in:
// $XDG_CONFIG_HOME/tellvane/rig.ini.
class RigStore final : public QSettings
{
public:
    RigStore();
};
