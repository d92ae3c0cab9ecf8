#include "prompter/PromptArea.h"

#include "platform/ColorRef.h"
#include "platform/Fonts.h"
#include "platform/TextBoxLines.h"
#include "platform/Twips.h"
#include "prompter/BoxLayout.h"
#include "prompter/PromptBox.h"
#include "prompter/Rig.h"
#include "settings/SettingsFile.h"
#include "settings/SharedSettings.h"

#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <utility>

PromptArea::PromptArea(QWidget *window)
    : QObject(window)
{
    txtcontainer = new PromptBox(window);
    txtcontainer->setObjectName(QStringLiteral("txtcontainer"));
    txtcontainer->setHorizontal(180, 9195);
    txtcontainer->setTop(6060);
    txtcontainer->setHeight(1500);
    txtcontainer->setFontSize(36);
    txtcontainer->setBackColor(0);
    txtcontainer->setForeColor(0x00FF00);

    picprompt = new QWidget(window);
    picprompt->setObjectName(QStringLiteral("picprompt"));
    picprompt->setGeometry(twipsRect(120, 60, 9375, 5835));
    picprompt->setAutoFillBackground(true);
    picprompt->setEnabled(false);

    auto *box0 = new PromptBox(picprompt);
    box0->setObjectName(QStringLiteral("txtprompt"));
    box0->setHorizontal(60, 9195);
    box0->setTop(kWaitingTop);
    box0->setHeight(1200);
    box0->setFontSize(36);
    txtprompt.push_back(box0);

    // The reading line is made last in the display so that it lies above every box.
    txtline = new QLineEdit(picprompt);
    txtline->setObjectName(QStringLiteral("txtline"));
    txtline->setFrame(false);
    txtline->setReadOnly(true);
    txtline->setFocusPolicy(Qt::NoFocus);
    txtline->setFont(tahoma(2.25));
    txtline->setGeometry(twipsRect(0, kReadingLineTop, 9375, kReadingLineHeight));
    txtline->setMinimumSize(0, 0);

    picblank = new QWidget(picprompt);
    picblank->setObjectName(QStringLiteral("picblank"));
    picblank->setAutoFillBackground(true); // in the area's back colour, which it inherits
    picblank->setGeometry(picprompt->rect());
    picblank->hide();

    mRig = new Rig(window, *this);
    // Fills the prompt boxes after Start, one box at a time, while the window is idle.
    mFillTimer = new QTimer(this);
    mFillTimer->setObjectName(QStringLiteral("tmrfill"));
    connect(mFillTimer, &QTimer::timeout, this, &PromptArea::fillNextBox);
}

void PromptArea::setScroller(Scroller &scroller)
{
    m_scroller = &scroller;
    connect(&scroller, &Scroller::moved, this, &PromptArea::placeBoxes);
    connect(&scroller, &Scroller::stopped, this, &PromptArea::removeBoxes);
    connect(&scroller, &Scroller::boxStarting, this, [this](int index) { fillBox(size_t(index)); });
    mRig->setScroller(scroller);
}

void PromptArea::applyAreaColors()
{
    const qint32 back = SettingsFile::toColor(gBackColor, SettingsFile::kDefaultBackColor);
    QPalette area = picprompt->palette();
    area.setColor(QPalette::Window, colorFromRef(back));
    picprompt->setPalette(area);
    // Box 0 waits with its top rows inside the area, so it must not show as a white strip.
    txtprompt[0]->setBackColor(back);
    QPalette line = txtline->palette();
    line.setColor(QPalette::Base,
        colorFromRef(SettingsFile::toColor(gLineColor, SettingsFile::kDefaultLineColor)));
    txtline->setPalette(line);
    mRig->promptChanged();
}

void PromptArea::setBlank(bool blank)
{
    // Raised each time, above the meters and signs made after it.
    if (blank)
        picblank->raise();
    picblank->setVisible(blank);
    mRig->promptChanged();
}

bool PromptArea::isBlank() const
{
    return !picblank->isHidden();
}

QString PromptArea::lineText(int line) const
{
    TextBoxLines &lines = txtcontainer->lines();
    if (line < 0 || line >= lines.lineCount())
        return QString();
    const int end = line + 1 < lines.lineCount() ? lines.lineIndex(line + 1) : -1;
    if (lines.setSelection(lines.lineIndex(line), end) == -1)
        return QString();
    return lines.selectedText().trimmed();
}

QString PromptArea::scriptText() const
{
    return m_scriptText;
}

double PromptArea::characterAt(double line) const
{
    if (m_lineStarts.size() < 2)
        return 0;
    const double last = double(m_lineStarts.size() - 1);
    line = std::clamp(line, 0.0, last);
    const size_t whole = std::min(size_t(line), m_lineStarts.size() - 2);
    const double along = line - double(whole);
    return m_lineStarts[whole] + along * (m_lineStarts[whole + 1] - m_lineStarts[whole]);
}

PromptArea::Colors PromptArea::colors() const
{
    return { colorFromRef(SettingsFile::toColor(gFontColor, SettingsFile::kDefaultFontColor)),
        colorFromRef(SettingsFile::toColor(gBackColor, SettingsFile::kDefaultBackColor)),
        colorFromRef(SettingsFile::toColor(gLineColor, SettingsFile::kDefaultLineColor)) };
}

bool PromptArea::isEmpty() const
{
    return txtcontainer->document()->isEmpty();
}

Scroller::Layout PromptArea::prepare()
{
    Scroller::Layout layout;
    layout.speed = SettingsFile::LoadSettings();
    applyAreaColors();
    txtcontainer->setFontSize(gFontSize);
    mLineCount = txtcontainer->lines().lineCount();
    TextBoxLines &lines = txtcontainer->lines();
    m_lineStarts.clear();
    m_lineStarts.reserve(size_t(mLineCount) + 1);
    for (int line = 0; line < mLineCount; ++line)
        m_lineStarts.push_back(lines.lineIndex(line));
    m_lineStarts.push_back(txtcontainer->document()->characterCount() - 1);
    m_scriptText = txtcontainer->toPlainText();
    PreparePrompt();
    fillBox(0);
    mFillTimer->start();
    const std::vector<qreal> &tops = txtcontainer->lines().lineTops();
    layout.lineTops.reserve(tops.size());
    for (const qreal top : tops)
        layout.lineTops.push_back(top * kTwipsPerPixel);
    layout.linesPerBox = linesPerBox(gFontSize);
    m_placed = 1;
    return layout;
}

void PromptArea::PreparePrompt()
{
    mPendingText.clear();
    const std::vector<std::pair<int, int>> cut = cutIntoBoxes(mLineCount, linesPerBox(gFontSize));
    if (cut.size() == 1) {
        setUpPromptBox(txtprompt[0], txtcontainer->toPlainText(), 0, mLineCount);
        return;
    }
    for (size_t box = 0; box < cut.size(); ++box) {
        if (box > 0)
            addPromptBox();
        const auto [first, end] = cut[box];
        txtprompt[box]->setVisible(true);
        // The last box takes everything from its first line to the end of the script.
        const qint32 endLine = box + 1 == cut.size() ? txtcontainer->lines().lineCount() : end;
        setUpPromptBox(txtprompt[box], GetLines(txtcontainer, first, endLine), first, endLine);
    }
}

void PromptArea::setUpPromptBox(PromptBox *box, const QString &text, qint32 fromLine, qint32 toLine)
{
    box->setTop(kWaitingTop);
    box->setFontSize(gFontSize);
    box->setBackColor(SettingsFile::toColor(gBackColor, SettingsFile::kDefaultBackColor));
    box->setForeColor(SettingsFile::toColor(gFontColor, SettingsFile::kDefaultFontColor));
    // As tall as its lines are in the store, which wraps them alike, and the empty line a
    // cut after a line break opens in the box lies below its bottom.
    box->setHeight(float(txtcontainer->lines().linesHeight(fromLine, toLine) * kTwipsPerPixel));
    mPendingText.push_back(text);
}

void PromptArea::fillBox(size_t index)
{
    if (index >= mPendingText.size() || !mPendingText[index])
        return;
    txtprompt[index]->setPlainText(*std::exchange(mPendingText[index], std::nullopt));
}

void PromptArea::fillNextBox()
{
    const auto pending = std::find_if(mPendingText.begin(), mPendingText.end(),
        [](const std::optional<QString> &text) { return text.has_value(); });
    if (pending == mPendingText.end()) {
        mFillTimer->stop();
        return;
    }
    fillBox(size_t(pending - mPendingText.begin()));
}

void PromptArea::addPromptBox()
{
    auto *box = new PromptBox(picprompt);
    box->takeDesignOf(*txtprompt[0]);
    // Each box lies under the one before it, so a waiting box stays covered
    // until its predecessor has risen; the reading line stays above them all.
    box->stackUnder(txtprompt.back());
    txtprompt.push_back(box);
}

QString PromptArea::GetLines(PromptBox *box, qint32 fromLine, qint32 toLine)
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

void PromptArea::placeBoxes()
{
    const std::vector<Scroller::Box> &boxes = m_scroller->boxes();
    size_t moving = 1;
    while (moving < boxes.size() && boxes[moving].gap)
        ++moving;
    const size_t count = std::min({ std::max(moving, m_placed), boxes.size(), txtprompt.size() });
    for (size_t i = 0; i < count; ++i)
        txtprompt[i]->setTop(boxes[i].top);
    m_placed = moving;
    // The rig's views repaint with the area.
    mRig->promptChanged();
}

void PromptArea::removeBoxes()
{
    mPendingText.clear(); // the fill timer stops when it finds nothing left
    for (size_t i = 1; i < txtprompt.size(); ++i)
        delete txtprompt[i];
    txtprompt.resize(1);
    m_placed = 1;
}
