#include "follow/WordAligner.h"

#include <algorithm>
#include <iterator>
#include <numeric>

namespace
{

// What a heard word matching the script is worth, and what passing over a script word costs:
// one word heard pays for passing over ten, so a stray word far ahead stays where it is,
// while two heard in a row there find a skipped sentence again. Common words are worth little,
// in a row or not: "to the east and" is in many a script more than once.
constexpr double kContentMatch = 1.0;
constexpr double kCommonMatch = 0.1;
constexpr double kInARow = 0.5; // a word heard right after the one before it in the script
constexpr double kPassOver = 0.1;
// The latest words heard that are aligned, and the script words looked at beyond them.
constexpr qsizetype kRecent = 12;
constexpr qsizetype kWindow = 40;
// Words in a row that matched nothing before the presenter counts as off the script.
constexpr int kOffScriptMisses = 3;

bool isFiller(const QString &word)
{
    static const QSet<QString> fillers { "um", "uh", "er", "erm", "ah", "hmm", "mm" };
    return fillers.contains(word);
}

// Words so frequent that hearing one ahead says little about where the presenter is.
bool isCommon(const QString &word)
{
    static const QSet<QString> common { "the", "a", "an", "and", "or", "but", "to", "of", "in",
        "on", "at", "is", "it", "i", "you", "we", "that", "for", "as", "be", "so", "with" };
    return common.contains(word);
}

// Equal, or close enough to be the word misrecognised: a letter wrong in four.
bool alike(const QString &heard, const QString &written)
{
    if (heard == written)
        return true;
    const qsizetype shorter = std::min(heard.size(), written.size());
    const qsizetype longer = std::max(heard.size(), written.size());
    const qsizetype limit = std::max<qsizetype>(1, longer / 4);
    if (shorter < 4 || longer - shorter > limit)
        return false;
    std::vector<qsizetype> row(written.size() + 1); // edit distances to written's prefixes
    std::iota(row.begin(), row.end(), 0);
    for (qsizetype i = 1; i <= heard.size(); ++i) {
        qsizetype diagonal = row[0];
        row[0] = i;
        for (qsizetype j = 1; j <= written.size(); ++j) {
            const qsizetype above = row[j];
            row[j] = std::min(
                { above + 1, row[j - 1] + 1, diagonal + (heard[i - 1] == written[j - 1] ? 0 : 1) });
            diagonal = above;
        }
    }
    return row.back() <= limit;
}

} // namespace

WordAligner::WordAligner(QStringList scriptWords, QSet<QString> hearable)
    : m_words(std::move(scriptWords))
{
    for (int i = 0; i < m_words.size(); ++i) {
        if (hearable.isEmpty() || hearable.contains(m_words[i]))
            m_hearable.push_back(i);
    }
}

int WordAligner::hear(const QStringList &utterance)
{
    QStringList heard;
    std::copy_if(utterance.begin(), utterance.end(), std::back_inserter(heard),
        [](const QString &word) { return !isFiller(word); });
    // The latest words again, from a little before where they may start: the recogniser
    // revises its hypothesis as it hears more, and earlier words have placed the position.
    if (heard.size() > kRecent)
        heard = heard.mid(heard.size() - kRecent);
    const qsizetype reachedAt
        = std::upper_bound(m_hearable.begin(), m_hearable.end(), std::max(m_start, m_position))
        - m_hearable.begin();
    const qsizetype utteranceAt
        = std::upper_bound(m_hearable.begin(), m_hearable.end(), m_start) - m_hearable.begin();
    const qsizetype first = std::max(utteranceAt, reachedAt - kRecent);
    const qsizetype width = std::min(qsizetype(m_hearable.size()) - first, kRecent + kWindow);
    // The best alignment of the words heard so far with the script's first j words from there:
    // its score, the last heard word it matched and the script word that one is.
    struct Cell {
        double score = 0;
        qsizetype lastHeard = -1;
        int lastWord = -1;
    };
    std::vector<Cell> row(size_t(width) + 1);
    for (qsizetype j = 1; j <= width; ++j)
        row[size_t(j)] = { row[size_t(j) - 1].score - kPassOver, -1, -1 };
    for (qsizetype i = 0; i < heard.size(); ++i) {
        std::vector<Cell> next(row.size());
        next[0] = row[0];
        const double worth = isCommon(heard[i]) ? kCommonMatch : kContentMatch;
        for (qsizetype j = 1; j <= width; ++j) {
            const int word = m_hearable[size_t(first + j - 1)];
            Cell best = row[size_t(j)]; // heard, but not in the script here
            if (next[size_t(j) - 1].score - kPassOver > best.score)
                best = { next[size_t(j) - 1].score - kPassOver, next[size_t(j) - 1].lastHeard,
                    next[size_t(j) - 1].lastWord };
            const Cell &before = row[size_t(j) - 1];
            const bool inARow = !isCommon(heard[i]) && j > 1 && before.lastHeard == i - 1
                && before.lastWord == m_hearable[size_t(first + j - 2)];
            const double matched = before.score + worth + (inARow ? kInARow : 0.0);
            if (alike(heard[i], m_words[word]) && matched >= best.score)
                best = { matched, i, word };
            next[size_t(j)] = best;
        }
        row = std::move(next);
    }
    // Where the best alignment ends; of equals, the nearest.
    const auto best = std::max_element(
        row.begin(), row.end(), [](const Cell &a, const Cell &b) { return a.score < b.score; });
    m_misses = best->lastHeard < 0 ? m_startMisses + int(heard.size())
                                   : int(heard.size() - 1 - best->lastHeard);
    if (best->lastWord >= 0)
        m_position = std::max(m_position, best->lastWord);
    return m_position;
}

void WordAligner::endUtterance()
{
    m_start = m_position;
    m_startMisses = m_misses;
}

bool WordAligner::offScript() const
{
    return m_misses >= kOffScriptMisses;
}
