#pragma once

#include "follow/FollowSpeed.h"
#include "follow/Recogniser.h"
#include "follow/ScriptWords.h"
#include "follow/SpeechModel.h"

#include <QElapsedTimer>
#include <QObject>

#include <memory>
#include <optional>
#include <vector>

class WordAligner;

// Follows the presenter's voice through one script: listens, finds the script word he has
// reached, and turns the distance of that word from the reading line into a speed.
class VoiceFollow final : public QObject
{
    Q_OBJECT

public:
    explicit VoiceFollow(QObject *parent = nullptr);
    ~VoiceFollow() override;

    // Listens for the script's words from its beginning; an upper-case message when the voice
    // cannot be followed.
    std::optional<QString> start(const QString &script);
    void stop();
    bool isFollowing() const { return m_recogniser.isListening(); }

    // Where in the script the voice is: the character position of the word to be said next.
    int spokenPosition() const;
    // The speed for this tick, the spoken point lying distance twips below the reading line.
    int speedFor(double distance);
    // The last words heard, for the sign on the window.
    const QString &lastHeard() const { return m_lastHeard; }

Q_SIGNALS:
    // Something was heard; the sign may show it.
    void heardChanged();
    // Following stopped on its own, with the message to show.
    void failed(const QString &message);

private:
    void hear(const QStringList &utterance, bool ended);

    Recogniser m_recogniser;
    std::unique_ptr<SpeechModel> m_model;
    std::unique_ptr<WordAligner> m_aligner;
    std::vector<ScriptWord> m_words;
    FollowSpeed m_speed;
    bool m_speaking = false; // an utterance is in progress
    QElapsedTimer m_pauseStarted; // since the last utterance ended
    int m_reached = -1;
    QString m_lastHeard;
};
