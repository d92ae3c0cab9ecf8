#pragma once

#include "prompter/Scroller.h"

#include <QColor>
#include <QObject>

#include <optional>
#include <vector>

class PromptBox;
class QLineEdit;
class QTimer;
class QWidget;
class Rig;

// The prompt display: the area, the reading line, the prompt boxes drawn where the scroller
// has them, and the hidden script store they are cut from. Its rig shows it mirrored and on
// a screen of its own.
class PromptArea final : public QObject, public Scroller::Script
{
    Q_OBJECT

public:
    // The store lies behind the panels, so the area is made before them.
    explicit PromptArea(QWidget *window);
    // The scroller the area draws from; set once, before the first Start.
    void setScroller(Scroller &scroller);

    QWidget *area() const { return picprompt; }
    PromptBox &store() const { return *txtcontainer; }
    Rig &rig() const { return *mRig; }

    // The back colour to the area and its first box, the line colour to the reading line.
    void applyAreaColors();

    // Shows only the area's background, which the rig's views copy, or the prompt again.
    void setBlank(bool blank);
    bool isBlank() const;
    // The text of one of the laid-out script's display lines.
    QString lineText(int line) const;
    // The script as laid out at the last fresh Start.
    QString scriptText() const;
    // The character position at a point of the laid-out script: a display line plus a
    // fraction, the fraction taking the line's characters in step; clamped to the text.
    double characterAt(double line) const;
    // The colours of the text, the background and the reading line, as the settings give them.
    struct Colors {
        QColor text;
        QColor back;
        QColor line;
    };
    Colors colors() const;
    const Scroller *scroller() const { return m_scroller; }

    bool isEmpty() const override;
    // A fresh start: the settings read again, the colours applied and the script cut into
    // boxes at the prompt's font size.
    Scroller::Layout prepare() override;

private:
    void PreparePrompt();
    QString GetLines(PromptBox *box, qint32 fromLine, qint32 toLine);
    // A box holds the store's display lines fromLine up to toLine, cut as text.
    void setUpPromptBox(PromptBox *box, const QString &text, qint32 fromLine, qint32 toLine);
    // Puts a box's cut text in it, once, before it shows.
    void fillBox(size_t index);
    void fillNextBox();
    void addPromptBox();
    // The boxes where the scroller has them.
    void placeBoxes();
    void removeBoxes();

    QWidget *picprompt = nullptr;
    QLineEdit *txtline = nullptr;
    QWidget *picblank = nullptr; // covers the area while the prompt is blanked
    std::vector<PromptBox *> txtprompt;
    PromptBox *txtcontainer = nullptr;
    Rig *mRig = nullptr;
    Scroller *m_scroller = nullptr;
    qint32 mLineCount = 0;
    std::vector<int> m_lineStarts; // each display line's first character, and the text's end
    QString m_scriptText; // as laid out at the last fresh Start
    // The boxes that moved at the last placing; the rest wait where they were put.
    size_t m_placed = 1;
    // The text cut for each box at Start and not yet put in it. Laying a box's text out
    // costs as much as laying out the store, so the boxes get theirs when they are about
    // to show, or in the idle time after Start, and Start returns as soon as it has cut.
    std::vector<std::optional<QString>> mPendingText;
    QTimer *mFillTimer = nullptr;
};
