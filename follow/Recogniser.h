#pragma once

#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>
#include <thread>

class SpeechModel;

// Listens to the shared sound input (the one a take is recorded from) on a thread of its
// own, and tells what it hears of the script's words as it hears them. The window thread
// only starts and stops it; the decoder is made on the listening thread, since a large
// script's model takes seconds to load, and what it hears arrives as queued signals.
class Recogniser final : public QObject
{
    Q_OBJECT

public:
    enum class Failure { None, NoInput };

    explicit Recogniser(QObject *parent = nullptr);
    ~Recogniser() override;

    // Starts listening for the model's words; returns at once, and tells ready once it hears.
    Failure start(const SpeechModel &model);
    void stop();
    bool isListening() const { return m_thread.joinable(); }

Q_SIGNALS:
    // The decoder is made: what is said from now on is heard.
    void ready();
    // The model could not be loaded; listening has stopped.
    void noModel();
    // The words of the utterance in progress from its start; ended when a pause closed it.
    void heard(const QStringList &utterance, bool ended);
    // The sound input went away; listening has stopped.
    void inputLost();

private:
    class Input;
    void listen(const QString &dictionary, const QString &languageModel, quint64 session);
    // Emits a signal of the session on the window thread, unless another began meanwhile.
    template <typename Emit> void tell(quint64 session, Emit emit);

    std::unique_ptr<Input> m_input;
    std::thread m_thread;
    std::atomic<bool> m_stopping { false };
    // Counts starts and stops on the window thread: what a stopped session still had on its
    // way arrives after it, and must not reach the next one.
    quint64 m_session = 0;
};
