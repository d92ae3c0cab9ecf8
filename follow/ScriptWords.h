#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// The script's words as the recogniser spells them (lower case, letters, digits and inner
// apostrophes: "Don't," is "don't"), in order, with where each stands, and where each word
// occurs: the index that finds the presenter anywhere in the script. A word is kept as its
// number in the script's vocabulary, so a 10 MB script's words take a few tens of megabytes.
// Anything but letters, digits and apostrophes between words separates them: "well-known" is
// two words, "$5.50" is "5" and "50".
class ScriptWords final
{
public:
    explicit ScriptWords(const QString &script);

    int size() const { return int(m_words.size()); }
    // The i-th word's number in the vocabulary, and its spelling.
    int word(int i) const { return m_words[size_t(i)].word; }
    const QString &text(int i) const { return m_vocabulary[m_words[size_t(i)].word]; }
    // Where the i-th word's first character stands in the script, and one past its last.
    int position(int i) const { return m_words[size_t(i)].position; }
    int end(int i) const { return m_words[size_t(i)].position + m_words[size_t(i)].length; }
    // Whether two words stand in the same paragraph.
    bool sameParagraph(int i, int j) const
    {
        return m_words[size_t(i)].paragraph == m_words[size_t(j)].paragraph;
    }

    // Each distinct word once, by its number.
    const QStringList &vocabulary() const { return m_vocabulary; }
    // A spelling's number, -1 when the script does not have it.
    int numberOf(const QString &spelt) const { return m_numbers.value(spelt, -1); }
    // Where a word occurs, in order, by its number.
    const std::vector<int> &occurrences(int number) const { return m_occurrences[size_t(number)]; }

private:
    struct Word {
        int word;
        int position;
        int length;
        int paragraph;
    };
    std::vector<Word> m_words;
    QStringList m_vocabulary;
    QHash<QString, int> m_numbers;
    std::vector<std::vector<int>> m_occurrences;
};
