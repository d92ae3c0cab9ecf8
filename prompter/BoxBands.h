#pragma once

#include <QImage>

#include <map>
#include <utility>

class PromptBox;
class QPainter;

// Pictures of prompt boxes at a scaled view's size, kept in bands of whole view pixels.
// A box drawn through a scaling transform draws its letters from their outlines, which
// for a screen-filling prompt costs more than a tick may; its bands are drawn once, as
// they come into view, and then only copied while the box scrolls.
class BoxBands
{
public:
    // How the view shows the area: scaled by scale to picture (view pixels) and flipped
    // as mirror says. Bands drawn for another view are forgotten.
    void setView(qreal scale, Qt::Orientations mirror, const QSize &picture);
    // Draws the part of box within the area's picture, whose top left is the painter's origin.
    void draw(QPainter &painter, PromptBox &box);
    // Forgets the bands not drawn since the last sweep: boxes gone, changed or out of view.
    void sweep();

private:
    struct Band {
        QImage picture;
        bool drawn = false;
    };
    const QImage &band(PromptBox &box, int index, int width);

    qreal m_scale = 0;
    Qt::Orientations m_mirror;
    QSize m_picture;
    std::map<std::pair<quint64, int>, Band> m_bands; // by the box's look and the band's index
};
