#include "prompter/PromptView.h"

#include "prompter/Flip.h"

#include <QPainter>

PromptView::PromptView(QWidget *area, QWidget *parent)
    : QWidget(parent)
    , m_area(area)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The flipped picture paints every pixel.
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
    if (!m_area || m_area->size().isEmpty())
        return;
    QPainter painter(this);
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QSize size = m_area->size();
    if (m_picture.size() != size * ratio) {
        m_picture = QImage(size * ratio, QImage::Format_RGB32);
        m_picture.setDevicePixelRatio(ratio);
    }
    m_area->render(&m_picture);
    flip(painter, size, m_mirror);
    painter.drawImage(0, 0, m_picture);
}
