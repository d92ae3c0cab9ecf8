#pragma once

#include <QSettings>
#include <QString>

// How the prompt is shown on a teleprompter rig, remembered per user in a settings file
// of its own in the user's configuration folder; settings.ini never holds any of it.
struct RigChoices {
    // The console's prompt area.
    bool mirrorLeftRight = false; // for the beam-splitter glass
    bool mirrorTopBottom = false; // for a monitor hung upside down
    // The prompt output window: open, where, mirrored, and its own text.
    bool onScreen = false;
    // Its screen by name, and by its place among the screens for screens that share a name;
    // none chosen yet when the name is empty.
    QString screen;
    int screenIndex = -1;
    bool outputLeftRight = false;
    bool outputTopBottom = false;
    QString face; // the console's face when empty
    double pointSize = 0; // the console's size when 0
    int margin = 5; // percent of the width on each side
    double markerAt = 1.0 / 3; // of the way down
    bool fullScreen = false;
    // What the output window shows beside the script.
    bool showElapsed = false;
    bool showProgress = false;
    bool showLeft = false;
    bool countdown = false; // 3-2-1 before the text moves, in both windows

    // The stored choices; all off when none were stored. The output's mirror starts as the
    // console's was, which both shared before each window had its own.
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
