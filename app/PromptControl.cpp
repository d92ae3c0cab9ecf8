#include "app/PromptControl.h"

#include "follow/Following.h"
#include "platform/WaitCursor.h"
#include "prompter/PromptArea.h"
#include "prompter/PromptProgress.h"
#include "prompter/Rig.h"
#include "prompter/Scroller.h"

namespace
{
constexpr int kSpeedStep = 5; // twips per tick, per press of Up or Down
constexpr int kBackLines = 3; // display lines that Back takes the text back
} // namespace

PromptControl::PromptControl(
    Scroller &scroller, PromptArea &area, Following &following, QObject *parent)
    : QObject(parent)
    , m_scroller(scroller)
    , m_area(area)
    , m_following(following)
{
}

void PromptControl::run(PromptCommand command)
{
    m_following.command(command);
    switch (command) {
    case PromptCommand::Start: {
        // A fresh start lays the whole script out.
        const WaitCursor busy;
        m_scroller.start();
        break;
    }
    case PromptCommand::HoldOrRelease:
        m_scroller.holdOrRelease();
        break;
    // Beyond the range the speed stops at its end.
    case PromptCommand::Faster:
        m_scroller.nudge(kSpeedStep);
        break;
    case PromptCommand::Slower:
        m_scroller.nudge(-kSpeedStep);
        break;
    case PromptCommand::FasterFine:
        m_scroller.nudge(1);
        break;
    case PromptCommand::SlowerFine:
        m_scroller.nudge(-1);
        break;
    case PromptCommand::Back:
        m_scroller.goBack(kBackLines);
        break;
    case PromptCommand::Reset:
        m_scroller.reset();
        break;
    case PromptCommand::Blank:
        blank();
        break;
    case PromptCommand::Output:
        m_area.rig().toggleOutput();
        break;
    case PromptCommand::FullScreen:
        m_area.rig().toggleFullScreen();
        break;
    case PromptCommand::LargerText:
        m_area.rig().stepTextSize(1);
        break;
    case PromptCommand::SmallerText:
        m_area.rig().stepTextSize(-1);
        break;
    case PromptCommand::Follow: // following took it
    case PromptCommand::Mirror: // the window's the key was pressed in
    case PromptCommand::ConsoleSize:
        break;
    }
}

void PromptControl::blank()
{
    const bool blank = !m_area.isBlank();
    m_area.setBlank(blank);
    if (blank) {
        // A text already held stays held when it shows again.
        m_blankHeld = m_scroller.speed() != 0;
        if (m_blankHeld)
            run(PromptCommand::HoldOrRelease);
    } else if (m_blankHeld) {
        m_blankHeld = false;
        if (m_scroller.speed() == 0)
            run(PromptCommand::HoldOrRelease);
    }
}

QJsonObject PromptControl::figures() const
{
    const char *states[] = { "Idle", "Scrolling", "Paused" };
    const PromptProgress &progress = m_area.rig().progress();
    const std::optional<qint64> left = progress.leftMs();
    const QString line
        = m_scroller.isRunning() ? m_area.lineText(m_scroller.readingPosition().line) : QString();
    return {
        { QStringLiteral("state"), QLatin1String(states[int(m_scroller.state())]) },
        { QStringLiteral("speed"), m_scroller.speed() },
        { QStringLiteral("progress"), progress.progress() },
        { QStringLiteral("elapsed"), progress.elapsedMs() },
        { QStringLiteral("left"), left ? QJsonValue(*left) : QJsonValue() },
        { QStringLiteral("line"), line },
        { QStringLiteral("blank"), m_area.isBlank() },
        { QStringLiteral("follow"), m_following.isOn() },
    };
}
