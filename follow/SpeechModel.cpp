#include "follow/SpeechModel.h"

#include "platform/SaveFile.h"

#include <QFile>
#include <QTextStream>

#include <cmath>
#include <map>

namespace
{

const QString kModelFolder = QStringLiteral("/usr/share/pocketsphinx/model/en-us");
const QString kStart = QStringLiteral("<s>");
const QString kEnd = QStringLiteral("</s>");

// A seen word pair keeps most of its first word's probability; the rest backs off to the
// unigrams, so words said out of order are still heard.
constexpr double kPairShare = 0.7;

QString log10Text(double probability)
{
    return QString::number(std::log10(probability), 'f', 4);
}

} // namespace

QString SpeechModel::acousticModel()
{
    return kModelFolder + QStringLiteral("/en-us");
}

QString SpeechModel::fullDictionary()
{
    return kModelFolder + QStringLiteral("/cmudict-en-us.dict");
}

QString SpeechModel::dictionaryPath() const
{
    return m_dir.filePath(QStringLiteral("script.dict"));
}

QString SpeechModel::languageModelPath() const
{
    return m_dir.filePath(QStringLiteral("script.lm"));
}

SpeechModel::Status SpeechModel::build(const QStringList &words)
{
    QFile dictionary(fullDictionary());
    if (!QFile::exists(acousticModel() + QStringLiteral("/mdef"))
        || !dictionary.open(QIODevice::ReadOnly | QIODevice::Text))
        return Status::NotInstalled;
    const QSet<QString> wanted(words.cbegin(), words.cend());

    // Each word's entries, its alternative pronunciations ("word(2)") too.
    QString entries;
    m_hearable.clear();
    QTextStream lines(&dictionary);
    QString line;
    while (lines.readLineInto(&line)) {
        const QString key = line.section(QLatin1Char(' '), 0, 0);
        const QString word = key.section(QLatin1Char('('), 0, 0);
        if (!wanted.contains(word))
            continue;
        m_hearable.insert(word);
        entries += line + QLatin1Char('\n');
    }
    QStringList heard;
    for (const QString &word : words) {
        if (m_hearable.contains(word))
            heard << word;
    }
    if (heard.isEmpty())
        return Status::NoWords;
    if (!m_dir.isValid() || !saveWhole(dictionaryPath(), entries.toUtf8())
        || !saveWhole(languageModelPath(), arpaModel(heard).toUtf8()))
        return Status::NotWritten;
    return Status::Ready;
}

QString arpaModel(const QStringList &words)
{
    QStringList sentence = words;
    sentence.prepend(kStart);
    sentence.append(kEnd);
    std::map<QString, int> unigrams;
    std::map<QString, std::map<QString, int>> bigrams;
    for (qsizetype i = 0; i < sentence.size(); ++i) {
        ++unigrams[sentence.at(i)];
        if (i > 0)
            ++bigrams[sentence.at(i - 1)][sentence.at(i)];
    }
    const double total = double(sentence.size());

    QString text;
    QTextStream out(&text);
    qsizetype pairs = 0;
    for (const auto &[first, next] : bigrams)
        pairs += qsizetype(next.size());
    out << "\\data\\\nngram 1=" << unigrams.size() << "\nngram 2=" << pairs << "\n\n\\1-grams:\n";
    for (const auto &[word, count] : unigrams) {
        // The start is never predicted; a word that begins no pair needs no back-off.
        const QString probability
            = word == kStart ? QStringLiteral("-99.0000") : log10Text(count / total);
        out << probability << ' ' << word;
        if (bigrams.count(word))
            out << ' ' << log10Text(1.0 - kPairShare);
        out << '\n';
    }
    out << "\n\\2-grams:\n";
    for (const auto &[first, next] : bigrams) {
        const double count = unigrams[first];
        for (const auto &[second, together] : next)
            out << log10Text(kPairShare * together / count) << ' ' << first << ' ' << second
                << '\n';
    }
    out << "\n\\end\\\n";
    return text;
}
