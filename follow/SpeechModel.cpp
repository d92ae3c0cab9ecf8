#include "follow/SpeechModel.h"

#include "follow/ScriptWords.h"
#include "platform/SaveFile.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace
{

const QString kModelFolder = QStringLiteral("/usr/share/pocketsphinx/model/en-us");
const QString kStart = QStringLiteral("<s>");
const QString kEnd = QStringLiteral("</s>");

// A seen word pair keeps most of its first word's probability; the rest backs off to the
// unigrams, so words said out of order are still heard.
constexpr double kPairShare = 0.7;
// The most word pairs kept, the most frequent: the recogniser's memory stays bounded however
// long the script, and pairs seen once in a huge script say little of what comes next.
constexpr size_t kMostPairs = 300'000;

QString log10Text(double probability)
{
    return QString::number(std::log10(probability), 'f', 4);
}

quint64 pairKey(int first, int second)
{
    return (quint64(quint32(first)) << 32) | quint32(second);
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

SpeechModel::Status SpeechModel::build(const ScriptWords &words)
{
    QFile dictionary(fullDictionary());
    if (!QFile::exists(acousticModel() + QStringLiteral("/mdef"))
        || !dictionary.open(QIODevice::ReadOnly | QIODevice::Text))
        return Status::NotInstalled;

    // Each word's entries, its alternative pronunciations ("word(2)") too.
    QByteArray entries;
    m_hearable.assign(size_t(words.vocabulary().size()), false);
    bool any = false;
    QTextStream lines(&dictionary);
    QString line;
    while (lines.readLineInto(&line)) {
        const int number
            = words.numberOf(line.section(QLatin1Char(' '), 0, 0).section(QLatin1Char('('), 0, 0));
        if (number < 0)
            continue;
        m_hearable[size_t(number)] = true;
        any = true;
        entries += line.toUtf8() + '\n';
    }
    if (!any)
        return Status::NoWords;
    if (!m_dir.isValid() || !saveWhole(dictionaryPath(), entries) || !writeLanguageModel(words))
        return Status::NotWritten;
    return Status::Ready;
}

// An ARPA model of unigrams and bigrams of the hearable words in order, from one sentence
// boundary to the other.
bool SpeechModel::writeLanguageModel(const ScriptWords &words) const
{
    const int start = int(m_hearable.size()); // numbers beyond the vocabulary's
    const int end = start + 1;
    std::vector<int> counts(m_hearable.size() + 2, 0);
    std::unordered_map<quint64, int> pairCounts;
    int previous = start;
    ++counts[size_t(start)];
    for (int i = 0; i <= words.size(); ++i) {
        const int word = i < words.size() ? words.word(i) : end;
        if (word != end && !m_hearable[size_t(word)])
            continue;
        ++counts[size_t(word)];
        ++pairCounts[pairKey(previous, word)];
        previous = word;
    }
    std::vector<std::pair<quint64, int>> pairs(pairCounts.begin(), pairCounts.end());
    pairCounts = {};
    if (pairs.size() > kMostPairs) {
        std::nth_element(pairs.begin(), pairs.begin() + kMostPairs, pairs.end(),
            [](const auto &a, const auto &b) { return a.second > b.second; });
        pairs.resize(kMostPairs);
    }
    std::sort(pairs.begin(), pairs.end());
    std::vector<bool> beginsPair(counts.size(), false);
    for (const auto &[key, count] : pairs)
        beginsPair[size_t(key >> 32)] = true;

    const auto spelling = [&](int word) {
        return word == start ? kStart : word == end ? kEnd : words.vocabulary()[word];
    };
    QFile file(languageModelPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&file);
    const qsizetype unigrams
        = std::count_if(counts.begin(), counts.end(), [](int c) { return c > 0; });
    out << "\\data\\\nngram 1=" << unigrams << "\nngram 2=" << pairs.size() << "\n\n\\1-grams:\n";
    double total = 0;
    for (const int count : counts)
        total += count;
    for (int word = 0; word < int(counts.size()); ++word) {
        if (counts[size_t(word)] == 0)
            continue;
        // The start is never predicted; a word that begins no pair needs no back-off.
        out << (word == start ? QStringLiteral("-99.0000")
                              : log10Text(counts[size_t(word)] / total))
            << ' ' << spelling(word);
        if (beginsPair[size_t(word)])
            out << ' ' << log10Text(1.0 - kPairShare);
        out << '\n';
    }
    out << "\n\\2-grams:\n";
    for (const auto &[key, together] : pairs) {
        const int first = int(key >> 32);
        out << log10Text(kPairShare * together / counts[size_t(first)]) << ' ' << spelling(first)
            << ' ' << spelling(int(key & 0xffffffffu)) << '\n';
    }
    out << "\n\\end\\\n";
    out.flush();
    return out.status() == QTextStream::Ok && file.flush();
}
