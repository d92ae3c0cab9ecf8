#pragma once

#include "platform/CommonDialog.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <vector>

class OcxLame;
class PromptBox;
class Rig;
class VoiceFollow;
class frmSettings;
class frmEditor;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QScrollBar;
class QTimer;
class QToolButton;

// The main window: prompt display, scroller, general buttons and recorder panel.
// Its controls carry their design names as object names; tests find them by name
// and drive them as a user would.
class frmMain final : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Client size in twips: the whole window, and the prompt area alone.
    static constexpr int kClientWidth = 9570;
    static constexpr int kFullClientHeight = 7740;
    static constexpr int kPromptClientHeight = 5970;

    void buildWindow();
    void buildScroller();
    void buildGeneral();
    void buildRecorder();
    void connectControls();
    void Form_Load();
    void Form_QueryUnload();
    void LoadSettings();
    // The back colour to the prompt area and its first box, the line colour to the reading line.
    void applyAreaColors();
    static void SetProgressBarColor(QProgressBar *bar, qint32 color);

    void cmdexit_Click();

    // Scroller
    void cmdstart_Click();
    void cmdpause_Click();
    void cmdreset_Click();
    void tmrmain_Timer();
    void hscspeed_Change();
    void hscspeed_Scroll();
    // KeyCode is a virtual-key code; the handler consumes a key by setting it to 0.
    void Form_KeyDown(int &KeyCode, int Shift);
    void PreparePrompt();
    QString GetLines(PromptBox *box, qint32 fromLine, qint32 toLine);
    // A box holds the store's display lines fromLine up to toLine, cut as text.
    void setUpPromptBox(PromptBox *box, const QString &text, qint32 fromLine, qint32 toLine);
    // Puts a box's cut text in it, once, before it shows.
    void fillBox(size_t index);
    void fillNextBox();
    void addPromptBox();
    void showSpeed();

    // Editor
    void cmdeditor_Click();

    // Settings
    void cmdsettings_Click();
    void hscspeed_DragEnded();
    void SaveSettings();
    // The settings dialog, created (and its settings read) when it does not exist.
    frmSettings &settingsForm();

    // Recorder
    void cmdrecord_Click();
    void cmdstop_Click();
    void cmdplay_Click();
    // The recording or playback ended on its own: told as an error, a recording
    // ended as Stop would, keeping what was heard.
    void recSound_Failed(qint32 code);
    void endRecording();
    void watchRecorder();
    // Offers takes that runs ending without cleaning up left behind.
    void offerLeftTakes();
    void ShowRecordTime();
    void reportMciResult();
    void cmdsave_Click();
    void tmrsave_Timer();
    void lameocx_Progress(int percent, int encodedMs, int totalMs);
    void lameocx_Failed();
    bool SaveWave();
    void EncodeMp3();
    void failSave(const QString &message);
    void endSave();

    // Following the voice
    void buildFollowing();
    // Answers whether following is on afterwards.
    bool switchFollowing(bool on);
    void startFollowing();
    void stopFollowing();
    void showFollowSign();
    // Space holds following with the text; Up and Down nudge and then following goes on.
    void followKeyDown(int keyCode);
    void followTick();
    // Twips from the reading line down to the point of the script the voice has reached.
    double followDistance();

    // About and help
    void cmdabout_Click();
    void cmdhelp_Click();

    // Prompt display
    QWidget *picprompt = nullptr;
    QLineEdit *txtline = nullptr;
    std::vector<PromptBox *> txtprompt;
    PromptBox *txtcontainer = nullptr;
    Rig *mRig = nullptr; // the prompt's mirror and output window
    VoiceFollow *mVoice = nullptr;
    QLabel *lblfollow = nullptr; // the sign that the prompt follows the voice
    bool mFollowHeld = false; // Space holds the text while following
    QElapsedTimer mFollowNudge; // since Up or Down last nudged the speed

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
    CommonDialog cdlgmain { this }; // the recorder's Save dialog
    OcxLame *lameocx = nullptr;

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
    // For each box, its distance below its predecessor's bottom edge once it
    // follows it, twips; none while it waits. Box 0 leads and has none.
    std::vector<std::optional<float>> mFollowGap;
    // The text cut for each box at Start and not yet put in it. Laying a box's text out
    // costs as much as laying out the store, so the boxes get theirs when they are about
    // to show, or in the idle time after Start, and Start returns as soon as it has cut.
    std::vector<std::optional<QString>> mPendingText;
    QTimer *mFillTimer = nullptr;

    // Editor state: the editor from its first show until its close box; hidden between shows.
    QPointer<frmEditor> mEditor;

    // Settings state
    QPointer<frmSettings> mSettingsForm;
    bool mSpeedSaveFailed = false; // during the current drag

    // Recorder state (True = -1, False = 0)
    static constexpr int kMciBufferLength = 1024;
    qint16 mRecordSeconds = 0;
    qint16 mRecordMinutes = 0;
    qint32 mMciResult = 0;
    qint32 mRecordStart = 0; // seconds on the recording clock, whole
    qint32 mElapsed = 0; // seconds
    qint16 mRecording = 0;
    QString mMciReturn; // return buffer of every MCI command, kMciBufferLength long
    QString mMciErrorText; // error text of the last failed command
    QString mTimeText;
    qint16 mLastBackslash = 0; // position (from 1) of the last "/" in mShortWavPath
    QString mWavPath;
    QString mWavTitle;
    QString mShortWavPath;
    // Refreshes the recording time while mRecording is True.
    QTimer *mRecordTimer = nullptr;
    // From the chosen name to the end of the encoding; nothing may start a second save.
    bool mSaving = false;
};
