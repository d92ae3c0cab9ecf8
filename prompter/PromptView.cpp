#include "prompter/PromptView.h"

#include "prompter/PromptBox.h"

#include <QCloseEvent>
#include <QImage>
#include <QPainter>

#include <algorithm>

PromptView::PromptView(QWidget *area, QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , m_area(area)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Every pixel is painted, the margins in the back colour.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PromptView::setMirror(Qt::Orientations mirror)
{
    if (mirror == m_mirror)
        return;
    m_mirror = mirror;
    update();
}

void PromptView::paintEvent(QPaintEvent *)
{
    if (!m_area)
        return;
    QPainter painter(this);
    paintPrompt(painter, rect());
}

void PromptView::closeEvent(QCloseEvent *event)
{
    event->accept();
    Q_EMIT closed();
}

void PromptView::paintPrompt(QPainter &painter, const QRect &target)
{
    QWidget &area = *m_area;
    const QSize size = area.size();
    if (size.isEmpty() || target.isEmpty())
        return;
    const qreal scale
        = std::min(qreal(target.width()) / size.width(), qreal(target.height()) / size.height());
    const QSizeF shown = QSizeF(size) * scale;
    // Whole pixels, so that an unscaled view shows the area's own pixels.
    const QRect picture(QPoint(target.x() + int((target.width() - shown.width()) / 2),
                            target.y() + int((target.height() - shown.height()) / 2)),
        shown.toSize());
    // The margins in the back colour; the picture paints the rest.
    const QRegion margins = QRegion(target) - picture;
    for (const QRect &margin : margins)
        painter.fillRect(margin, area.palette().window());

    painter.translate(picture.topLeft());
    painter.setClipRect(QRect(QPoint(), picture.size()));
    if (scale == 1.0 && m_mirror) {
        // At its own size the area is drawn as it draws itself and then flipped, so the
        // mirrored letters keep their hinting and weight to the pixel.
        const qreal ratio = painter.device()->devicePixelRatioF();
        if (m_picture.size() != size * ratio) {
            m_picture = QImage(size * ratio, QImage::Format_RGB32);
            m_picture.setDevicePixelRatio(ratio);
        }
        area.render(&m_picture);
        flip(painter, picture.size());
        painter.drawImage(0, 0, m_picture);
        return;
    }

    // Scaled: the area's background, then its controls from the bottom up as they lie.
    painter.fillRect(QRect(QPoint(), picture.size()), area.palette().window());
    m_bands.setView(scale, m_mirror, picture.size());
    for (QObject *object : area.children()) {
        auto *control = qobject_cast<QWidget *>(object);
        if (!control || control->isHidden())
            continue;
        if (auto *box = qobject_cast<PromptBox *>(control)) {
            m_bands.draw(painter, *box);
            continue;
        }
        painter.save();
        flip(painter, picture.size());
        painter.scale(scale, scale);
        control->render(&painter, control->pos());
        painter.restore();
    }
    m_bands.sweep();
}

void PromptView::flip(QPainter &painter, const QSize &picture) const
{
    if (m_mirror & Qt::Horizontal) {
        painter.translate(picture.width(), 0);
        painter.scale(-1, 1);
    }
    if (m_mirror & Qt::Vertical) {
        painter.translate(0, picture.height());
        painter.scale(1, -1);
    }
}
