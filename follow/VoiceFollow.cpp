#include "follow/VoiceFollow.h"

#include "follow/ScriptWords.h"
#include "follow/SpeechModel.h"
#include "follow/WordAligner.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

// One script's words and the speech model of them.
class FollowModel final
{
public:
    FollowModel(const QString &script, size_t key)
        : key(key)
        , length(script.size())
        , words(script)
        , status(speech.build(words))
    {
    }
    bool isFor(const QString &script, size_t scriptKey) const
    {
        return key == scriptKey && length == script.size();
    }

    const size_t key; // the script's hash
    const qsizetype length;
    const ScriptWords words;
    SpeechModel speech;
    const SpeechModel::Status status;
};

namespace
{

// Words the presenter is ahead of the last one heard.
constexpr int kLead = 1;
// Seconds of quiet the speed is told of at the end of an utterance: the recogniser ends one
// only after a pause of its own, so the text stops at once.
constexpr double kStopAfterPause = 1.0;
// A move of more words than this is the presenter found elsewhere, not words read.
constexpr int kMostWordsRead = 12;

QString cannotFollow(const char *why)
{
    return QStringLiteral("THE VOICE CANNOT BE FOLLOWED: %1 THE PROMPT SCROLLS BY ITS SPEED.")
        .arg(QLatin1String(why));
}

} // namespace

VoiceFollow::VoiceFollow(QObject *parent)
    : QObject(parent)
{
    connect(&m_recogniser, &Recogniser::heard, this, &VoiceFollow::hear);
    connect(&m_recogniser, &Recogniser::ready, this, [this] {
        m_ready = true;
        Q_EMIT heardChanged();
    });
    connect(&m_recogniser, &Recogniser::noModel, this,
        [this] { fail(cannotFollow("THE ENGLISH SPEECH MODEL COULD NOT BE LOADED.")); });
    connect(&m_recogniser, &Recogniser::inputLost, this, [this] {
        fail(QStringLiteral(
            "THE SOUND INPUT STOPPED. THE VOICE IS NO LONGER FOLLOWED; THE PROMPT SCROLLS BY ITS "
            "SPEED."));
    });
}

VoiceFollow::~VoiceFollow()
{
    stop();
}

void VoiceFollow::start(const QString &script)
{
    stop();
    m_following = true;
    m_speed.reset();
    m_rate.reset();
    m_clock.start();
    m_reached = -1;
    m_lastHeard.clear();
    m_speaking = false;
    m_pauseStarted.invalidate();
    const quint64 session = m_session;
    const size_t key = qHash(script);
    if (m_model && m_model->isFor(script, key)) {
        QMetaObject::invokeMethod(
            this, [this, session] { prepared(m_model, session); }, Qt::QueuedConnection);
        return;
    }
    m_model.reset(); // its memory is free for the new one
    auto *watcher = new QFutureWatcher<std::shared_ptr<FollowModel>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, session] {
        prepared(watcher->result(), session);
        watcher->deleteLater();
    });
    watcher->setFuture(
        QtConcurrent::run([script, key] { return std::make_shared<FollowModel>(script, key); }));
}

void VoiceFollow::prepared(std::shared_ptr<FollowModel> model, quint64 session)
{
    if (session != m_session)
        return; // stopped meanwhile: a later start made its own
    m_model = std::move(model);
    switch (m_model->status) {
    case SpeechModel::Status::NotInstalled:
        return fail(cannotFollow("THE ENGLISH SPEECH MODEL IS NOT INSTALLED."));
    case SpeechModel::Status::NoWords:
        return fail(cannotFollow("THE SCRIPT HAS NO ENGLISH WORDS TO LISTEN FOR."));
    case SpeechModel::Status::NotWritten:
        return fail(cannotFollow("ITS FILES COULD NOT BE WRITTEN."));
    case SpeechModel::Status::Ready:
        break;
    }
    if (m_recogniser.start(m_model->speech) == Recogniser::Failure::NoInput)
        return fail(cannotFollow("THERE IS NO SOUND INPUT."));
    m_aligner = std::make_unique<WordAligner>(m_model->words, m_model->speech.hearable());
}

void VoiceFollow::fail(const QString &message)
{
    stop();
    Q_EMIT failed(message);
}

void VoiceFollow::stop()
{
    ++m_session;
    m_recogniser.stop();
    m_aligner.reset();
    m_following = false;
    m_ready = false;
}

int VoiceFollow::spokenPosition() const
{
    if (!m_aligner || m_model->words.size() == 0)
        return 0;
    const ScriptWords &words = m_model->words;
    if (m_reached < 0)
        return words.position(0);
    // The recogniser tells of a word about half a second after it was said, when the presenter
    // is already a word or two further on; but not into the next paragraph, where he pauses.
    const int next = std::min(m_reached + kLead, words.size() - 1);
    return words.sameParagraph(m_reached, next) ? words.position(next) : words.end(m_reached);
}

int VoiceFollow::speedFor(double distance)
{
    // While the presenter speaks the text keeps up with the words heard, between the
    // recogniser's reports too; once a pause ends his utterance it stops. Until the first word
    // the script's beginning comes up to the reading line and waits there.
    const double quietFor = m_speaking || !m_pauseStarted.isValid()
        ? 0.0
        : kStopAfterPause + m_pauseStarted.elapsed() / 1000.0;
    return m_speed.speedFor(distance, quietFor, m_aligner && m_aligner->offScript());
}

std::optional<int> VoiceFollow::wordsPerMinute() const
{
    return m_following ? m_rate.wordsPerMinute(m_clock.elapsed()) : std::nullopt;
}

std::optional<qint64> VoiceFollow::leftAtReadingRate() const
{
    const std::optional<int> rate = wordsPerMinute();
    if (!rate || *rate <= 0 || !m_model)
        return std::nullopt;
    const int left = m_model->words.size() - 1 - m_reached;
    return qint64(double(left) / *rate * 60'000.0);
}

void VoiceFollow::hear(const QStringList &utterance, bool ended)
{
    if (!m_aligner)
        return;
    const int reached = m_aligner->hear(utterance);
    if (ended)
        m_aligner->endUtterance();
    if (reached > m_reached && reached - m_reached <= kMostWordsRead)
        m_rate.read(reached - m_reached, m_clock.elapsed());
    m_reached = reached;
    m_speaking = !ended;
    if (ended)
        m_pauseStarted.start();
    if (!utterance.isEmpty()) {
        m_lastHeard = utterance.mid(qMax(0, utterance.size() - 6)).join(QLatin1Char(' '));
        Q_EMIT heardChanged();
    }
}
