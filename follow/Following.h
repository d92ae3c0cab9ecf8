#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <optional>

#include "prompter/PromptCommand.h"
#include "prompter/Scroller.h"

class PromptArea;
class QLabel;
class QMenu;
class VoiceFollow;

// Following the presenter's voice, beside the scroller's own controls: the prompt area's
// "Follow My Voice" and the key V switch it, remembered per user; from Start to Reset it
// steers the scroller's speed as a hand on the speed bar would, and a sign in the area's
// corner shows it is on and what it last heard.
class Following final : public QObject
{
    Q_OBJECT

public:
    Following(QWidget *window, Scroller &scroller, PromptArea &area);

    // A command on its way to the scroller: Follow switches following; a hold holds it with
    // the text, and a change of speed takes the speed from it for a moment.
    void command(PromptCommand command);
    bool isOn() const { return m_on; }
    // While following, the time the words left take at the presenter's reading rate.
    std::optional<qint64> leftAtReadingRate() const;

Q_SIGNALS:
    // The voice is being listened to, or no longer.
    void listeningChanged(bool listening);

private:
    void addMenuItems(QMenu *menu);
    void setFollowVoice(bool on);
    void startFollowing();
    void stopFollowing();
    // Following could not go on: the choice is off from now on.
    void followingFailed(const QString &message);
    void storeChoice();
    void showFollowSign();
    void followTick();
    // The point of the script the voice has reached.
    Scroller::Position spokenPoint() const;
    // One step of a glide to where the voice was found far from the reading line.
    void glide();

    QWidget *m_window;
    Scroller &m_scroller;
    PromptArea &m_area;
    VoiceFollow *mVoice = nullptr;
    QLabel *lblfollow = nullptr; // the sign that the prompt follows the voice
    bool m_on = false; // the presenter's choice
    bool m_listening = false; // as last told
    bool mFollowHeld = false; // a hold holds the text while following
    QElapsedTimer mFollowNudge; // since the speed was last changed by hand
    struct Glide {
        double from = 0; // display line plus fraction at the reading line
        double to = 0;
        int tick = 0;
    };
    std::optional<Glide> m_glide;
};
