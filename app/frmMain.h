#pragma once

#include <QWidget>

class Following;
class GeneralPanel;
class KeyPreview;
class PromptArea;
class PromptControl;
class RecorderPanel;
class RemoteControl;
class Scroller;
class ScrollerPanel;
class SettingsForm;

// The main window: the prompt area above a row of three panels, Scroller, General and
// Recorder, each of which owns its controls and handlers. The window builds itself from
// them, loads, takes the keys first, and ends the run when it closes. Its controls carry
// their design names as object names; tests find them by name and drive them as a user
// would.
class frmMain final : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);

    // The phone remote switched on, as its menu item does.
    void switchOnRemote();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Client size in twips: the whole window, and the prompt area alone.
    static constexpr int kClientWidth = 9570;
    static constexpr int kFullClientHeight = 7740;
    static constexpr int kPromptClientHeight = 5970;

    void buildWindow();
    void Form_Load();
    // KeyCode is a virtual-key code; the handler consumes a key by setting it to 0.
    void Form_KeyDown(int &KeyCode, int Shift);
    void Form_QueryUnload();
    void cmdexit_Click();

    PromptArea *m_area = nullptr;
    Scroller *m_scroller = nullptr;
    ScrollerPanel *m_scrollerPanel = nullptr;
    SettingsForm *m_settings = nullptr;
    GeneralPanel *m_general = nullptr;
    RecorderPanel *m_recorder = nullptr;
    Following *m_following = nullptr;
    PromptControl *m_control = nullptr;
    RemoteControl *m_remote = nullptr;
    KeyPreview *m_keys = nullptr;
};
