#include "platform/KeyPreview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

KeyPreview::KeyPreview(QWidget *window, Handler handler)
    : QObject(window)
    , m_windows { window }
    , m_handler(std::move(handler))
{
    qApp->installEventFilter(this);
}

void KeyPreview::addWindow(QWidget *window)
{
    m_windows.append(window);
}

int KeyPreview::virtualKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_F5:
        return 116;
    case Qt::Key_F11:
        return 122;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return 187;
    case Qt::Key_Minus:
        return 189;
    case Qt::Key_Period:
        return 190;
    default:
        break;
    }
    // Digits and letters share their codes with upper-case ASCII.
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey;
    return 0;
}

bool KeyPreview::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !m_windows.contains(widget->window()))
        return false;

    auto *key = static_cast<QKeyEvent *>(event);
    if (type == QEvent::KeyRelease) {
        if (!m_consumed.contains(key->key()))
            return false;
        if (!key->isAutoRepeat())
            m_consumed.remove(key->key());
        return true;
    }

    int keyCode = virtualKeyCode(key->key());
    if (keyCode == 0)
        return false;
    int shift = 0;
    const Qt::KeyboardModifiers modifiers = key->modifiers();
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    m_keyWindow = widget->window();
    m_handler(keyCode, shift);
    m_keyWindow = nullptr;
    if (keyCode != 0)
        return false;
    m_consumed.insert(key->key());
    return true;
}
