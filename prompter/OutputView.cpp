#include "prompter/OutputView.h"

#include "platform/Fonts.h"
#include "prompter/Countdown.h"
#include "prompter/Flip.h"
#include "prompter/PromptArea.h"
#include "prompter/PromptProgress.h"
#include "prompter/Scroller.h"
#include "settings/SharedSettings.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace
{
constexpr qreal kWheelStep = 1.1; // the size's factor per notch of the wheel
constexpr qreal kEndMarkScale = 0.6; // the end mark's letters against the script's
constexpr int kClockMs = 500; // how often the times shown are brought up to date

QString clock(qint64 ms)
{
    const qint64 seconds = (ms + 500) / 1000;
    const QString minutes = QStringLiteral("%1:%2")
                                .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return seconds >= 3600 ? QStringLiteral("%1:%2").arg(seconds / 3600).arg(minutes) : minutes;
}
} // namespace

OutputView::OutputView(PromptArea &area, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_area(area)
    , m_family(tahoma(10).family())
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Every pixel is painted.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_clockTimer = new QTimer(this);
    m_clockTimer->setInterval(kClockMs);
    connect(m_clockTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    scriptChanged();
}

void OutputView::setFigures(const PromptProgress &progress, const Countdown &countdown)
{
    m_progress = &progress;
    m_countdown = &countdown;
    connect(&countdown, &Countdown::countChanged, this, qOverload<>(&QWidget::update));
}

void OutputView::setShown(bool elapsed, bool progress, bool left)
{
    m_showElapsed = elapsed;
    m_showProgress = progress;
    m_showLeft = left;
    if (elapsed || left)
        m_clockTimer->start();
    else
        m_clockTimer->stop();
    update();
}

void OutputView::setMirror(Qt::Orientations mirror)
{
    if (mirror == m_mirror)
        return;
    m_mirror = mirror;
    forgetPictures();
    update();
}

void OutputView::setFace(const QString &family)
{
    if (family == m_family || family.isEmpty())
        return;
    m_family = family;
    layOut();
}

qreal OutputView::maxPointSize() const
{
    // A line as tall as a quarter of the screen the window stands on.
    QFont probe(m_family);
    probe.setPointSizeF(100);
    const qreal spacing = QFontMetricsF(probe, this).lineSpacing();
    const qreal quarter = (screen() ? screen()->geometry().height() : 1080) / 4.0;
    return std::max(kMinPointSize, std::floor(100 * quarter / std::max(spacing, 1.0)));
}

void OutputView::setPointSize(qreal size)
{
    // Kept as asked and held to the screen's largest when used: the window may not stand on
    // its screen yet.
    if (size > 0)
        size = std::max(size, kMinPointSize);
    if (qFuzzyCompare(size + 1, m_pointSize + 1))
        return;
    m_pointSize = size;
    layOut();
}

qreal OutputView::pointSize() const
{
    if (m_pointSize > 0)
        return std::min(m_pointSize, maxPointSize());
    // Until one is chosen, the console's size at the window's scale, as the console shows it.
    const int console = std::max(1, m_area.area()->height());
    return std::clamp(qreal(gFontSize) * height() / console, kMinPointSize, maxPointSize());
}

qreal OutputView::textLeft() const
{
    // Clear of the marker's arrows, whatever the margin.
    const qreal arrows = QFontMetricsF(m_font).height() * 0.6 + 4;
    return std::max(width() * m_margin / 100.0, arrows);
}

void OutputView::setMargin(int percent)
{
    percent = std::clamp(percent, 0, kMaxMarginPercent);
    if (percent == m_margin)
        return;
    m_margin = percent;
    layOut();
}

void OutputView::setMarkerAt(double fraction)
{
    m_markerAt = std::clamp(fraction, 0.0, 1.0);
    update();
}

void OutputView::scriptChanged()
{
    const PromptArea::Colors colors = m_area.colors();
    m_text = colors.text;
    m_back = colors.back;
    m_line = colors.line;
    layOut();
}

void OutputView::promptMoved()
{
    if (isVisible())
        update();
}

void OutputView::layOut()
{
    m_font = QFont(m_family);
    m_font.setPointSizeF(pointSize());
    m_layout.layOut(m_area.scriptText(), m_font, width() - 2 * textLeft());
    forgetPictures();
    update();
}

OutputView::Anchor OutputView::anchor() const
{
    // The display line at the marker, and where its top stands in the window.
    const Scroller &scroller = *m_area.scroller();
    const double line = scroller.readingLine();
    const int count = scroller.lineCount();
    const qreal marker = height() * m_markerAt;
    // Before the script and past it, the console's line heights become the output's.
    if (line < 0) {
        const OutputLayout::Place first = m_layout.first();
        return { first, marker - line * m_layout.line(first).height };
    }
    if (line >= count) {
        const OutputLayout::Place last = m_layout.last();
        const qreal height = m_layout.line(last).height;
        return { last, marker - (line - count) * height - height };
    }
    double fraction = 0;
    const OutputLayout::Place place = m_layout.placeOf(m_area.characterAt(line), &fraction);
    return { place, marker - fraction * m_layout.line(place).height };
}

OutputLayout::Line OutputView::lineAtMarker() const
{
    const Scroller *scroller = m_area.scroller();
    if (!scroller || !scroller->isRunning())
        return {};
    return m_layout.line(anchor().place);
}

void OutputView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int h = height();
    const auto place
        = [&](int top, int height) { return (m_mirror & Qt::Vertical) ? h - top - height : top; };
    const Scroller *scroller = m_area.scroller();
    const int markerY = qRound(h * m_markerAt);
    if (!scroller || !scroller->isRunning() || m_area.isBlank()) {
        painter.fillRect(rect(), m_back);
        if (!m_area.isBlank())
            drawMarker(painter, place(markerY, 0));
        return;
    }
    const auto overlays = qScopeGuard([&] {
        drawFigures(painter);
        drawCount(painter);
    });

    // Outwards from the line at the marker: up to the window's top, down to its bottom.
    std::vector<std::pair<quint64, qreal>> shown; // each picture and its top
    const Anchor at = anchor();
    OutputLayout::Place line = at.place;
    for (qreal top = at.top; top + m_layout.line(line).height > 0;) {
        shown.emplace_back(key(line), top);
        if (!m_layout.previous(line))
            break;
        top -= m_layout.line(line).height;
    }
    line = at.place;
    for (qreal top = at.top + m_layout.line(line).height; top < h;) {
        if (!m_layout.next(line)) {
            shown.emplace_back(kEndMark, top);
            break;
        }
        shown.emplace_back(key(line), top);
        top += m_layout.line(line).height;
    }

    int coveredTop = h;
    int coveredBottom = 0;
    for (const auto &[index, top] : shown) {
        const int y = qRound(top);
        const QImage &picture = linePicture(index);
        painter.drawImage(0, place(y, picture.height()), picture);
        coveredTop = std::min(coveredTop, y);
        coveredBottom = std::max(coveredBottom, y + picture.height());
    }
    // The background where no line lies.
    coveredTop = std::clamp(coveredTop, 0, h);
    coveredBottom = std::clamp(coveredBottom, coveredTop, h);
    if (coveredBottom == coveredTop)
        coveredTop = coveredBottom = h;
    if (coveredTop > 0)
        painter.fillRect(0, place(0, coveredTop), width(), coveredTop, m_back);
    if (coveredBottom < h)
        painter.fillRect(
            0, place(coveredBottom, h - coveredBottom), width(), h - coveredBottom, m_back);
    drawMarker(painter, place(markerY, 0));

    // Let go of the pictures out of view, and draw the next one while the window is idle.
    OutputLayout::Place coming = scroller->speed() >= 0 ? line : at.place;
    const bool more = scroller->speed() >= 0 ? m_layout.next(coming) : m_layout.previous(coming);
    if (more)
        shown.emplace_back(key(coming), 0);
    std::unordered_map<quint64, QImage> kept;
    for (const auto &[index, top] : shown) {
        const auto found = m_pictures.find(index);
        if (found != m_pictures.end())
            kept.emplace(index, std::move(found->second));
    }
    m_pictures.swap(kept);
    if (more && !m_pictures.count(key(coming))) {
        const quint64 next = key(coming);
        QTimer::singleShot(0, this, [this, next] {
            if (isVisible())
                linePicture(next);
        });
    }
}

quint64 OutputView::key(OutputLayout::Place place)
{
    return (quint64(quint32(place.paragraph)) << 32) | quint32(place.line);
}

const QImage &OutputView::linePicture(quint64 index)
{
    const auto found = m_pictures.find(index);
    if (found != m_pictures.end())
        return found->second;
    const bool endMark = index == kEndMark;
    const OutputLayout::Place place { int(index >> 32), int(index & 0xFFFFFFFF) };
    const qreal height = m_layout.line(endMark ? m_layout.last() : place).height;
    QImage picture(std::max(width(), 1), std::max(1, int(std::ceil(height))), QImage::Format_RGB32);
    picture.fill(m_back);
    QPainter painter(&picture);
    painter.setPen(m_text);
    if (endMark) {
        QFont font = m_layout.font();
        font.setPointSizeF(font.pointSizeF() * kEndMarkScale);
        painter.setFont(font);
        painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("\u25A0  END  \u25A0"));
    } else {
        m_layout.drawLine(painter, place, QPointF(textLeft(), 0));
    }
    painter.end();
    if (m_mirror)
        picture = picture.mirrored(m_mirror & Qt::Horizontal, m_mirror & Qt::Vertical);
    return m_pictures.emplace(index, std::move(picture)).first->second;
}

void OutputView::forgetPictures()
{
    m_pictures.clear();
}

void OutputView::drawMarker(QPainter &painter, int y)
{
    // Arrows at both edges point at the line to read, in the reading line's colour.
    const int size = std::max(16, int(QFontMetricsF(m_font).height() * 0.8));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_line);
    const int right = width();
    const int reach = size * 2 / 3;
    painter.drawPolygon(
        QPolygon({ QPoint(0, y - size / 2), QPoint(reach, y), QPoint(0, y + size / 2) }));
    painter.drawPolygon(QPolygon(
        { QPoint(right, y - size / 2), QPoint(right - reach, y), QPoint(right, y + size / 2) }));
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void OutputView::drawFigures(QPainter &painter)
{
    if (!m_progress || !(m_showElapsed || m_showProgress || m_showLeft))
        return;
    painter.save();
    flip(painter, size(), m_mirror);
    // Small, in the bottom-left corner, clear of the marker and of the level meter.
    const int size = std::max(12, height() / 32);
    if (m_showProgress) {
        const int bar = std::max(3, height() / 300);
        painter.fillRect(0, height() - bar, width(), bar, m_back.lighter(250));
        painter.fillRect(0, height() - bar, int(width() * m_progress->progress()), bar, m_text);
    }
    QStringList words;
    if (m_showElapsed)
        words << clock(m_progress->elapsedMs());
    if (m_showLeft) {
        const std::optional<qint64> left = m_progress->leftMs();
        words << (left ? clock(*left) : QStringLiteral("--:--")) + QStringLiteral(" left");
    }
    if (!words.isEmpty()) {
        QFont font(m_family);
        font.setPixelSize(size);
        painter.setFont(font);
        const QString text = words.join(QStringLiteral("   "));
        // On a patch of the background, so that it reads over the script's letters.
        const QRect patch(size / 2, height() - size * 5 / 2,
            QFontMetrics(font).horizontalAdvance(text) + size, size * 3 / 2);
        painter.fillRect(patch, m_back);
        painter.setPen(m_text);
        painter.drawText(patch, Qt::AlignCenter, text);
    }
    painter.restore();
}

void OutputView::drawCount(QPainter &painter)
{
    if (!m_countdown || m_countdown->count() == 0)
        return;
    painter.save();
    flip(painter, size(), m_mirror);
    QFont font(m_family);
    font.setPixelSize(height() / 3);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(m_text);
    painter.drawText(rect(), Qt::AlignCenter, QString::number(m_countdown->count()));
    painter.restore();
}

void OutputView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void OutputView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QWidget::wheelEvent(event);
        return;
    }
    const qreal notches = event->angleDelta().y() / 120.0;
    setPointSize(pointSize() * std::pow(kWheelStep, notches));
    Q_EMIT pointSizeWheeled(pointSize());
    event->accept();
}

void OutputView::closeEvent(QCloseEvent *event)
{
    event->accept();
    Q_EMIT closed();
}
