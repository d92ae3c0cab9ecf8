#pragma once

#include <QWidget>

#include <vector>

class PromptBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QScrollBar;
class QTimer;
class QToolButton;

// The main window: prompt display, scroller, general buttons and recorder panel.
// Handlers are public so that tests drive them as the user's clicks would.
class frmMain final : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Main window and lifecycle
    void cmdexit_Click();

    // Scroller handlers
    void hscspeed_Change();

    // Editor handlers

    // Settings handlers

    // Recorder handlers
    void cmdrecord_Click();
    void cmdstop_Click();
    void cmdplay_Click();

    // About and help handlers

    // Prompt display
    QWidget *picprompt = nullptr;
    QLineEdit *txtline = nullptr;
    std::vector<PromptBox *> txtprompt;
    PromptBox *txtcontainer = nullptr;

    // Panels
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;

    // Scroller
    QToolButton *cmdeditor = nullptr;
    QToolButton *cmdstart = nullptr;
    QToolButton *cmdpause = nullptr;
    QToolButton *cmdreset = nullptr;
    QScrollBar *hscspeed = nullptr;
    QLabel *lblspeed = nullptr;
    QLabel *Label1 = nullptr;
    QTimer *tmrmain = nullptr;

    // General
    QToolButton *cmdsettings = nullptr;
    QToolButton *cmdhelp = nullptr;
    QToolButton *cmdexit = nullptr;
    QToolButton *cmdabout = nullptr;

    // Recorder
    QToolButton *cmdrecord = nullptr;
    QToolButton *cmdstop = nullptr;
    QToolButton *cmdplay = nullptr;
    QToolButton *cmdsave = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lbltime = nullptr;
    QProgressBar *pbrmp3save = nullptr;
    QProgressBar *pbrwavsave = nullptr;
    QLabel *lblinputfile = nullptr;
    QLabel *lbloutputfile = nullptr;
    QTimer *tmrsave = nullptr;

    // Scroller state (True = -1, False = 0)
    qint16 mPaused = 0;
    qint16 mLastBox = 0;
    qint16 mSpeed = 0;
    qint16 mBoxIndex = 0;
    qint16 mSavedSpeed = 0;
    qint32 mLineCount = 0;
    qint32 mBoxHeight = 0;
    qint32 mHandoverTop = 0;

    // Recorder state (True = -1, False = 0)
    qint16 mRecordSeconds = 0;
    qint16 mRecordMinutes = 0;
    qint32 mMciResult = 0;
    qint32 mRecordStart = 0; // seconds on the recording clock, whole
    qint32 mElapsed = 0;     // seconds
    qint16 mRecording = 0;
    QString mMciReturn;    // return buffer of every MCI command, kMciBufferLength long
    QString mMciErrorText; // error text of the last failed command
    QString mTimeText;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    void buildScroller();
    void buildGeneral();
    void buildRecorder();
    void connectControls();
    void Form_Load();
    void Form_QueryUnload();
    void LoadSettings();
    static void SetProgressBarColor(QProgressBar *bar, qint32 color);

    // Scroller internals

    // Settings internals

    // Recorder internals
    static constexpr int kMciBufferLength = 1024;
    void ShowRecordTime();
    void reportMciResult();
    // Refreshes the recording time while mRecording is True.
    QTimer *mRecordTimer = nullptr;
};
