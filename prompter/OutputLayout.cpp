#include "prompter/OutputLayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace
{
constexpr qsizetype kLongestPiece = 2000; // characters laid out at once, at most

// Lays one paragraph out as the output draws it.
void layParagraph(QTextLayout &layout, qreal width)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(width);
    layout.endLayout();
}
} // namespace

OutputLayout::OutputLayout()
{
    layOut(QString(), QFont(), 1);
}

OutputLayout::~OutputLayout() = default;

void OutputLayout::layOut(const QString &text, const QFont &font, qreal width)
{
    m_text = text;
    m_font = font;
    m_width = std::max<qreal>(width, 1);
    m_paragraphStarts.clear();
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        m_paragraphStarts.push_back(int(start));
        // A very long paragraph is laid out in pieces cut after a space: laying out megabytes
        // at once takes seconds and hundreds of megabytes.
        for (qsizetype piece = start; end - piece > kLongestPiece;) {
            const qsizetype space = text.lastIndexOf(QLatin1Char(' '), piece + kLongestPiece);
            piece = space > piece ? space + 1 : piece + kLongestPiece;
            m_paragraphStarts.push_back(int(piece));
        }
        start = end + 1;
    }
    m_lines.assign(m_paragraphStarts.size(), {});
    m_cached.reset();
    m_cachedParagraph = -1;
}

const std::vector<OutputLayout::Line> &OutputLayout::linesOf(int paragraph) const
{
    std::vector<Line> &lines = m_lines[size_t(paragraph)];
    if (!lines.empty())
        return lines;
    const QTextLayout &layout = paragraphLayout(paragraph);
    const int start = m_paragraphStarts[size_t(paragraph)];
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        lines.push_back({ start + line.textStart(), line.textLength(), line.height() });
    }
    if (lines.empty())
        lines.push_back({ start, 0, QFontMetricsF(m_font).height() });
    // The line break belongs to the paragraph's last line.
    if (endsWithBreak(paragraph))
        ++lines.back().length;
    return lines;
}

OutputLayout::Place OutputLayout::placeOf(double position, double *fraction) const
{
    const auto after = std::upper_bound(
        m_paragraphStarts.begin(), m_paragraphStarts.end(), int(std::max(0.0, position)));
    const int paragraph = std::max(0, int(after - m_paragraphStarts.begin()) - 1);
    const std::vector<Line> &lines = linesOf(paragraph);
    int index = int(lines.size()) - 1;
    while (index > 0 && lines[size_t(index)].start > position)
        --index;
    const Line &line = lines[size_t(index)];
    *fraction = line.length > 0 ? std::clamp((position - line.start) / line.length, 0.0, 1.0) : 0.0;
    return { paragraph, index };
}

const OutputLayout::Line &OutputLayout::line(Place place) const
{
    return linesOf(place.paragraph)[size_t(place.line)];
}

OutputLayout::Place OutputLayout::last() const
{
    const int paragraph = int(m_paragraphStarts.size()) - 1;
    return { paragraph, int(linesOf(paragraph).size()) - 1 };
}

bool OutputLayout::next(Place &place) const
{
    if (place.line + 1 < int(linesOf(place.paragraph).size())) {
        ++place.line;
        return true;
    }
    if (size_t(place.paragraph) + 1 >= m_paragraphStarts.size())
        return false;
    place = { place.paragraph + 1, 0 };
    return true;
}

bool OutputLayout::previous(Place &place) const
{
    if (place.line > 0) {
        --place.line;
        return true;
    }
    if (place.paragraph == 0)
        return false;
    place.paragraph -= 1;
    place.line = int(linesOf(place.paragraph).size()) - 1;
    return true;
}

void OutputLayout::drawLine(QPainter &painter, Place place, const QPointF &origin) const
{
    const QTextLayout &layout = paragraphLayout(place.paragraph);
    if (place.line >= layout.lineCount())
        return; // an empty paragraph has nothing to draw
    const QTextLine line = layout.lineAt(place.line);
    line.draw(&painter, origin - QPointF(0, line.y()));
}

bool OutputLayout::endsWithBreak(int paragraph) const
{
    if (size_t(paragraph) + 1 >= m_paragraphStarts.size())
        return false;
    return m_text.at(m_paragraphStarts[size_t(paragraph) + 1] - 1) == QLatin1Char('\n');
}

QTextLayout &OutputLayout::paragraphLayout(int paragraph) const
{
    if (m_cachedParagraph != paragraph || !m_cached) {
        const int start = m_paragraphStarts[size_t(paragraph)];
        const int end = size_t(paragraph) + 1 < m_paragraphStarts.size()
            ? m_paragraphStarts[size_t(paragraph) + 1] - (endsWithBreak(paragraph) ? 1 : 0)
            : int(m_text.size());
        m_cached = std::make_unique<QTextLayout>(m_text.mid(start, end - start), m_font);
        layParagraph(*m_cached, m_width);
        m_cachedParagraph = paragraph;
    }
    return *m_cached;
}
