#include "prompter/PromptBox.h"

#include "platform/ColorRef.h"
#include "platform/Fonts.h"
#include "platform/TextBoxLines.h"
#include "platform/Twips.h"
#include "prompter/BoxLayout.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>

namespace
{

// Tops keep falling for as long as a scroll runs on; the widget stays within
// coordinates the window system handles (pixels).
constexpr double kFarthest = 1'000'000.0 * kTwipsPerPixel;

double shown(double twips)
{
    return std::clamp(twips, -kFarthest, kFarthest);
}

} // namespace

PromptBox::PromptBox(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_lines(new TextBoxLines(this, this))
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
    // The text area fills the whole box, so boxes lying under it need no painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool PromptBox::waiting() const
{
    return m_top >= float(kWaitingTop);
}

void PromptBox::setTop(float twips)
{
    m_top = twips;
    move(twipsToPixels(m_left), twipsToPixels(shown(m_top)));
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
    setGeometry(twipsRect(m_left, shown(m_top), m_width, m_height));
}

// A change reaches the box and its text area as events, so a box that is set as it
// already is (every box after the first takes the first's design) is left alone.
void PromptBox::setFontSize(int points)
{
    const QFont face = tahoma(points);
    if (font() != face)
        setFont(face);
}

void PromptBox::setColor(QPalette::ColorRole role, qint32 ref)
{
    const QColor color = colorFromRef(ref);
    if (palette().color(role) == color)
        return;
    QPalette pal = palette();
    pal.setColor(role, color);
    setPalette(pal);
}

void PromptBox::setBackColor(qint32 ref)
{
    setColor(QPalette::Base, ref);
}

void PromptBox::setForeColor(qint32 ref)
{
    setColor(QPalette::Text, ref);
}

void PromptBox::paintEvent(QPaintEvent *event)
{
    // A box at or below the waiting Top lies below the prompt area but for its top
    // rows, where the tops of its first line's letters would peek in: until it
    // rises, it shows only its background.
    if (waiting()) {
        QPainter(viewport()).fillRect(event->rect(), palette().base());
        return;
    }
    QPlainTextEdit::paintEvent(event);
}

void PromptBox::takeDesignOf(const PromptBox &element)
{
    setVisible(false);
    // A new element of the control array shares its name.
    setObjectName(element.objectName());
    m_left = element.m_left;
    m_top = element.m_top;
    m_width = element.m_width;
    m_height = element.m_height;
    place();
    setFont(element.font());
    setPalette(element.palette());
}
