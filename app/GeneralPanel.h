#pragma once

#include <QObject>

class QGroupBox;
class QToolButton;
class QWidget;
class SettingsForm;

// The "General" panel: Options, Help, Exit and About. Exit is the window's own to handle.
class GeneralPanel final : public QObject
{
    Q_OBJECT

public:
    GeneralPanel(QWidget *window, SettingsForm &settings);

    QToolButton *exitButton() const { return cmdexit; }
    QList<QWidget *> tabOrder() const;

private:
    void cmdabout_Click();
    void cmdhelp_Click();

    QWidget *m_window;
    QGroupBox *Frame3 = nullptr;
    QToolButton *cmdsettings = nullptr;
    QToolButton *cmdhelp = nullptr;
    QToolButton *cmdexit = nullptr;
    QToolButton *cmdabout = nullptr;
};
