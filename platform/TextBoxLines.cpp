#include "platform/TextBoxLines.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

TextBoxLines::TextBoxLines(QPlainTextEdit *box, QObject *parent)
    : QObject(parent)
    , m_box(box)
{
    connect(box->document(), &QTextDocument::contentsChanged, this, [this] {
        m_stale = true;
        m_textStale = true;
    });
}

void TextBoxLines::ensureTextWidth()
{
    // A box that has not been shown yet holds back its resize, and with it the
    // text width its lines wrap at; hand it over now as showing would. The box
    // places its text area, whose own resize sets the wrapping width.
    for (QWidget *widget : { static_cast<QWidget *>(m_box), m_box->viewport() }) {
        if (!widget->testAttribute(Qt::WA_PendingResizeEvent))
            continue;
        QResizeEvent resize(widget->size(), QSize());
        QCoreApplication::sendEvent(widget, &resize);
        widget->setAttribute(Qt::WA_PendingResizeEvent, false);
    }
}

void TextBoxLines::refresh()
{
    ensureTextWidth();
    const QTextDocument *document = m_box->document();
    const QFont font = document->defaultFont();
    const int width = m_box->viewport()->width();
    if (!m_stale && width == m_width && font == m_font)
        return;

    m_lineStarts.clear();
    m_lineTops.assign(1, 0);
    const QAbstractTextDocumentLayout *layout = document->documentLayout();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        layout->blockBoundingRect(block); // lays the block out if it is not yet
        const QTextLayout *lines = block.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            m_lineStarts.push_back(block.position() + lines->lineAt(i).textStart());
            m_lineTops.push_back(m_lineTops.back() + lines->lineAt(i).height());
        }
    }
    m_font = font;
    m_width = width;
    m_stale = false;
}

int TextBoxLines::lineCount()
{
    refresh();
    return static_cast<int>(m_lineStarts.size());
}

int TextBoxLines::lineIndex(int line)
{
    refresh();
    if (line < 0 || line >= static_cast<int>(m_lineStarts.size()))
        return -1;
    return m_lineStarts[static_cast<size_t>(line)];
}

int TextBoxLines::lineFromChar(int position)
{
    refresh();
    const auto after = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), position);
    return std::max(0, int(after - m_lineStarts.begin()) - 1);
}

int TextBoxLines::setSelection(int start, int end)
{
    const int length = m_box->document()->characterCount() - 1; // without the closing separator
    if (start < 0 || start > length)
        return -1;
    if (end < 0 || end > length)
        end = length;
    m_selectionStart = std::min(start, end);
    m_selectionEnd = std::max(start, end);
    return 0;
}

QString TextBoxLines::selectedText()
{
    if (m_textStale) {
        m_text = m_box->document()->toRawText();
        m_text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        m_textStale = false;
    }
    return m_text.mid(m_selectionStart, m_selectionEnd - m_selectionStart);
}

qreal TextBoxLines::linesHeight(int fromLine, int toLine)
{
    refresh();
    const int count = static_cast<int>(m_lineStarts.size());
    fromLine = std::clamp(fromLine, 0, count);
    toLine = std::clamp(toLine, fromLine, count);
    return m_lineTops[size_t(toLine)] - m_lineTops[size_t(fromLine)];
}

const std::vector<qreal> &TextBoxLines::lineTops()
{
    refresh();
    return m_lineTops;
}
