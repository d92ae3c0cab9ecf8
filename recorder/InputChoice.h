#pragma once

#include <QObject>

class QMenu;
class QWidget;

// The microphone, picked from the recorder panel's menu among the sound server's inputs and
// remembered per user by the server's name for it. The take and following the voice hear it.
class InputChoice final : public QObject
{
    Q_OBJECT

public:
    // The stored choice holds from the first capture on.
    explicit InputChoice(QWidget *window);

    // The system's default first, then each input by its description; the one chosen checked.
    void addMenuItems(QMenu *menu);
    // After a capture starts: a notice when the chosen input was gone and the default is heard.
    void tellIfMissing();

private:
    void choose(const QString &name, const QString &description);

    QWidget *m_window;
    QString m_name; // empty for the system's default
    QString m_description;
};
