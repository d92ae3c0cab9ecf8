#pragma once

#include <QObject>

#include <memory>

class InputChoice;
class InputMeters;
class QGroupBox;
class QMenu;
class QLabel;
class QTimer;
class QToolButton;
class QWidget;
class SavePanel;
class SettingsForm;
class TakeFile;

// The "Recorder" panel: Record, Stop and Play of the one take, the recording time, the
// take a run that did not end properly left behind, and the take's Save.
class RecorderPanel final : public QObject
{
    Q_OBJECT

public:
    // settings: whose bit rate the MP3 made while recording and the save's MP3 take.
    RecorderPanel(QWidget *window, SettingsForm &settings);
    ~RecorderPanel() override;

    // Play and Stop disabled, the bars' colours; then the takes left behind are offered.
    void load();
    // The run ends: a question about a left take that is still open goes unanswered.
    void unload() { m_unloading = true; }
    QList<QWidget *> tabOrder() const;
    InputMeters &meters() const { return *m_meters; }

private:
    void cmdrecord_Click();
    void cmdstop_Click();
    void cmdplay_Click();
    // The recording or playback ended on its own: told as an error, a recording
    // ended as Stop would, keeping what was heard.
    void recSound_Failed(qint32 code);
    void endRecording();
    // Offers takes that runs ending without cleaning up left behind.
    void offerLeftTakes();
    void addRecentTakes();
    void openRecentTake(const QString &path);
    // The take becomes the one to play and save, as if just recorded and stopped.
    void makeCurrent(std::unique_ptr<TakeFile> take);
    void ShowRecordTime();
    void reportMciResult();
    void showMenu(const QPoint &pos);

    static constexpr int kMciBufferLength = 1024;

    QWidget *m_window;
    bool m_unloading = false;
    QGroupBox *Frame1 = nullptr;
    QToolButton *cmdrecord = nullptr;
    QToolButton *cmdstop = nullptr;
    QToolButton *cmdplay = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lbltime = nullptr;
    SavePanel *m_save = nullptr;
    InputMeters *m_meters = nullptr;
    InputChoice *m_input = nullptr;
    QMenu *m_menu = nullptr; // the panel's context menu
    // Refreshes the recording time while mRecording is True.
    QTimer *mRecordTimer = nullptr;

    // True = -1, False = 0
    qint16 mRecordSeconds = 0;
    qint16 mRecordMinutes = 0;
    qint32 mMciResult = 0;
    qint32 mRecordStart = 0; // seconds on the recording clock, whole
    qint32 mElapsed = 0; // seconds
    qint16 mRecording = 0;
    QString mMciReturn; // return buffer of every MCI command, kMciBufferLength long
    QString mMciErrorText; // error text of the last failed command
    QString mTimeText;
};
