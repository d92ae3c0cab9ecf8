#include "remote/RemoteGate.h"

#include <QRandomGenerator>

RemoteGate::RemoteGate(Clock clock)
    : m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = systemSteadyClock();
    renew();
}

void RemoteGate::renew()
{
    // The system's generator: a code or a token must not be foreseeable.
    QRandomGenerator *random = QRandomGenerator::system();
    m_code = QStringLiteral("%1").arg(random->bounded(1'000'000), 6, 10, QLatin1Char('0'));
    m_tokens.clear();
}

RemoteGate::Pairing RemoteGate::pair(const QString &address, const QString &code, QString *token)
{
    if (isRefused(address))
        return Pairing::Refused;
    const qint64 now = m_clock();
    if (code != m_code) {
        QList<qint64> &wrong = m_wrong[address];
        wrong.removeIf([now](qint64 at) { return now - at >= kWindowMs; });
        wrong.append(now);
        if (wrong.size() >= kMaxWrongCodes) {
            wrong.clear();
            m_refusedUntil.insert(address, now + kRefusedMs);
            return Pairing::Refused;
        }
        return Pairing::WrongCode;
    }
    if (m_tokens.size() >= kMaxDevices)
        return Pairing::Full;
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString made;
    for (const quint32 word : words)
        made += QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0'));
    m_tokens.insert(made);
    *token = made;
    return Pairing::Paired;
}

bool RemoteGate::isRefused(const QString &address) const
{
    const auto until = m_refusedUntil.constFind(address);
    return until != m_refusedUntil.cend() && m_clock() < *until;
}

bool RemoteGate::admits(const QString &token) const
{
    return !token.isEmpty() && m_tokens.contains(token);
}

void RemoteGate::forgetAll()
{
    m_tokens.clear();
}
