#pragma once

#include "platform/CommonDialog.h"

#include <QObject>

class OcxLame;
class QGroupBox;
class QLabel;
class QProgressBar;
class QTimer;
class QToolButton;
class SettingsForm;

// The recorder's Save: the button, the Save dialog, the WAV written during its progress
// animation and the MP3 encoded after it, each with its bar, and the two hidden labels
// that hand the paths to the encoder.
class SavePanel final : public QObject
{
    Q_OBJECT

public:
    SavePanel(QGroupBox *frame, SettingsForm &settings);

    QToolButton *button() const { return cmdsave; }
    // Gives the bars their colours, once, as the window loads.
    void setBarColors();
    // A recording keeps Save for its Stop; once it has ended, Save is free unless a save
    // is under way.
    void setRecording(bool recording);
    bool isSaving() const { return mSaving; }

Q_SIGNALS:
    // From the chosen name to the end of the encoding.
    void savingChanged(bool saving);

private:
    void cmdsave_Click();
    void tmrsave_Timer();
    void lameocx_Progress(int percent, int encodedMs, int totalMs);
    void lameocx_Failed();
    bool SaveWave();
    void EncodeMp3();
    void failSave(const QString &message);
    void endSave();

    static constexpr int kMciBufferLength = 1024;

    SettingsForm &m_settings;
    QToolButton *cmdsave = nullptr;
    QProgressBar *pbrmp3save = nullptr;
    QProgressBar *pbrwavsave = nullptr;
    QLabel *lblinputfile = nullptr;
    QLabel *lbloutputfile = nullptr;
    QTimer *tmrsave = nullptr;
    CommonDialog cdlgmain;
    OcxLame *lameocx = nullptr;

    qint32 mMciResult = 0;
    QString mMciReturn; // return buffer of the save command, kMciBufferLength long
    qint16 mLastBackslash = 0; // position (from 1) of the last "/" in mShortWavPath
    QString mWavPath;
    QString mWavTitle;
    QString mShortWavPath;
    bool m_recording = false;
    // From the chosen name to the end of the encoding; nothing may start a second save.
    bool mSaving = false;
};
