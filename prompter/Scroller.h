#pragma once

#include <QObject>

#include <optional>
#include <vector>

// The prompt's scroll, without a window: its state (Idle, Scrolling, Paused), the speed,
// the boxes the script is cut into and where they stand, and where in the script the
// reading line is. Every input steers it through the operations below; the prompt area
// draws from it and the scroller panel shows its state.
class Scroller final : public QObject
{
    Q_OBJECT

public:
    enum class State { Idle, Scrolling, Paused };

    // A fresh start's script, laid out: each display line's top in twips from the script's
    // top and the bottom of the last line, the lines a box holds, and the speed the
    // settings start at, if they give one.
    struct Layout {
        std::vector<double> lineTops;
        int linesPerBox = 1;
        std::optional<int> speed;
    };

    // What a start needs of the script.
    class Script
    {
    public:
        virtual ~Script() = default;
        virtual bool isEmpty() const = 0;
        // Lays the script out for a fresh start.
        virtual Layout prepare() = 0;
    };

    // One prompt box: its display lines, and its place in twips from the area's top.
    struct Box {
        int firstLine = 0;
        int endLine = 0; // one past its last line
        float top = 0;
        float height = 0;
        // Its distance below its predecessor's bottom edge once it follows it; none while
        // it waits. Box 0 leads and has none.
        std::optional<float> gap;
    };

    // A point of the script: a display line and how far down it, 0 to 1.
    struct Position {
        int line = 0;
        double fraction = 0;
    };

    // The scroll clock's period: one tick each screen refresh.
    static constexpr int kTickMs = 16;
    static constexpr int kMinSpeed = -110;
    static constexpr int kMaxSpeed = 110;

    Scroller(Script &script, QObject *parent = nullptr);

    // Start: resumes after Pause, or lays the script out afresh when idle. False with an
    // empty script, which nothingToScroll tells.
    bool start();
    // Holds the text until start; only while scrolling.
    void pause();
    // Back to idle with the script at its beginning and the speed last saved.
    void reset();
    // Holds the text at speed 0, or gives back the speed it had; the state stays.
    void holdOrRelease();
    // Changes the speed by step, within the range.
    void nudge(int step);
    // The speed, twips per tick, within the range.
    void setSpeed(int speed);
    // The speed loaded at start-up, which Reset returns to until a pause saves another.
    void loadSpeed(int speed);
    // Puts the point fraction down the display line at the reading line; while running.
    void goToLine(int line, double fraction = 0);
    // Takes the text back by some display lines, the point within the line kept; once the
    // script has reached the reading line, while running.
    void goBack(int lines);
    // One tick of the scroll clock: every moving box rises by the speed.
    void tick();
    // While waiting, a tick moves nothing: a countdown runs before the text moves.
    void setWaiting(bool waiting) { m_waiting = waiting; }

    State state() const { return m_state; }
    bool isRunning() const { return m_state != State::Idle; }
    // Paused since the last Reset, whether or not resumed since.
    bool isPaused() const { return mPaused != 0; }
    int speed() const { return m_speed; }
    const std::vector<Box> &boxes() const { return m_boxes; }
    int lineCount() const { return int(m_lineTops.size()) - 1; }

    // Where the reading line is in the script: the start of the first line before the script
    // reaches it, the end of the script once the script has passed it.
    Position readingPosition() const;
    // The same as one number, line plus fraction, and beyond the script too: negative, in the
    // first line's heights, while the script is still below the reading line, and past the
    // line count, in the last line's heights, once it has passed. A gap after a box is taken
    // with the box's last line, so the number moves on steadily through it.
    double readingLine() const;
    // Twips from the reading line down to a point of the script as it stands now; negative
    // when the point has passed above it.
    double distanceTo(int line, double fraction) const;
    // Twips of script still to rise past the reading line, and the way to it before the
    // script reaches it.
    double twipsLeft() const;

Q_SIGNALS:
    void stateChanged(Scroller::State state);
    void speedChanged(int speed);
    // Start found no script.
    void nothingToScroll();
    // A fresh start laid the boxes out; Reset took them away.
    void started();
    void stopped();
    // A tick begins: the moment to steer the speed it moves by.
    void ticking();
    // Boxes moved.
    void moved();
    // A waiting box starts to follow its predecessor: it is about to show.
    void boxStarting(int index);

private:
    void setState(State state);
    size_t boxOf(int line) const;
    double lineHeight(int line) const;

    Script &m_script;
    State m_state = State::Idle;
    int m_speed = 0; // as the speed bar shows it
    std::vector<double> m_lineTops { 0.0 };
    std::vector<Box> m_boxes;
    bool m_waiting = false;

    // True = -1, False = 0
    qint16 mPaused = 0;
    qint16 mLastBox = 0;
    qint16 mSpeed = 0; // the speed of the current tick
    qint16 mBoxIndex = 0;
    qint16 mSavedSpeed = 0;
};
