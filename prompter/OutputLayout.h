#pragma once

#include <QFont>
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QPointF;
class QTextLayout;

// The script laid out by the prompt output window itself, in its own face and size and
// wrapped to its own width, without a window. The console and the output wrap differently,
// so they meet on the text: a character position, with a fraction of a character between
// two. A paragraph is laid out only when one of its lines is asked for, so a long script is
// ready at once at any size, and the output draws outwards from the line at its marker.
class OutputLayout
{
public:
    struct Line {
        int start = 0; // its first character in the script
        int length = 0; // its characters, the paragraph's end included on its last line
        qreal height = 0;
    };
    // A display line: its paragraph, and its place among the paragraph's lines.
    struct Place {
        int paragraph = 0;
        int line = 0;
        bool operator==(const Place &) const = default;
    };

    OutputLayout();
    ~OutputLayout();

    // Takes the script anew; a paragraph ends at each line break.
    void layOut(const QString &text, const QFont &font, qreal width);
    const QFont &font() const { return m_font; }

    // The display line that holds a character position, and how far down it the position
    // is, 0 to 1, the line's characters taken in step.
    Place placeOf(double position, double *fraction) const;
    const Line &line(Place place) const;
    // The first and the last display line.
    Place first() const { return {}; }
    Place last() const;
    // The line after, or before; false at the script's end, or its start.
    bool next(Place &place) const;
    bool previous(Place &place) const;

    // Draws a line with its top left at origin, in the painter's pen.
    void drawLine(QPainter &painter, Place place, const QPointF &origin) const;

private:
    const std::vector<Line> &linesOf(int paragraph) const;
    // Whether a line break ends the paragraph, rather than the piece of a long one.
    bool endsWithBreak(int paragraph) const;
    QTextLayout &paragraphLayout(int paragraph) const;

    QString m_text;
    QFont m_font;
    qreal m_width = 1;
    std::vector<int> m_paragraphStarts; // and of the pieces of very long ones
    mutable std::vector<std::vector<Line>> m_lines; // by paragraph; empty until laid out
    // The paragraph drawn last, laid out again as it was: keeping every paragraph's shaped
    // text would cost many times the script's size.
    mutable int m_cachedParagraph = -1;
    mutable std::unique_ptr<QTextLayout> m_cached;
};
