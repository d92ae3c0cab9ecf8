#include "prompter/PromptBox.h"

#include "platform/ColorRef.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"

PromptBox::PromptBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setContextMenuPolicy(Qt::NoContextMenu);
    setUndoRedoEnabled(false);
    document()->setDocumentMargin(0);
    viewport()->setCursor(Qt::ArrowCursor);
}

void PromptBox::setTop(float twips)
{
    m_top = twips;
    move(twipsToPixels(m_left), twipsToPixels(m_top));
}

void PromptBox::setHeight(float twips)
{
    m_height = twips;
    place();
}

void PromptBox::setHorizontal(float left, float width)
{
    m_left = left;
    m_width = width;
    place();
}

void PromptBox::place()
{
    setGeometry(twipsRect(m_left, m_top, m_width, m_height));
}

void PromptBox::setFontSize(int points)
{
    setFont(tahoma(points));
}

void PromptBox::setBackColor(qint32 ref)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, colorFromRef(ref));
    setPalette(pal);
}

void PromptBox::setForeColor(qint32 ref)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Text, colorFromRef(ref));
    setPalette(pal);
}
