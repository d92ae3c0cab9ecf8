#include "prompter/BoxBands.h"

#include "prompter/PromptBox.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace
{

// View pixels per band: a band comes into view every 128 / scale pixels of scroll, and
// drawing it costs about a line of letters.
constexpr int kBandHeight = 128;

} // namespace

void BoxBands::setView(qreal scale, Qt::Orientations mirror, const QSize &picture)
{
    if (scale == m_scale && mirror == m_mirror && picture == m_picture)
        return;
    m_bands.clear();
    m_scale = scale;
    m_mirror = mirror;
    m_picture = picture;
}

void BoxBands::draw(QPainter &painter, PromptBox &box)
{
    const QRect place = box.geometry();
    const int left = int(std::lround(place.x() * m_scale));
    const int top = int(std::lround(place.y() * m_scale));
    const int width = int(std::ceil(place.width() * m_scale));
    const int height = int(std::ceil(place.height() * m_scale));
    // The box's rows in view, in view pixels from its top.
    const int first = std::max(0, -top);
    const int last = std::min(height, m_picture.height() - top);
    if (width <= 0 || first >= last)
        return;
    for (int index = first / kBandHeight; index * kBandHeight < last; ++index) {
        // The last band holds the box's bottom rows only: below them lies the next box.
        const int rows = std::min(kBandHeight, height - index * kBandHeight);
        QRect part(0, 0, width, rows);
        QPoint at(left, top + index * kBandHeight);
        // The bands are flipped as they are drawn, so they are only copied here.
        if (m_mirror & Qt::Horizontal)
            at.setX(m_picture.width() - left - width);
        if (m_mirror & Qt::Vertical) {
            at.setY(m_picture.height() - at.y() - rows);
            part.moveBottom(kBandHeight - 1);
        }
        painter.drawImage(at, band(box, index, width), part);
    }
}

const QImage &BoxBands::band(PromptBox &box, int index, int width)
{
    Band &band = m_bands[{ box.lookId(), index }];
    band.drawn = true;
    if (!band.picture.isNull())
        return band.picture;
    QImage picture(width, kBandHeight, QImage::Format_RGB32);
    picture.fill(box.palette().color(QPalette::Base));
    {
        QPainter painter(&picture);
        painter.translate(0, -index * kBandHeight);
        painter.scale(m_scale, m_scale);
        // Only the box's rows the band shows are drawn.
        const int from = int(std::floor(index * kBandHeight / m_scale));
        const int to = int(std::ceil((index + 1) * kBandHeight / m_scale));
        box.render(&painter, QPoint(0, from), QRegion(0, from, box.width(), to - from),
            QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    band.picture = m_mirror
        ? picture.mirrored(m_mirror.testFlag(Qt::Horizontal), m_mirror.testFlag(Qt::Vertical))
        : picture;
    return band.picture;
}

void BoxBands::sweep()
{
    for (auto it = m_bands.begin(); it != m_bands.end();) {
        if (it->second.drawn) {
            it->second.drawn = false;
            ++it;
        } else {
            it = m_bands.erase(it);
        }
    }
}
