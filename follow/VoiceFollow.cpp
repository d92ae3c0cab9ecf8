#include "follow/VoiceFollow.h"

#include "follow/WordAligner.h"

namespace
{

// Words the presenter is ahead of the last one heard.
constexpr int kLead = 1;
// Seconds of quiet the speed is told of at the end of an utterance: the recogniser ends one
// only after a pause of its own, so the text stops at once.
constexpr double kStopAfterPause = 1.0;

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
    connect(&m_recogniser, &Recogniser::inputLost, this, [this] {
        stop();
        Q_EMIT failed(QStringLiteral(
            "THE SOUND INPUT STOPPED. THE VOICE IS NO LONGER FOLLOWED; THE PROMPT SCROLLS BY ITS "
            "SPEED."));
    });
}

VoiceFollow::~VoiceFollow() = default;

std::optional<QString> VoiceFollow::start(const QString &script)
{
    stop();
    m_words = scriptWords(script);
    QStringList words;
    words.reserve(qsizetype(m_words.size()));
    for (const ScriptWord &word : m_words)
        words << word.text;
    auto model = std::make_unique<SpeechModel>();
    switch (model->build(words)) {
    case SpeechModel::Status::NotInstalled:
        return cannotFollow("THE ENGLISH SPEECH MODEL IS NOT INSTALLED.");
    case SpeechModel::Status::NoWords:
        return cannotFollow("THE SCRIPT HAS NO ENGLISH WORDS TO LISTEN FOR.");
    case SpeechModel::Status::NotWritten:
        return cannotFollow("ITS FILES COULD NOT BE WRITTEN.");
    case SpeechModel::Status::Ready:
        break;
    }
    switch (m_recogniser.start(*model)) {
    case Recogniser::Failure::NoModel:
        return cannotFollow("THE ENGLISH SPEECH MODEL COULD NOT BE LOADED.");
    case Recogniser::Failure::NoInput:
        return cannotFollow("THERE IS NO SOUND INPUT.");
    case Recogniser::Failure::None:
        break;
    }
    m_aligner = std::make_unique<WordAligner>(words, model->hearable());
    m_model = std::move(model);
    m_speed.reset();
    m_reached = -1;
    m_lastHeard.clear();
    m_speaking = false;
    m_pauseStarted.invalidate();
    return std::nullopt;
}

void VoiceFollow::stop()
{
    m_recogniser.stop();
}

int VoiceFollow::spokenPosition() const
{
    // The recogniser tells of a word about half a second after it was said, when the presenter
    // is already a word or two further on.
    const size_t next = size_t(m_reached + kLead);
    if (m_words.empty())
        return 0;
    return next < m_words.size() ? m_words[next].position : m_words.back().position;
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

void VoiceFollow::hear(const QStringList &utterance, bool ended)
{
    if (!m_aligner)
        return;
    const int reached = m_aligner->hear(utterance);
    if (ended)
        m_aligner->endUtterance();
    m_reached = reached;
    m_speaking = !ended;
    if (ended)
        m_pauseStarted.start();
    if (!utterance.isEmpty()) {
        m_lastHeard = utterance.mid(qMax(0, utterance.size() - 6)).join(QLatin1Char(' '));
        Q_EMIT heardChanged();
    }
}
