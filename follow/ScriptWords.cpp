#include "follow/ScriptWords.h"

namespace
{

constexpr QChar kCurlyApostrophe(0x2019);

bool isApostrophe(QChar c)
{
    return c == u'\'' || c == kCurlyApostrophe;
}

// The recogniser's dictionary is in lower case with straight apostrophes.
QString spelt(QStringView word)
{
    return word.toString().toLower().replace(kCurlyApostrophe, u'\'');
}

bool endsParagraph(QChar c)
{
    return c == u'\n' || c == QChar::ParagraphSeparator;
}

} // namespace

ScriptWords::ScriptWords(const QString &script)
{
    const qsizetype size = script.size();
    qsizetype start = -1; // of the word in progress, if any
    int paragraph = 0;
    for (qsizetype i = 0; i <= size; ++i) {
        const bool inWord = i < size
            && (script[i].isLetterOrNumber()
                || (start >= 0 && isApostrophe(script[i]) && i + 1 < size
                    && script[i + 1].isLetterOrNumber()));
        if (inWord && start < 0) {
            start = i;
        } else if (!inWord && start >= 0) {
            const QString text = spelt(QStringView(script).mid(start, i - start));
            auto known = m_numbers.constFind(text);
            if (known == m_numbers.cend()) {
                known = m_numbers.insert(text, int(m_vocabulary.size()));
                m_vocabulary << text;
                m_occurrences.emplace_back();
            }
            m_occurrences[size_t(*known)].push_back(int(m_words.size()));
            m_words.push_back({ *known, int(start), int(i - start), paragraph });
            start = -1;
        }
        if (i < size && endsParagraph(script[i]))
            ++paragraph;
    }
}
