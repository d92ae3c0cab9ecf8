#pragma once

#include "prompter/PromptCommand.h"

#include <QJsonObject>
#include <QObject>

class Following;
class PromptArea;
class Scroller;

// Carries out the presenter's commands, from the keys, a clicker or the remote page alike:
// each goes to following first, which steps aside for a hand on the speed, and then to the
// scroller's own operations. The console's size, which only the main window knows, stays
// with the main window.
class PromptControl final : public QObject
{
    Q_OBJECT

public:
    PromptControl(Scroller &scroller, PromptArea &area, Following &following, QObject *parent);

    void run(PromptCommand command);
    // What the remote page shows: the state, the speed, the progress and times, the line
    // at the reading line, and whether the prompt is blanked and follows the voice.
    QJsonObject figures() const;

private:
    void blank();

    Scroller &m_scroller;
    PromptArea &m_area;
    Following &m_following;
    bool m_blankHeld = false; // blanking held the text, so showing it again releases it
};
