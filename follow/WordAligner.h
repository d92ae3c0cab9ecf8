#pragma once

#include <QSet>
#include <QStringList>

#include <vector>

// Where in the script the presenter is, from the recogniser's running hypotheses. The heard
// words are aligned in order with the script ahead, fuzzily: a word heard wrongly or not in the
// script costs nothing, a script word passed over costs a little, so a stray word far ahead never
// pulls the position there, while a skipped sentence is found again once a few of its followers
// are heard. The position never goes back.
class WordAligner final
{
public:
    // scriptWords: the script's normalised words in order; hearable: the words the recogniser can
    // hear (the others, such as names it has no spelling for, are skipped over), empty for all.
    WordAligner(QStringList scriptWords, QSet<QString> hearable = {});
    // The words heard so far in the utterance in progress, from its start. Returns the index of
    // the script word the presenter has reached (-1 before any), which never goes backwards.
    int hear(const QStringList &utterance);
    // The utterance ended (a pause): the next hear() starts a new one from where this one reached.
    void endUtterance();
    int position() const { return m_position; }
    // Whether the last words heard matched nothing ahead: the presenter is off the script.
    bool offScript() const;

private:
    QStringList m_words;
    std::vector<int> m_hearable; // indices of the script words the recogniser can hear
    int m_position = -1;
    int m_start = -1; // where the utterance in progress started
    int m_misses = 0; // words in a row, to the last heard, that matched nothing
    int m_startMisses = 0; // those of them heard before the utterance in progress
};
