#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <functional>

class QWidget;

// The Windows virtual-key codes of every key the main window handles, in one place.
namespace VirtualKey
{
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int Up = 38;
inline constexpr int Down = 40;
inline constexpr int B = 66;
inline constexpr int F = 70;
inline constexpr int M = 77;
inline constexpr int V = 86;
inline constexpr int F5 = 116;
inline constexpr int F11 = 122;
inline constexpr int Plus = 187; // the main keyboard's "=" and "+" key
inline constexpr int Period = 190;
inline constexpr int Minus = 189;
} // namespace VirtualKey

// A window's key preview: its key-down handler sees every key pressed in the
// window or any of its controls before the focused control does. The handler
// takes Windows virtual-key codes and consumes a key by setting its code to 0;
// the key's release is then consumed as well, so a focused button is not pressed.
class KeyPreview final : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(int &keyCode, int shift)>;

    // Lives as the window's child and watches the application's key events.
    KeyPreview(QWidget *window, Handler handler);

    // Keys pressed in another window reach the handler too, as if pressed in this one.
    void addWindow(QWidget *window);

    // The window the key being handled was pressed in, while its handler runs.
    QWidget *keyWindow() const { return m_keyWindow; }

    // The virtual-key code of a Qt key; 0 for keys without one here.
    static int virtualKeyCode(int qtKey);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QPointer<QWidget>> m_windows;
    Handler m_handler;
    QWidget *m_keyWindow = nullptr;
    QSet<int> m_consumed; // Qt keys whose press was consumed and whose release is due
};
