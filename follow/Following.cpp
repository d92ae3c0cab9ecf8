#include "follow/Following.h"

#include "follow/VoiceFollow.h"
#include "platform/Fonts.h"
#include "platform/MsgBox.h"
#include "platform/StoreChoices.h"
#include "platform/TextBoxLines.h"
#include "prompter/PromptArea.h"
#include "prompter/PromptBox.h"
#include "prompter/Rig.h"
#include "prompter/RigChoices.h"
#include "prompter/Scroller.h"

#include <QLabel>
#include <QMenu>

#include <cmath>

namespace
{

// An Up or Down nudge holds this long before following takes the speed back.
constexpr int kNudgeMs = 1500;
// The voice found this many display lines ahead of the reading line, or behind it, is
// glided to in a short, eased move the eye can follow, rather than scrolled to or cut to.
constexpr double kGlideAhead = 3.0;
constexpr double kGlideBack = 1.0;
constexpr int kGlideTicks = 25; // 0.4 s

// The choice, in the rig's file of choices.
const QString kFollowVoice = QStringLiteral("follow/voice");

} // namespace

Following::Following(QWidget *window, Scroller &scroller, PromptArea &area)
    : QObject(window)
    , m_window(window)
    , m_scroller(scroller)
    , m_area(area)
    , mVoice(new VoiceFollow(this))
    , m_on(RigStore().value(kFollowVoice, false).toBool())
{
    // Made after the area's mirror, so the sign lies above it.
    lblfollow = new QLabel(window);
    lblfollow->setObjectName(QStringLiteral("lblfollow"));
    lblfollow->setFont(tahoma(8.25, true));
    lblfollow->setStyleSheet(QStringLiteral(
        "QLabel { color: white; background-color: rgba(0, 96, 0, 200); padding: 2px 6px; }"));
    lblfollow->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblfollow->hide();
    mFollowNudge.invalidate();

    connect(&area.rig(), &Rig::menuOpening, this, &Following::addMenuItems);
    connect(&scroller, &Scroller::started, this, &Following::startFollowing);
    connect(&scroller, &Scroller::stopped, this, &Following::stopFollowing);
    connect(&scroller, &Scroller::ticking, this, &Following::followTick);
    connect(mVoice, &VoiceFollow::heardChanged, this, &Following::showFollowSign);
    connect(mVoice, &VoiceFollow::failed, this, &Following::followingFailed);
    showFollowSign();
}

void Following::addMenuItems(QMenu *menu)
{
    QAction *follow = menu->addAction(QStringLiteral("Follow My Voice"));
    follow->setCheckable(true);
    follow->setChecked(m_on);
    connect(follow, &QAction::toggled, this, &Following::setFollowVoice);
    menu->addAction(QStringLiteral("English speech, recognised on this machine"))
        ->setEnabled(false);
    menu->addSeparator();
}

void Following::command(PromptCommand command)
{
    if (command == PromptCommand::Follow) {
        setFollowVoice(!m_on);
        return;
    }
    if (!mVoice->isFollowing())
        return;
    switch (command) {
    case PromptCommand::HoldOrRelease:
        mFollowHeld = !mFollowHeld;
        break;
    case PromptCommand::Faster:
    case PromptCommand::Slower:
    case PromptCommand::FasterFine:
    case PromptCommand::SlowerFine:
        mFollowNudge.start();
        break;
    default:
        break;
    }
}

void Following::setFollowVoice(bool on)
{
    if (on != m_on) {
        m_on = on;
        storeChoice();
    }
    // While the prompt runs it follows, or stops, at once; otherwise from the next Start.
    if (!on)
        mVoice->stop();
    else if (m_scroller.isRunning())
        startFollowing();
    showFollowSign();
}

void Following::startFollowing()
{
    mFollowHeld = false;
    m_glide.reset();
    if (m_on)
        mVoice->start(m_area.store().toPlainText());
    showFollowSign();
}

void Following::stopFollowing()
{
    mVoice->stop();
    showFollowSign();
}

void Following::followingFailed(const QString &message)
{
    // Off for this run only: a sound server that is back at the next start follows again,
    // as the presenter chose.
    m_on = false;
    showFollowSign();
    ShowError(m_window, message);
}

void Following::storeChoice()
{
    RigStore store;
    ::storeChoice(m_window, store, { { kFollowVoice, m_on } },
        QStringLiteral("THE CHOICE TO FOLLOW YOUR VOICE"));
}

std::optional<qint64> Following::leftAtReadingRate() const
{
    return mVoice->leftAtReadingRate();
}

void Following::showFollowSign()
{
    if (mVoice->isFollowing() != m_listening) {
        m_listening = mVoice->isFollowing();
        Q_EMIT listeningChanged(m_listening);
    }
    if (!m_on) {
        lblfollow->hide();
        return;
    }
    QString sign;
    if (!mVoice->isFollowing()) {
        sign = QStringLiteral("\u25CB Follows your voice from Start");
    } else if (!mVoice->isReady()) {
        sign = QStringLiteral("\u25CC Getting ready to follow your voice\u2026");
    } else {
        sign = QStringLiteral("\u25CF Following your voice");
        if (const std::optional<int> rate = mVoice->wordsPerMinute())
            sign += QStringLiteral(", %1 words a minute").arg(*rate);
        if (!mVoice->lastHeard().isEmpty())
            sign += QStringLiteral(": \u201C%1\u201D").arg(mVoice->lastHeard());
    }
    const QWidget *area = m_area.area();
    lblfollow->setText(m_window->fontMetrics().elidedText(sign, Qt::ElideLeft, area->width() - 24));
    lblfollow->adjustSize();
    lblfollow->move(area->x() + 6, area->y() + 6);
    lblfollow->show();
}

void Following::followTick()
{
    if (!mVoice->isFollowing() || m_scroller.isPaused() || mFollowHeld
        || (mFollowNudge.isValid() && !mFollowNudge.hasExpired(kNudgeMs))) {
        m_glide.reset();
        return;
    }
    const Scroller::Position spoken = spokenPoint();
    const double reading = m_scroller.readingLine();
    const double ahead = spoken.line + spoken.fraction - reading;
    // Only once a word is heard and the script has reached the reading line: before, the
    // script's beginning comes up to the reading line and waits there.
    if (!m_glide && mVoice->hasHeard() && reading >= 0
        && (ahead > kGlideAhead || ahead < -kGlideBack))
        m_glide = Glide { reading, spoken.line + spoken.fraction, 0 };
    if (m_glide) {
        glide();
        return;
    }
    // As a hand on the speed bar would.
    m_scroller.setSpeed(mVoice->speedFor(m_scroller.distanceTo(spoken.line, spoken.fraction)));
}

void Following::glide()
{
    ++m_glide->tick;
    const double t = double(m_glide->tick) / kGlideTicks;
    const double eased = t * t * (3 - 2 * t);
    const double at = m_glide->from + (m_glide->to - m_glide->from) * eased;
    // The text stands still but for the glide's own steps.
    m_scroller.setSpeed(0);
    m_scroller.goToLine(int(std::floor(at)), at - std::floor(at));
    if (m_glide->tick >= kGlideTicks)
        m_glide.reset();
}

Scroller::Position Following::spokenPoint() const
{
    PromptBox &store = m_area.store();
    TextBoxLines &lines = store.lines();
    const int position = mVoice->spokenPosition();
    const int line = lines.lineFromChar(position);
    // How far along its line the word stands, so the text glides rather than steps: the
    // reading line crosses the line's upper quarter at its first word, its lower at its last.
    const int start = lines.lineIndex(line);
    const int next = lines.lineIndex(line + 1);
    const int end = next < 0 ? store.document()->characterCount() - 1 : next;
    const double along = end > start ? double(position - start) / (end - start) : 0.0;
    return { line, 0.25 + 0.5 * along };
}
