#include "app/frmMain.h"

#include "app/Module1.h"
#include "follow/VoiceFollow.h"
#include "platform/Fonts.h"
#include "platform/MsgBox.h"
#include "platform/TextBoxLines.h"
#include "platform/Twips.h"
#include "prompter/BoxLayout.h"
#include "prompter/PromptBox.h"
#include "prompter/Rig.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace
{

// Virtual-key codes of the keys that take the speed from following for a moment.
constexpr int kKeySpace = 32;
constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;

// An Up or Down nudge holds this long before following takes the speed back.
constexpr int kNudgeMs = 1500;

} // namespace

void frmMain::buildFollowing()
{
    mVoice = new VoiceFollow(this);
    lblfollow = new QLabel(this);
    lblfollow->setObjectName(QStringLiteral("lblfollow"));
    lblfollow->setFont(tahoma(8.25, true));
    lblfollow->setStyleSheet(QStringLiteral(
        "QLabel { color: white; background-color: rgba(0, 96, 0, 200); padding: 2px 6px; }"));
    lblfollow->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblfollow->hide();
    mFollowNudge.invalidate();
    mRig->setFollowSwitch([this](bool on) { return switchFollowing(on); });
    connect(mVoice, &VoiceFollow::heardChanged, this, &frmMain::showFollowSign);
    connect(mVoice, &VoiceFollow::failed, this, [this](const QString &message) {
        mRig->followingFailed();
        showFollowSign();
        ShowError(this, message);
    });
    showFollowSign();
}

bool frmMain::switchFollowing(bool on)
{
    if (!on) {
        mVoice->stop();
        lblfollow->hide();
        return false;
    }
    // While the prompt runs it follows at once; otherwise from the next Start.
    if (tmrmain->isActive()) {
        mFollowHeld = false;
        if (const std::optional<QString> message = mVoice->start(txtcontainer->toPlainText())) {
            ShowError(this, *message);
            return false;
        }
    }
    lblfollow->show();
    showFollowSign();
    return true;
}

void frmMain::startFollowing()
{
    mFollowHeld = false;
    if (!mRig->followsVoice())
        return;
    if (const std::optional<QString> message = mVoice->start(txtcontainer->toPlainText())) {
        mRig->followingFailed();
        showFollowSign();
        ShowError(this, *message);
        return;
    }
    showFollowSign();
}

void frmMain::stopFollowing()
{
    mVoice->stop();
    showFollowSign();
}

void frmMain::showFollowSign()
{
    if (!mRig->followsVoice()) {
        lblfollow->hide();
        return;
    }
    QString sign = mVoice->isFollowing() ? QStringLiteral("\u25CF Following your voice")
                                         : QStringLiteral("\u25CB Follows your voice from Start");
    if (mVoice->isFollowing() && !mVoice->lastHeard().isEmpty())
        sign += QStringLiteral(": \u201C%1\u201D").arg(mVoice->lastHeard());
    lblfollow->setText(fontMetrics().elidedText(sign, Qt::ElideLeft, picprompt->width() - 24));
    lblfollow->adjustSize();
    lblfollow->move(picprompt->x() + 6, picprompt->y() + 6);
    lblfollow->show();
    lblfollow->raise();
}

void frmMain::followKeyDown(int keyCode)
{
    if (!mVoice->isFollowing())
        return;
    if (keyCode == kKeySpace)
        mFollowHeld = !mFollowHeld;
    else if (keyCode == kKeyUp || keyCode == kKeyDown)
        mFollowNudge.start();
}

void frmMain::followTick()
{
    if (!mVoice->isFollowing() || mPaused || mFollowHeld
        || (mFollowNudge.isValid() && !mFollowNudge.hasExpired(kNudgeMs)))
        return;
    // As a hand on the speed bar would.
    hscspeed->setValue(mVoice->speedFor(followDistance()));
}

double frmMain::followDistance()
{
    TextBoxLines &lines = txtcontainer->lines();
    const int position = mVoice->spokenPosition();
    const int line = lines.lineFromChar(position);
    const int perBox = linesPerBox(gFontSize);
    const size_t box = std::min(size_t(line / perBox), size_t(mLastBox));
    const int first = int(box) * perBox;
    const double top = txtprompt[box]->Top() + lines.linesHeight(first, line) * kTwipsPerPixel;
    const double height = lines.linesHeight(line, line + 1) * kTwipsPerPixel;
    // How far along its line the word stands, so the text glides rather than steps: the
    // reading line crosses the line's upper quarter at its first word, its lower at its last.
    const int start = lines.lineIndex(line);
    const int next = lines.lineIndex(line + 1);
    const int end = next < 0 ? txtcontainer->document()->characterCount() - 1 : next;
    const double along = end > start ? double(position - start) / (end - start) : 0.0;
    const double readingLine = (txtline->y() + txtline->height() / 2.0) * kTwipsPerPixel;
    return top + height * (0.25 + 0.5 * along) - readingLine;
}
