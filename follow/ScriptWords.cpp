#include "follow/ScriptWords.h"

namespace
{

constexpr QChar kCurlyApostrophe(0x2019);

bool isApostrophe(QChar c)
{
    return c == u'\'' || c == kCurlyApostrophe;
}

// The recogniser's dictionary is in lower case with straight apostrophes.
QString spelt(const QString &word)
{
    return word.toLower().replace(kCurlyApostrophe, u'\'');
}

} // namespace

std::vector<ScriptWord> scriptWords(const QString &script)
{
    std::vector<ScriptWord> words;
    const qsizetype size = script.size();
    qsizetype start = -1; // of the word in progress, if any
    for (qsizetype i = 0; i <= size; ++i) {
        const bool inWord = i < size
            && (script[i].isLetterOrNumber()
                || (start >= 0 && isApostrophe(script[i]) && i + 1 < size
                    && script[i + 1].isLetterOrNumber()));
        if (inWord && start < 0) {
            start = i;
        } else if (!inWord && start >= 0) {
            words.push_back({ spelt(script.mid(start, i - start)), int(start) });
            start = -1;
        }
    }
    return words;
}

QString normalisedWord(const QString &word)
{
    qsizetype first = 0;
    qsizetype last = word.size();
    while (first < last && !word[first].isLetterOrNumber())
        ++first;
    while (last > first && !word[last - 1].isLetterOrNumber())
        --last;
    return spelt(word.mid(first, last - first));
}
