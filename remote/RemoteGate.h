#pragma once

#include "platform/SteadyClock.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

// Who may steer the prompt from the remote page: the pairing code drawn each time the remote
// is switched on, the session tokens pairing gives (one a device), and the addresses refused
// for a while after guessing. It knows no sockets: the server asks, the gate answers.
class RemoteGate
{
public:
    using Clock = SteadyClock;

    enum class Pairing { Paired, WrongCode, Refused, Full };

    static constexpr int kMaxDevices = 4;
    static constexpr int kMaxWrongCodes = 5; // in kWindowMs from one address
    static constexpr qint64 kWindowMs = 60'000;
    static constexpr qint64 kRefusedMs = 60'000;

    // Without a clock it reads the system's steady clock.
    explicit RemoteGate(Clock clock = {});

    // A new code, six digits; every token given before is void.
    void renew();
    QString code() const { return m_code; }

    // Pairs a device from an address with a code; with Paired, the new token in *token.
    Pairing pair(const QString &address, const QString &code, QString *token);
    // The address guessed too often, a minute ago at most.
    bool isRefused(const QString &address) const;
    // A token pairing gave and nobody has taken back.
    bool admits(const QString &token) const;
    // Every device must pair again.
    void forgetAll();

private:
    Clock m_clock;
    QString m_code;
    QSet<QString> m_tokens;
    QHash<QString, QList<qint64>> m_wrong; // address: the moments of its wrong codes
    QHash<QString, qint64> m_refusedUntil;
};
