#pragma once

#include "prompter/OutputLayout.h"

#include <QImage>
#include <QWidget>

#include <unordered_map>

class Countdown;
class PromptArea;
class PromptProgress;
class QTimer;

// The prompt output window: the script laid out again in its own face and size, wrapped
// to its own width and margins, and held so that the point of the script at the console's
// reading line stands at its own reading marker. The marker is drawn at the edges, never
// across the words; an end mark follows the last line. Each line is drawn once into a
// picture as it comes into view, already mirrored as set, so that a tick only copies
// pictures, even on a 4K screen with a line a quarter of it tall.
class OutputView final : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal kMinPointSize = 24; // the console's smallest
    static constexpr int kMaxMarginPercent = 25;

    OutputView(PromptArea &area, QWidget *parent);

    // Qt::Horizontal flips left to right, Qt::Vertical top to bottom.
    void setMirror(Qt::Orientations mirror);
    Qt::Orientations mirror() const { return m_mirror; }
    void setFace(const QString &family);
    QString face() const { return m_family; }
    // Within its range: from the console's 24 pt to a line a quarter of its screen tall;
    // 0 for the console's size at the window's scale.
    void setPointSize(qreal size);
    qreal pointSize() const;
    qreal maxPointSize() const;
    // Each side's margin, in percent of the width.
    void setMargin(int percent);
    int margin() const { return m_margin; }
    // How far down the window the reading marker stands, 0 to 1.
    void setMarkerAt(double fraction);
    double markerAt() const { return m_markerAt; }

    // Where its figures and its countdown come from; set once.
    void setFigures(const PromptProgress &progress, const Countdown &countdown);
    // Which figures it shows in its corner: the time since Start, a thin bar of the part read,
    // the time left.
    void setShown(bool elapsed, bool progress, bool left);

    // The script was laid out afresh, or the colours changed.
    void scriptChanged();
    // The scroller moved the script.
    void promptMoved();

    // The display line at the marker: what the presenter reads now.
    OutputLayout::Line lineAtMarker() const;
    const OutputLayout &layout() const { return m_layout; }

Q_SIGNALS:
    // The user closed the window.
    void closed();
    // Ctrl and the wheel changed the size.
    void pointSizeWheeled(qreal size);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void layOut();
    qreal textLeft() const;
    struct Anchor {
        OutputLayout::Place place; // the display line at the marker
        qreal top; // where its top stands in the window
    };
    Anchor anchor() const;
    static quint64 key(OutputLayout::Place place);
    const QImage &linePicture(quint64 index);
    void forgetPictures();
    void drawMarker(QPainter &painter, int y);
    void drawFigures(QPainter &painter);
    void drawCount(QPainter &painter);

    PromptArea &m_area;
    OutputLayout m_layout;
    Qt::Orientations m_mirror;
    QString m_family;
    QFont m_font; // the family at the size in use
    qreal m_pointSize = 0; // the console's, scaled
    int m_margin = 5;
    double m_markerAt = 1.0 / 3;
    QColor m_text;
    QColor m_back;
    QColor m_line;
    const PromptProgress *m_progress = nullptr;
    const Countdown *m_countdown = nullptr;
    bool m_showElapsed = false;
    bool m_showProgress = false;
    bool m_showLeft = false;
    QTimer *m_clockTimer; // the time shown goes on while the text stands
    static constexpr quint64 kEndMark = ~quint64(0);
    std::unordered_map<quint64, QImage> m_pictures; // by line, and the end mark
};
