#pragma once

#include "prompter/BoxBands.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

// A view of the prompt area painted from the area's own boxes: scaled to fill the view
// while keeping the area's proportions, centred on the area's back colour, and flipped
// as set. It serves as the mirrored area in the main window and as the prompt output
// window; it never takes the keyboard focus.
class PromptView final : public QWidget
{
    Q_OBJECT

public:
    PromptView(QWidget *area, QWidget *parent, Qt::WindowFlags flags = {});

    // Qt::Horizontal flips left to right, Qt::Vertical top to bottom.
    void setMirror(Qt::Orientations mirror);
    Qt::Orientations mirror() const { return m_mirror; }

Q_SIGNALS:
    // The user closed the view's window.
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void paintPrompt(QPainter &painter, const QRect &target);
    // Turns the painter's picture of the given size as the mirror is set.
    void flip(QPainter &painter, const QSize &picture) const;

    QPointer<QWidget> m_area;
    Qt::Orientations m_mirror;
    QImage m_picture; // the area at its own size, for the unscaled mirror
    BoxBands m_bands; // the boxes at the view's scale
};
