#pragma once

#include <QPlainTextEdit>

class TextBoxLines;

// A multi-line text box without border or scroll bars whose Top and Height are
// kept in single-precision twips, as the prompt's layout is designed, and shown
// at the nearest whole pixel. Serves as the prompt boxes and as the script store,
// so both wrap a script into the same display lines.
class PromptBox final : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit PromptBox(QWidget *parent);

    float Top() const { return m_top; }
    void setTop(float twips);

    float Height() const { return m_height; }
    void setHeight(float twips);

    // Left and Width in twips; the text area is the whole width.
    void setHorizontal(float left, float width);

    // Font size in points, Tahoma.
    void setFontSize(int points);

    // Colours as COLORREF values.
    void setBackColor(qint32 ref);
    void setForeColor(qint32 ref);

    // A new element of a box array: position, size, font and colours of the
    // designed element; hidden.
    void takeDesignOf(const PromptBox &element);

    // The box's line messages, answered from its own layout.
    TextBoxLines &lines() { return *m_lines; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void place();
    void setColor(QPalette::ColorRole role, qint32 ref);
    bool waiting() const;

    TextBoxLines *m_lines;
    float m_left = 0;
    float m_top = 0;
    float m_width = 0;
    float m_height = 0;
};
