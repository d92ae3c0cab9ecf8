#include "follow/WordAligner.h"

#include "follow/ScriptWords.h"

#include <QSet>

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
// Words in a row that matched no content word near before the whole script is searched
// for them.
constexpr int kSearchAfterMisses = 2;
// Hearable words ahead of the one reached that a single content word may move the position
// by; beyond, it takes this many.
constexpr qsizetype kFreeAhead = 4;
constexpr int kFoundAhead = 2;
// What finds the presenter elsewhere: this many content words matched in order, among them
// one the script has at most kRareWord times, or two next to each other that it has at most
// kRarestWord times each, ahead; going back always takes the first. A refrain or a list read
// twice is found where it is nearest ahead.
constexpr int kFoundWords = 3;
constexpr size_t kRareWord = 40;
constexpr size_t kRarestWord = 2;
// The latest words heard that are searched for: the run found must be among them.
constexpr qsizetype kSearched = 6;
// Words missed or misheard in such a run.
constexpr qsizetype kLooseWords = 2;
// The rarest heard words the search starts from.
constexpr int kSearchFrom = 3;

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

// The other small words of English, of which an ad-lib is mostly made: the search for the
// presenter elsewhere counts none of them as telling.
bool isSmallWord(const QString &word)
{
    static const QSet<QString> small { "this", "these", "those", "there", "then", "than", "when",
        "what", "who", "which", "where", "how", "why", "they", "them", "their", "he", "she", "his",
        "her", "him", "me", "my", "our", "us", "your", "its", "are", "was", "were", "been", "am",
        "do", "does", "did", "have", "has", "had", "will", "would", "can", "could", "should",
        "shall", "may", "might", "must", "not", "no", "yes", "from", "by", "up", "out", "about",
        "into", "if", "all", "just", "now", "some", "any", "very", "too", "also", "here", "well",
        "oh", "okay", "ok", "right", "let", "get", "got", "go", "going", "one" };
    return isCommon(word) || small.contains(word);
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

WordAligner::WordAligner(const ScriptWords &script, std::vector<bool> hearable)
    : m_script(script)
{
    for (int i = 0; i < script.size(); ++i) {
        if (hearable.empty() || hearable[size_t(script.word(i))])
            m_hearable.push_back(i);
    }
}

qsizetype WordAligner::hearableAfter(int word) const
{
    return std::upper_bound(m_hearable.begin(), m_hearable.end(), word) - m_hearable.begin();
}

WordAligner::Alignment WordAligner::align(
    const QStringList &heard, qsizetype first, qsizetype width, int reached, bool exact) const
{
    // The best alignment of the words heard so far with the script's first j words from there.
    std::vector<Alignment> row(size_t(width) + 1);
    for (qsizetype j = 1; j <= width; ++j)
        row[size_t(j)] = { row[size_t(j) - 1].score - kPassOver };
    for (qsizetype i = 0; i < heard.size(); ++i) {
        std::vector<Alignment> next(row.size());
        next[0] = row[0];
        const bool common = exact ? isSmallWord(heard[i]) : isCommon(heard[i]);
        for (qsizetype j = 1; j <= width; ++j) {
            const int word = m_hearable[size_t(first + j - 1)];
            Alignment best = row[size_t(j)]; // heard, but not in the script here
            const Alignment &passed = next[size_t(j) - 1];
            if (passed.score - kPassOver > best.score) {
                best = passed;
                best.score -= kPassOver;
            }
            const Alignment &before = row[size_t(j) - 1];
            const bool inARow = !common && j > 1 && before.lastHeard == i - 1
                && before.lastWord == m_hearable[size_t(first + j - 2)];
            const double matched
                = before.score + (common ? kCommonMatch : kContentMatch) + (inARow ? kInARow : 0.0);
            const QString &written = m_script.text(word);
            if ((exact ? heard[i] == written : alike(heard[i], written)) && matched >= best.score)
                best = { matched, i, word, before.firstWord < 0 ? word : before.firstWord,
                    before.firstWord < 0 ? i : before.firstHeard,
                    before.contentWords + (common ? 0 : 1),
                    before.newContentWords + (!common && word > reached ? 1 : 0),
                    common ? before.lastContentHeard : i,
                    before.rarestWords
                        + (!common
                                    && m_script.occurrences(m_script.word(word)).size()
                                        <= kRarestWord
                                ? 1
                                : 0) };
            next[size_t(j)] = best;
        }
        row = std::move(next);
    }
    // Where the best alignment ends; of equals, the nearest.
    return *std::max_element(row.begin(), row.end(),
        [](const Alignment &a, const Alignment &b) { return a.score < b.score; });
}

std::optional<WordAligner::Alignment> WordAligner::search(const QStringList &heard) const
{
    // The rarest content words heard, by the script's count of them.
    std::vector<std::pair<size_t, int>> rarest; // count, number
    for (const QString &word : heard) {
        const int number = m_script.numberOf(word);
        if (number < 0 || isSmallWord(word))
            continue;
        const size_t count = m_script.occurrences(number).size();
        if (count <= kRareWord)
            rarest.emplace_back(count, number);
    }
    std::sort(rarest.begin(), rarest.end());
    rarest.erase(std::unique(rarest.begin(), rarest.end()), rarest.end());
    if (rarest.size() > size_t(kSearchFrom))
        rarest.resize(size_t(kSearchFrom));

    // Around each place a rare word stands: the heard words fit within twice their number
    // of script words on either side.
    std::vector<qsizetype> places;
    for (const auto &[count, number] : rarest) {
        for (const int word : m_script.occurrences(number))
            places.push_back(hearableAfter(word) - 1);
    }
    std::sort(places.begin(), places.end());
    const qsizetype reach = 2 * heard.size() + 2;
    const qsizetype here = hearableAfter(m_position);
    std::optional<Alignment> found;
    qsizetype foundAt = 0;
    qsizetype searchedTo = -1;
    for (const qsizetype place : places) {
        if (place < 0 || place <= searchedTo)
            continue;
        const qsizetype first = std::max(qsizetype(0), place - reach);
        const qsizetype width = std::min(qsizetype(m_hearable.size()) - first, 2 * reach + 1);
        searchedTo = first + width - 1;
        // Found where the words stand as heard: a misheard word found elsewhere may be any.
        const Alignment alignment = align(heard, first, width, -1, true);
        // In a row: as many script words as words heard, give or take a word missed or misheard.
        const qsizetype heardRun = alignment.lastHeard - alignment.firstHeard + 1;
        const qsizetype scriptRun
            = hearableAfter(alignment.lastWord) - hearableAfter(alignment.firstWord) + 1;
        const bool telling = alignment.contentWords >= kFoundWords
            || (alignment.rarestWords >= 2 && heardRun == 2 && scriptRun == 2
                && alignment.lastWord > m_position);
        if (!telling || std::abs(scriptRun - heardRun) > kLooseWords
            || heardRun > 2 * alignment.contentWords + kLooseWords)
            continue;
        // Of equal ones, the nearest ahead, then the nearest behind.
        const qsizetype at = hearableAfter(alignment.lastWord);
        const qsizetype away = at >= here ? at - here : 2 * (here - at);
        if (!found || alignment.score > found->score
            || (alignment.score == found->score && away < foundAt)) {
            found = alignment;
            foundAt = away;
        }
    }
    return found;
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
    const qsizetype reachedAt = hearableAfter(std::max(m_start, m_position));
    const qsizetype utteranceAt = hearableAfter(m_start);
    const qsizetype first = std::max(utteranceAt, reachedAt - kRecent);
    const qsizetype width = std::min(qsizetype(m_hearable.size()) - first, kRecent + kWindow);
    Alignment best = align(heard, first, width, m_position);
    // A move more than a few words on needs two content words heard there in the script's
    // order: one alone is as likely a word of an ad-lib that the recogniser, which knows only
    // the script's words, took for one of them. Without them only the next few count.
    const qsizetype near = hearableAfter(m_position) + kFreeAhead - first;
    if (best.lastWord >= 0 && hearableAfter(best.lastWord) - first > near
        && best.newContentWords < kFoundAhead)
        best = align(heard, first, std::clamp<qsizetype>(near, 0, width), m_position);
    m_misses = best.lastHeard < 0 ? m_startMisses + int(heard.size())
                                  : int(heard.size() - 1 - best.lastHeard);
    if (best.lastWord >= 0)
        m_position = std::max(m_position, best.lastWord);
    // The latest words since the last content word matched near, searched for anywhere.
    const qsizetype since = best.lastContentHeard + 1;
    const QStringList unmatched = heard.mid(std::max(since, heard.size() - kSearched));
    if (unmatched.size() >= kSearchAfterMisses) {
        if (const std::optional<Alignment> found = search(unmatched)) {
            // The rest of the utterance is aligned from where they were found.
            m_position = found->lastWord;
            m_start = found->firstWord - 1;
            m_misses = int(unmatched.size() - 1 - found->lastHeard);
            m_startMisses = 0;
        }
    }
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
