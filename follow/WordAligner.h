#pragma once

#include <QStringList>

#include <optional>
#include <vector>

class ScriptWords;

// Where in the script the presenter is, from the recogniser's running hypotheses. The heard
// words are aligned in order with the script around the place reached, fuzzily: a word heard
// wrongly or not in the script costs nothing, a script word passed over costs a little, so a
// stray word far ahead never pulls the position there, while a skipped sentence is found again
// once a few of its followers are heard. Near the place reached the position only moves on.
// When the latest words match nothing there, the script's index is searched for them: a run
// of content words that are rare in the script, heard in its order anywhere, ahead or behind,
// moves the position there.
class WordAligner final
{
public:
    // hearable: by a word's number, whether the recogniser can hear it (the others, such as
    // names it has no spelling for, are skipped over); empty for all.
    WordAligner(const ScriptWords &script, std::vector<bool> hearable = {});
    // The words heard so far in the utterance in progress, from its start. Returns the index of
    // the script word the presenter has reached (-1 before any).
    int hear(const QStringList &utterance);
    // The utterance ended (a pause): the next hear() starts a new one from where this one reached.
    void endUtterance();
    int position() const { return m_position; }
    // Whether the last words heard matched nothing near: the presenter is off the script.
    bool offScript() const;

private:
    // The best alignment of heard words with width hearable script words from first on.
    struct Alignment {
        double score = 0;
        qsizetype lastHeard = -1; // the last heard word matched, and the script word it is
        int lastWord = -1;
        int firstWord = -1; // the first heard word matched, and the script word it is
        qsizetype firstHeard = -1;
        int contentWords = 0; // matched words that are not common ones
        int newContentWords = 0; // of those, the ones beyond the word reached
        qsizetype lastContentHeard = -1; // the last heard content word matched
        int rarestWords = 0; // content words matched that the script has once or twice
    };
    // reached: the script word reached, beyond which content words count as new; exact, for
    // the search: a word misheard matches nothing, and no small word is a content word.
    Alignment align(const QStringList &heard, qsizetype first, qsizetype width, int reached = -1,
        bool exact = false) const;
    // Where else in the script the heard words stand, if anywhere clearly.
    std::optional<Alignment> search(const QStringList &heard) const;
    // The index of the first hearable script word after a script word.
    qsizetype hearableAfter(int word) const;

    const ScriptWords &m_script;
    std::vector<int> m_hearable; // indices of the script words the recogniser can hear
    int m_position = -1;
    int m_start = -1; // where the utterance in progress started
    int m_misses = 0; // words in a row, to the last heard, that matched nothing
    int m_startMisses = 0; // those of them heard before the utterance in progress
};
