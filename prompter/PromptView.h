#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

// The prompt area mirrored in place for the glass: it lies over the area at the area's own
// size, draws the area into a picture and flips it, so the letters keep their exact pixels.
// It never takes the keyboard focus.
class PromptView final : public QWidget
{
    Q_OBJECT

public:
    PromptView(QWidget *area, QWidget *parent);

    // Qt::Horizontal flips left to right, Qt::Vertical top to bottom.
    void setMirror(Qt::Orientations mirror);
    Qt::Orientations mirror() const { return m_mirror; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<QWidget> m_area;
    Qt::Orientations m_mirror;
    QImage m_picture; // the area at its own size
};
