#pragma once

#include <QFont>
#include <QObject>
#include <QString>

#include <vector>

class QPlainTextEdit;

// The line messages a multi-line text box answers (EM_GETLINECOUNT, EM_LINEINDEX,
// EM_SETSEL and the selected text), taken from the layout the box itself draws
// with: its face, size, text width and wrapping. Display-line starts are kept
// until the text, the font or the text width changes, so a long script is laid
// out once however many ranges are read from it.
class TextBoxLines final : public QObject
{
    Q_OBJECT

public:
    explicit TextBoxLines(QPlainTextEdit *box, QObject *parent = nullptr);

    // Display lines; 1 for an empty box.
    int lineCount();

    // Character position of a display line's first character; -1 when there is no such line.
    int lineIndex(int line);

    // The display line that holds a character position (EM_LINEFROMCHAR).
    int lineFromChar(int position);

    // Selects from start up to end (-1: to the end of the text). -1 when start is no
    // position of the text, 0 otherwise. The selection is kept here, not in the box's
    // cursor: moving that cursor through a long paragraph costs the box a layout pass.
    int setSelection(int start, int end);

    // The selected text, paragraph ends as '\n'.
    QString selectedText();

    // Height of the display lines fromLine up to but not including toLine, in pixels,
    // as the box lays them out: a line drawn in a taller fallback face for a character
    // the font lacks counts at its own height.
    qreal linesHeight(int fromLine, int toLine);
    // Each display line's top in pixels, and the bottom of the last.
    const std::vector<qreal> &lineTops();

private:
    void ensureTextWidth();
    void refresh();

    QPlainTextEdit *m_box;
    std::vector<int> m_lineStarts;
    std::vector<qreal> m_lineTops; // each display line's top, and the bottom of the last
    QString m_text; // the box's text, paragraph ends as '\n', while not stale
    bool m_textStale = true;
    int m_selectionStart = 0;
    int m_selectionEnd = 0;
    QFont m_font;
    int m_width = -1;
    bool m_stale = true;
};
