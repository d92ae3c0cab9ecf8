#pragma once

#include "recorder/InputLevel.h"

#include <QObject>

class LevelMeter;
class QGroupBox;
class QLabel;
class QMenu;
class QTimer;
class QWidget;

// The input's level while a take is recorded or the voice followed: a meter in the recorder
// panel where the save's bars stand when no save runs, small ones in the corners of the
// prompt area and of the output window, the clip sign and count, and the sign that the
// microphone has gone quiet. Each meter is switched from its own context menu, remembered per
// user in recorder.ini.
class InputMeters final : public QObject
{
    Q_OBJECT

public:
    enum class Listener { Recording, Following };

    explicit InputMeters(QGroupBox *panel);

    // The corner meters and the quiet sign: over the area in the window, and in the output
    // window's corner.
    void showInPrompt(QWidget *area, QWidget *output);
    // Whoever hears the input says so; the meters run while anyone does.
    void setListening(Listener listener, bool on);
    // A save shows its bars in the panel meter's place.
    void setSaving(bool saving);

    // The switches of the meter in the menu of the panel and of the prompt area.
    void addPanelMenuItems(QMenu *menu);
    void addPromptMenuItems(QMenu *menu);
    void addOutputMenuItems(QMenu *menu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Display { Panel, Prompt, Output, Displays };

    void refresh();
    void addSwitch(QMenu *menu, Display display);
    void setShown(Display display, bool on);
    void place();
    void showMeters();
    bool listening() const { return m_recording || m_following; }

    QWidget *m_window;
    LevelMeter *m_meters[Displays] = {};
    QWidget *m_area = nullptr;
    QWidget *m_output = nullptr;
    QLabel *lblsilence = nullptr;
    QTimer *tmrlevel = nullptr;
    InputLevel m_level;
    bool m_shown[Displays] = { true, true, true };
    bool m_recording = false;
    bool m_following = false;
    bool m_saving = false;
};
