#include "recorder/LevelMeter.h"

#include "platform/Fonts.h"
#include "recorder/InputLevel.h"

#include <QPainter>

#include <cmath>

namespace
{

// The bar's colours from the floor up: green for speech, yellow as it nears the top, red
// where little room is left.
constexpr double kYellowDb = -18.0;
constexpr double kRedDb = -6.0;

int tenths(double db)
{
    return int(std::lround(db * 10.0));
}

} // namespace

LevelMeter::LevelMeter(QWidget *parent, bool countsClips)
    : QWidget(parent)
    , m_countsClips(countsClips)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    m_shown.level = m_shown.peak = tenths(kMeterFloorDb);
    setAccessibleDescription(words());
}

QString LevelMeter::words() const
{
    QString words = m_shown.level <= tenths(kMeterFloorDb) ? QStringLiteral("No input")
                                                           : QStringLiteral("%1 dBFS, peak %2 dBFS")
                                                                 .arg(m_shown.level / 10.0)
                                                                 .arg(m_shown.peak / 10.0);
    if (m_shown.clipLit)
        words += QStringLiteral(", CLIP");
    if (m_countsClips)
        words += QStringLiteral(", clipped %1 times in this take").arg(m_shown.clips);
    return words;
}

void LevelMeter::showLevel(const InputLevel &level)
{
    const Reading now { tenths(level.level()), tenths(level.peakHold()), level.clipLit(),
        level.clips() };
    if (now == m_shown)
        return;
    m_shown = now;
    setAccessibleDescription(words());
    update();
}

void LevelMeter::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect all = rect();
    const int signWidth = std::min(all.width() / 3, all.height() * (m_countsClips ? 5 : 3));
    const QRect bar(0, 0, all.width() - signWidth - 1, all.height());
    const QRect sign(bar.right() + 2, 0, signWidth - 1, all.height());
    painter.fillRect(all, QColor(24, 24, 24));

    const auto xOf = [&bar](double db) {
        return bar.left() + int(bar.width() * (db - kMeterFloorDb) / -kMeterFloorDb);
    };
    const int level = xOf(m_shown.level / 10.0);
    const int yellow = xOf(kYellowDb);
    const int red = xOf(kRedDb);
    // A faint mark every 10 dB, so that a level reads against the scale.
    for (int db = -50; db < 0; db += 10)
        painter.fillRect(QRect(xOf(db), 0, 1, all.height()), QColor(70, 70, 70));
    const int inset = std::max(1, all.height() / 6);
    const QRect lit = bar.adjusted(0, inset, 0, -inset);
    const auto segment = [&](int from, int to, const QColor &colour) {
        if (level > from)
            painter.fillRect(
                QRect(from, lit.top(), std::min(level, to) - from, lit.height()), colour);
    };
    segment(bar.left(), yellow, QColor(40, 200, 60));
    segment(yellow, red, QColor(230, 200, 40));
    segment(red, bar.right() + 1, QColor(230, 50, 40));
    if (m_shown.peak > tenths(kMeterFloorDb))
        painter.fillRect(QRect(xOf(m_shown.peak / 10.0) - 1, 0, 2, all.height()), Qt::white);

    painter.fillRect(sign, m_shown.clipLit ? QColor(230, 0, 0) : QColor(80, 0, 0));
    QString text = QStringLiteral("CLIP");
    if (m_countsClips && m_shown.clips > 0)
        text += QStringLiteral(" %1").arg(m_shown.clips);
    QFont font = tahoma(6, true);
    font.setPixelSize(std::max(6, all.height() - 2 * inset));
    painter.setFont(font);
    painter.setPen(m_shown.clipLit || m_shown.clips > 0 ? Qt::white : QColor(160, 90, 90));
    painter.drawText(sign, Qt::AlignCenter, text);
}
