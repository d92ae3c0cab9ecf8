#include "app/frmMain.h"

#include "app/Module1.h"
#include "platform/ColorRef.h"
#include "platform/MsgBox.h"
#include "platform/TextBoxLines.h"
#include "platform/Twips.h"
#include "platform/WaitCursor.h"
#include "prompter/BoxLayout.h"
#include "prompter/PromptBox.h"
#include "prompter/Rig.h"
#include "settings/SettingsFile.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace
{

// Virtual-key codes of the scroller's keys.
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;

constexpr int kSpeedStep = 5; // twips per tick

// Hands the focus on when the focused button is about to be disabled.
void switchButtons(QToolButton *off, QToolButton *on)
{
    const bool hadFocus = off->hasFocus();
    on->setEnabled(true);
    off->setEnabled(false);
    if (hadFocus)
        on->setFocus();
}

} // namespace

void frmMain::cmdstart_Click()
{
    if (txtcontainer->document()->isEmpty()) {
        ShowError(this, QStringLiteral("NOTHING TO SCROLL!"));
        return;
    }

    if (mPaused) {
        hscspeed->setValue(mSavedSpeed);
        showSpeed();
        switchButtons(cmdstart, cmdpause);
        return;
    }

    const WaitCursor busy;
    LoadSettings();
    applyAreaColors();
    txtcontainer->setFontSize(gFontSize);
    mLineCount = txtcontainer->lines().lineCount();
    PreparePrompt();
    // Every box but the first waits for its predecessor.
    mFollowGap.assign(txtprompt.size(), std::nullopt);
    fillBox(0);
    mFillTimer->start();
    startFollowing();
    if (!tmrmain->isActive()) {
        tmrmain->start();
        switchButtons(cmdstart, cmdpause);
    }
    mRig->promptChanged();
}

void frmMain::PreparePrompt()
{
    mLastBox = 0;
    mPendingText.clear();
    const qint32 lines = linesPerBox(gFontSize);

    if (mLineCount <= lines) {
        setUpPromptBox(txtprompt[0], txtcontainer->toPlainText(), 0, mLineCount);
        return;
    }

    qint32 startLine = 0;
    while (mLineCount > lines) {
        const qint32 endLine = startLine + lines;
        txtprompt[size_t(mLastBox)]->setVisible(true);
        setUpPromptBox(txtprompt[size_t(mLastBox)], GetLines(txtcontainer, startLine, endLine),
            startLine, endLine);
        ++mLastBox;
        mLineCount -= lines;
        addPromptBox();
        startLine = endLine;
    }
    const qint32 endLine = txtcontainer->lines().lineCount();
    txtprompt[size_t(mLastBox)]->setVisible(true);
    setUpPromptBox(txtprompt[size_t(mLastBox)], GetLines(txtcontainer, startLine, endLine),
        startLine, endLine);
}

void frmMain::setUpPromptBox(PromptBox *box, const QString &text, qint32 fromLine, qint32 toLine)
{
    box->setTop(kWaitingTop);
    box->setFontSize(gFontSize);
    box->setBackColor(SettingsFile::toColor(gBackColor, SettingsFile::kDefaultBackColor));
    box->setForeColor(SettingsFile::toColor(gFontColor, SettingsFile::kDefaultFontColor));
    // As tall as its lines are in the store, which wraps them alike: a line in a taller
    // fallback face neither overflows the box nor leaves a blank stretch at the hand-over,
    // and the empty line a cut after a line break opens in the box lies below its bottom.
    box->setHeight(float(txtcontainer->lines().linesHeight(fromLine, toLine) * kTwipsPerPixel));
    mPendingText.resize(size_t(mLastBox) + 1);
    mPendingText.back() = text;
}

void frmMain::fillBox(size_t index)
{
    if (index >= mPendingText.size() || !mPendingText[index])
        return;
    txtprompt[index]->setPlainText(*std::exchange(mPendingText[index], std::nullopt));
}

void frmMain::fillNextBox()
{
    const auto pending = std::find_if(mPendingText.begin(), mPendingText.end(),
        [](const std::optional<QString> &text) { return text.has_value(); });
    if (pending == mPendingText.end()) {
        mFillTimer->stop();
        return;
    }
    fillBox(size_t(pending - mPendingText.begin()));
}

void frmMain::addPromptBox()
{
    auto *box = new PromptBox(picprompt);
    box->takeDesignOf(*txtprompt[0]);
    // Each box lies under the one before it, so a waiting box stays covered
    // until its predecessor has risen; the reading line stays above them all.
    box->stackUnder(txtprompt.back());
    txtprompt.push_back(box);
}

QString frmMain::GetLines(PromptBox *box, qint32 fromLine, qint32 toLine)
{
    TextBoxLines &lines = box->lines();
    const int lineCount = lines.lineCount();
    if (lineCount <= 0)
        return QString();
    const int first = fromLine <= 0 ? 0 : lines.lineIndex(fromLine);
    const int last = (toLine > lineCount || toLine <= 0) ? box->document()->characterCount() - 1
                                                         : lines.lineIndex(toLine);
    if (lines.setSelection(first, last) == -1)
        return QString();
    return lines.selectedText();
}

void frmMain::tmrmain_Timer()
{
    followTick();
    mSpeed = qint16(hscspeed->value());
    PromptBox *first = txtprompt[0];
    first->setTop(first->Top() - float(mSpeed));
    for (mBoxIndex = 1; mBoxIndex <= mLastBox; ++mBoxIndex) {
        const PromptBox *before = txtprompt[size_t(mBoxIndex) - 1];
        PromptBox *box = txtprompt[size_t(mBoxIndex)];
        const float edge = before->Top() + before->Height();
        std::optional<float> &gap = mFollowGap[size_t(mBoxIndex)];
        if (!gap) {
            // Every later box waits too.
            if (edge >= float(kHandoverEdge))
                break;
            // It starts in the tick its predecessor's edge passes the hand-over edge,
            // never above that edge nor more than the gap below it.
            gap = std::clamp(box->Top() - float(mSpeed) - edge, 0.0f, float(kMaxHandoverGap));
            fillBox(size_t(mBoxIndex));
        }
        // From then on it keeps its place behind its predecessor, whichever way the
        // text runs, so no line overlaps another or leaves a gap.
        box->setTop(edge + *gap);
    }
    showSpeed();
    // The rig's views repaint with the area, and rest with it while it holds still.
    if (mSpeed != 0)
        mRig->promptChanged();
}

void frmMain::hscspeed_Change()
{
    showSpeed();
}

void frmMain::hscspeed_Scroll()
{
    // While the box is dragged, the value the user sees is the scroll box's position.
    lblspeed->setText(QString::number(hscspeed->sliderPosition()));
    // A dragged speed is stored at once.
    SaveSettings();
}

void frmMain::showSpeed()
{
    lblspeed->setText(QString::number(hscspeed->value()));
}

void frmMain::cmdpause_Click()
{
    mSavedSpeed = qint16(hscspeed->value());
    hscspeed->setValue(0);
    showSpeed();
    switchButtons(cmdpause, cmdstart);
    mPaused = -1;
}

void frmMain::cmdreset_Click()
{
    if (!tmrmain->isActive())
        return;
    tmrmain->stop();
    stopFollowing();
    mPendingText.clear(); // the fill timer stops when it finds nothing left
    mPaused = 0;
    hscspeed->setValue(mSavedSpeed);
    showSpeed();
    for (size_t i = 1; i < txtprompt.size(); ++i)
        delete txtprompt[i];
    txtprompt.resize(1);
    txtprompt[0]->setTop(kWaitingTop);
    switchButtons(cmdpause, cmdstart);
    mRig->promptChanged();
}

void frmMain::Form_KeyDown(int &KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    switch (KeyCode) {
    case kKeyUp:
        // Beyond the range the scroll bar stops at its end.
        hscspeed->setValue(hscspeed->value() + kSpeedStep);
        break;
    case kKeyDown:
        hscspeed->setValue(hscspeed->value() - kSpeedStep);
        break;
    case kKeySpace:
        if (hscspeed->value() != 0) {
            mSavedSpeed = qint16(hscspeed->value());
            hscspeed->setValue(0);
        } else {
            hscspeed->setValue(mSavedSpeed);
        }
        break;
    case kKeyEscape: {
        const int full = twipsToPixels(kFullClientHeight);
        setFixedSize(width(), height() == full ? twipsToPixels(kPromptClientHeight) : full);
        break;
    }
    default:
        return;
    }
    KeyCode = 0;
}
