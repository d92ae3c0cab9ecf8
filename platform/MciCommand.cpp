#include "platform/MciCommand.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <utility>

namespace
{

bool is(const QString &word, QLatin1StringView keyword)
{
    return word.compare(keyword, Qt::CaseInsensitive) == 0;
}

// Numeric values are unsigned 32-bit, as the platform's are.
std::optional<qint64> number(const QString &word)
{
    bool ok = false;
    const qint64 value = word.toLongLong(&ok);
    return ok && value >= 0 && value <= 0xFFFFFFFFLL ? std::optional<qint64>(value) : std::nullopt;
}

MciError parseOpen(const QStringList &words, MciCommand &command)
{
    for (qsizetype i = 2; i < words.size(); i += 2) {
        if (i + 1 >= words.size())
            return MciError::MissingParameter;
        if (is(words.at(i), QLatin1StringView("type")))
            command.type = words.at(i + 1);
        else if (is(words.at(i), QLatin1StringView("alias")))
            command.alias = words.at(i + 1);
        else
            return MciError::BadParameter;
    }
    // Only new, empty elements are opened; existing files are not.
    if (!is(command.device, QLatin1StringView("new")))
        return MciError::BadParameter;
    if (command.type.isEmpty() || command.alias.isEmpty())
        return MciError::MissingParameter;
    return MciError::None;
}

MciError parseSet(const QStringList &words, MciCommand &command)
{
    MciSettings &s = command.settings;
    for (qsizetype i = 2; i < words.size();) {
        const QString &key = words.at(i);
        if (is(key, QLatin1StringView("time"))) {
            if (i + 2 >= words.size())
                return MciError::MissingParameter;
            if (!is(words.at(i + 1), QLatin1StringView("format")))
                return MciError::BadParameter;
            s.timeFormat = words.at(i + 2).toLower();
            i += 3;
            continue;
        }
        std::optional<qint64> *field = nullptr;
        if (is(key, QLatin1StringView("bitspersample")))
            field = &s.bitsPerSample;
        else if (is(key, QLatin1StringView("channels")))
            field = &s.channels;
        else if (is(key, QLatin1StringView("samplespersec")))
            field = &s.samplesPerSec;
        else if (is(key, QLatin1StringView("bytespersec")))
            field = &s.bytesPerSec;
        else if (is(key, QLatin1StringView("alignment")))
            field = &s.alignment;
        else
            return MciError::BadParameter;
        if (i + 1 >= words.size())
            return MciError::MissingParameter;
        *field = number(words.at(i + 1));
        if (!*field)
            return MciError::BadParameter;
        i += 2;
    }
    return words.size() > 2 ? MciError::None : MciError::MissingParameter;
}

MciError parsePlay(const QStringList &words, MciCommand &command)
{
    if (words.size() == 2)
        return MciError::None;
    if (!is(words.at(2), QLatin1StringView("from")))
        return MciError::BadParameter;
    if (words.size() < 4)
        return MciError::MissingParameter;
    if (words.size() > 4)
        return MciError::BadParameter;
    const std::optional<qint64> from = number(words.at(3));
    if (!from)
        return MciError::BadParameter;
    command.fromMs = *from;
    return MciError::None;
}

MciError parseSave(const QString &text, MciCommand &command)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*save\s+\S+\s+(.*?)(?:\s+wait)?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text);
    QString path = match.hasMatch() ? match.captured(1) : QString();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    if (path.isEmpty())
        return MciError::MissingParameter;
    command.path = path;
    return MciError::None;
}

} // namespace

MciError parseMciCommand(const QString &text, MciCommand &command)
{
    command = MciCommand();
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return MciError::UnknownCommand;

    using Verb = MciCommand::Verb;
    static constexpr std::pair<QLatin1StringView, Verb> kVerbs[] = {
        { QLatin1StringView("open"), Verb::Open },
        { QLatin1StringView("close"), Verb::Close },
        { QLatin1StringView("set"), Verb::Set },
        { QLatin1StringView("record"), Verb::Record },
        { QLatin1StringView("stop"), Verb::Stop },
        { QLatin1StringView("play"), Verb::Play },
        { QLatin1StringView("save"), Verb::Save },
    };
    const auto known = std::find_if(std::begin(kVerbs), std::end(kVerbs),
        [&](const auto &entry) { return is(words.first(), entry.first); });
    if (known == std::end(kVerbs))
        return MciError::UnknownCommand;
    command.verb = known->second;

    if (words.size() < 2)
        return MciError::MissingParameter;
    command.device = words.at(1);

    switch (command.verb) {
    case MciCommand::Verb::Open:
        return parseOpen(words, command);
    case MciCommand::Verb::Set:
        return parseSet(words, command);
    case MciCommand::Verb::Play:
        return parsePlay(words, command);
    case MciCommand::Verb::Save:
        return parseSave(text, command);
    case MciCommand::Verb::Close:
    case MciCommand::Verb::Record:
    case MciCommand::Verb::Stop:
        break;
    }
    return words.size() == 2 ? MciError::None : MciError::BadParameter;
}
