#include "prompter/Scroller.h"

#include "prompter/BoxLayout.h"

#include <algorithm>

namespace
{
// Box 0 as designed, before the first Start lays the script out.
constexpr float kDesignedBoxHeight = 1200;
} // namespace

Scroller::Scroller(Script &script, QObject *parent)
    : QObject(parent)
    , m_script(script)
    , m_boxes { Box { 0, 0, float(kWaitingTop), kDesignedBoxHeight, std::nullopt } }
{
}

bool Scroller::start()
{
    if (m_script.isEmpty()) {
        Q_EMIT nothingToScroll();
        return false;
    }
    if (mPaused) {
        setSpeed(mSavedSpeed);
        setState(State::Scrolling);
        return true;
    }
    if (isRunning())
        return true;

    Layout layout = m_script.prepare();
    if (layout.speed)
        setSpeed(*layout.speed);
    m_lineTops = std::move(layout.lineTops);
    if (m_lineTops.empty())
        m_lineTops.assign(1, 0.0);
    m_boxes.clear();
    for (const auto &[first, end] : cutIntoBoxes(lineCount(), std::max(1, layout.linesPerBox))) {
        // As tall as its lines: a line in a taller fallback face neither overflows the box
        // nor leaves a blank stretch at the hand-over.
        m_boxes.push_back(Box { first, end, float(kWaitingTop),
            float(m_lineTops[size_t(end)] - m_lineTops[size_t(first)]), std::nullopt });
    }
    mLastBox = qint16(m_boxes.size() - 1);
    // Whatever starts with the scroll (following the voice) has its say before it runs.
    Q_EMIT started();
    setState(State::Scrolling);
    Q_EMIT moved();
    return true;
}

void Scroller::pause()
{
    if (m_state != State::Scrolling)
        return;
    mSavedSpeed = qint16(m_speed);
    setSpeed(0);
    mPaused = -1;
    setState(State::Paused);
}

void Scroller::reset()
{
    if (!isRunning())
        return;
    mPaused = 0;
    setSpeed(mSavedSpeed);
    // Box 0 keeps its lines, height and colours and waits below the area again.
    m_boxes.resize(1);
    m_boxes[0].top = float(kWaitingTop);
    mLastBox = 0;
    setState(State::Idle);
    Q_EMIT stopped();
    Q_EMIT moved();
}

void Scroller::holdOrRelease()
{
    if (m_speed != 0) {
        mSavedSpeed = qint16(m_speed);
        setSpeed(0);
    } else {
        setSpeed(mSavedSpeed);
    }
}

void Scroller::nudge(int step)
{
    setSpeed(m_speed + step);
}

void Scroller::setSpeed(int speed)
{
    speed = std::clamp(speed, kMinSpeed, kMaxSpeed);
    if (speed == m_speed)
        return;
    m_speed = speed;
    Q_EMIT speedChanged(speed);
}

void Scroller::loadSpeed(int speed)
{
    setSpeed(speed);
    mSavedSpeed = qint16(m_speed);
}

void Scroller::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

void Scroller::tick()
{
    if (!isRunning())
        return;
    Q_EMIT ticking();
    if (m_waiting)
        return;
    mSpeed = qint16(m_speed);
    Box &first = m_boxes[0];
    first.top -= float(mSpeed);
    for (mBoxIndex = 1; mBoxIndex <= mLastBox; ++mBoxIndex) {
        const Box &before = m_boxes[size_t(mBoxIndex) - 1];
        Box &box = m_boxes[size_t(mBoxIndex)];
        const float edge = before.top + before.height;
        if (!box.gap) {
            // Every later box waits too.
            if (edge >= float(kHandoverEdge))
                break;
            // It starts in the tick its predecessor's edge passes the hand-over edge,
            // never above that edge nor more than the gap below it.
            box.gap = std::clamp(box.top - float(mSpeed) - edge, 0.0f, float(kMaxHandoverGap));
            Q_EMIT boxStarting(mBoxIndex);
        }
        // From then on it keeps its place behind its predecessor, whichever way the
        // text runs, so no line overlaps another or leaves a gap.
        box.top = edge + *box.gap;
    }
    if (mSpeed != 0)
        Q_EMIT moved();
}

void Scroller::goToLine(int line, double fraction)
{
    if (!isRunning())
        return;
    line = std::clamp(line, 0, std::max(0, lineCount() - 1));
    fraction = std::clamp(fraction, 0.0, 1.0);
    const size_t target = boxOf(line);
    Box &box = m_boxes[target];
    box.top = float(kReadingPoint
        - (m_lineTops[size_t(line)] - m_lineTops[size_t(box.firstLine)]
            + fraction * lineHeight(line)));
    // The boxes before it lie closed up above it, the later ones follow it from the edge
    // on, as the tick would have placed them.
    for (size_t i = target; i > 0; --i) {
        m_boxes[i].gap = 0.0f;
        m_boxes[i - 1].top = m_boxes[i].top - m_boxes[i - 1].height;
    }
    bool following = true; // the box before leads or follows
    for (size_t i = target + 1; i < m_boxes.size(); ++i) {
        const float edge = m_boxes[i - 1].top + m_boxes[i - 1].height;
        Box &next = m_boxes[i];
        following = following && edge < float(kHandoverEdge);
        next.gap = following ? std::optional<float>(0.0f) : std::nullopt;
        next.top = following ? edge : float(kWaitingTop);
    }
    for (size_t i = 1; i <= target; ++i)
        Q_EMIT boxStarting(int(i));
    for (size_t i = target + 1; i < m_boxes.size() && m_boxes[i].gap; ++i)
        Q_EMIT boxStarting(int(i));
    Q_EMIT moved();
}

void Scroller::goBack(int lines)
{
    // Before the script reaches the reading line, going to its first line would move it on.
    if (!isRunning() || distanceTo(0, 0) > 0)
        return;
    const Position at = readingPosition();
    goToLine(std::max(0, at.line - lines), at.fraction);
}

size_t Scroller::boxOf(int line) const
{
    const auto after = std::upper_bound(m_boxes.begin(), m_boxes.end(), line,
        [](int value, const Box &box) { return value < box.firstLine; });
    return size_t(std::max<std::ptrdiff_t>(0, (after - m_boxes.begin()) - 1));
}

double Scroller::lineHeight(int line) const
{
    if (line < 0 || line >= lineCount())
        return 0;
    return m_lineTops[size_t(line) + 1] - m_lineTops[size_t(line)];
}

Scroller::Position Scroller::readingPosition() const
{
    for (const Box &box : m_boxes) {
        if (kReadingPoint < box.top)
            return { box.firstLine, 0 };
        if (kReadingPoint >= box.top + box.height)
            continue;
        const double at = m_lineTops[size_t(box.firstLine)] + (kReadingPoint - box.top);
        const auto first = m_lineTops.begin() + box.firstLine;
        const auto end = m_lineTops.begin() + box.endLine;
        const int line = int(std::upper_bound(first, end, at) - m_lineTops.begin()) - 1;
        const double height = lineHeight(line);
        const double along = height > 0 ? (at - m_lineTops[size_t(line)]) / height : 0.0;
        return { line, std::clamp(along, 0.0, 1.0) };
    }
    return { lineCount(), 0 };
}

double Scroller::readingLine() const
{
    const int lines = lineCount();
    if (lines <= 0)
        return 0;
    const double before = distanceTo(0, 0);
    if (before > 0)
        return -before / std::max(lineHeight(0), 1.0);
    const double past = -distanceTo(lines, 0);
    if (past >= 0)
        return lines + past / std::max(lineHeight(lines - 1), 1.0);
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        const Box &box = m_boxes[i];
        const double bottom = box.top + box.height;
        const double next = i + 1 < m_boxes.size() && m_boxes[i + 1].gap
            ? std::max(bottom, double(m_boxes[i + 1].top))
            : bottom;
        if (kReadingPoint >= next)
            continue;
        if (kReadingPoint < box.top || box.endLine <= box.firstLine)
            return box.firstLine;
        const int last = box.endLine - 1;
        const double lastTop
            = box.top + (m_lineTops[size_t(last)] - m_lineTops[size_t(box.firstLine)]);
        if (kReadingPoint >= lastTop)
            return last
                + std::clamp((kReadingPoint - lastTop) / std::max(next - lastTop, 1.0), 0.0, 1.0);
        const Position at = readingPosition();
        return at.line + at.fraction;
    }
    return lines;
}

double Scroller::distanceTo(int line, double fraction) const
{
    line = std::clamp(line, 0, lineCount());
    const Box &box = m_boxes[boxOf(line)];
    return box.top + (m_lineTops[size_t(line)] - m_lineTops[size_t(box.firstLine)])
        + fraction * lineHeight(line) - kReadingPoint;
}

double Scroller::twipsLeft() const
{
    const Position at = readingPosition();
    double left
        = m_lineTops.back() - m_lineTops[size_t(at.line)] - at.fraction * lineHeight(at.line);
    // Before the script reaches the reading line, it still has the way to it to go.
    left += std::max(0.0, double(m_boxes[0].top) - kReadingPoint);
    return left;
}
