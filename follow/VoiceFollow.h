#pragma once

#include "follow/FollowSpeed.h"
#include "follow/ReadingRate.h"
#include "follow/Recogniser.h"

#include <QElapsedTimer>
#include <QObject>

#include <memory>
#include <optional>

class FollowModel;
class WordAligner;

// Follows the presenter's voice through one script: listens, finds the script word he has
// reached, and turns the distance of that word from the reading line into a speed. The
// script's words and speech model are made off the window thread, and kept for the next
// start of the same script.
class VoiceFollow final : public QObject
{
    Q_OBJECT

public:
    explicit VoiceFollow(QObject *parent = nullptr);
    ~VoiceFollow() override;

    // Gets ready to listen for the script's words from its beginning, and returns at once;
    // failed tells, later, when the voice cannot be followed.
    void start(const QString &script);
    void stop();
    // From start to stop, whether ready or not.
    bool isFollowing() const { return m_following; }
    // Whether the words said are heard yet.
    bool isReady() const { return m_ready; }

    // Where in the script the voice is: the character position of the word to be said next,
    // the script's first before any word is heard.
    int spokenPosition() const;
    bool hasHeard() const { return m_reached >= 0; }
    // The speed for this tick, the spoken point lying distance twips below the reading line.
    int speedFor(double distance);
    // The last words heard, for the sign on the window.
    const QString &lastHeard() const { return m_lastHeard; }
    // Words a minute over the last half minute, and the time the words left take at that rate.
    std::optional<int> wordsPerMinute() const;
    std::optional<qint64> leftAtReadingRate() const;

Q_SIGNALS:
    // Something was heard, or following became ready; the sign may show it.
    void heardChanged();
    // Following stopped on its own, with the message to show.
    void failed(const QString &message);

private:
    void prepared(std::shared_ptr<FollowModel> model, quint64 session);
    void listen();
    void fail(const QString &message);
    void hear(const QStringList &utterance, bool ended);

    Recogniser m_recogniser;
    std::shared_ptr<FollowModel> m_model; // the last script's, kept for its next start
    std::unique_ptr<WordAligner> m_aligner;
    FollowSpeed m_speed;
    ReadingRate m_rate;
    QElapsedTimer m_clock; // since start
    quint64 m_session = 0; // counts starts and stops: a model made for an earlier one is let go
    bool m_following = false;
    bool m_ready = false;
    bool m_speaking = false; // an utterance is in progress
    QElapsedTimer m_pauseStarted; // since the last utterance ended
    int m_reached = -1;
    QString m_lastHeard;
};
