#include "follow/FollowSpeed.h"
#include "follow/ReadingRate.h"
#include "follow/ScriptWords.h"
#include "follow/SpeechModel.h"
#include "follow/SpeechResampler.h"
#include "follow/WordAligner.h"

#include <QFile>
#include <QTest>

#include <cmath>
#include <complex>
#include <numbers>

class tst_Follow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A script's words as "text@position", and the paragraphs they stand in.
    void words_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("words");
        const auto row
            = [](const char *t, const char *w) { QTest::newRow(t) << QString(t) << QString(w); };
        row("Don't,", "don't@0");
        row("‘It’s’", "it's@1");
        row("'tis o''clock dogs'", "tis@1 o@5 clock@8 dogs@14");
        row("(Well-known\t 2nd)", "well@1 known@6 2nd@13");
        row("$5.50, 20%", "5@1 50@3 20@7");
        row("«Ærø Привет»", "ærø@1 привет@5");
        row(" -- ", "");
        row("Good night.\n\nGood day\u2029good", "good@0 night@5 | good@13 day@18 | good@22");
    }
    void words()
    {
        QFETCH(QString, text);
        QFETCH(QString, words);
        const ScriptWords script(text);
        QStringList listed;
        for (int i = 0; i < script.size(); ++i) {
            if (i > 0 && !script.sameParagraph(i - 1, i))
                listed << "|";
            listed << QStringLiteral("%1@%2").arg(script.text(i)).arg(script.position(i));
        }
        QCOMPARE(listed.join(u' '), words);
    }
    // The position reached after each hypothesis ("/": the utterance ends), "!" when off script.
    void aligner_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("reached");
        QTest::addColumn<bool>("namesHeard");
        const QString survey
            = "good evening everyone tonight we look at the river project and its "
              "costs siobhan kearney and aoife brennan led the survey the water rose";
        const auto row = [&](const char *n, QStringList s, const char *r, bool h = true) {
            QTest::newRow(n) << survey << s << QString(r) << h;
        };
        const QString g = "good evening everyone ", t = g + "tonight ";
        const QString words = t + "we look at the river project and its";
        row("word for word", { "", "good", "good evening", words }, "-1 0 1 11");
        row("misrecognised",
            { "good evenings", t + "we look at the rivers projects and it's cost" }, "1 12");
        row("filler", { "good evening um uh er", "um good evening uh er everyone" }, "1 2");
        row("skipped sentence", { "good evening", "good evening water", g + "water rose" },
            "1 1 23");
        row("stray far word, common word", { g + "water", t + "water at", t + "water at look" },
            "2 3 5");
        row("its opening read again", { t, "/", g, g + "we look" }, "3 3 2 5");
        row("revised hypotheses",
            { "good evening every one", t + "we", t, t + "river", t + "river project" },
            "1 4 4 8 9");
        row("unhearable names", { words + " costs and led" }, "18", false);
        row("off script, then later",
            { "good", "/", "sorry my notes fell", "/", "right", "right the water rose" },
            "0 0 0! 0! 0! 23");

        // A harbour's story, with a refrain; its last paragraph is beyond the words looked at
        // ahead of its first.
        const QStringList harbour = { "the harbour wall was built in stone by fishermen long ago",
            "every winter the storms tested it and every spring the village repaired the damage",
            "sing along with the chorus of the lighthouse keepers",
            "a new museum now tells the story with photographs maps and old tools",
            "visitors can climb the tower on weekends during the summer season",
            "sing along with the chorus of the lighthouse keepers",
            "the cafe beside the museum serves fresh bread soup and local cheese",
            "volunteers guide walks along the cliffs where puffins nest among the rocks and seals "
            "rest on the beach below",
            "tickets cost five pounds for adults and children under twelve go free" };
        const auto story = [&](const char *n, QStringList s, const char *r) {
            QTest::newRow(n) << harbour.join('\n') << s << QString(r) << true;
        };
        story("paragraphs skipped",
            { harbour[0], "/", "tickets cost five", "tickets cost five pounds for adults" },
            "10 10 100 103");
        story("two rare words apart are not enough, three are",
            { harbour[0], "/", "seals beach", "seals rest on the beach" }, "10 10 10 96");
        story("two of the rarest words side by side are", { harbour[0], "/", "puffins nest" },
            "10 10 87");
        story("nor a small word beside a rare one", { harbour[0], "/", "for adults" }, "10 10 10");
        story("common words never are", { harbour[0], "/", "the and of the with the on the" },
            "10 10 10!");
        story("read again", { harbour[6], "/", "every winter the storms", harbour[1] },
            "78 78 14 24");
        story("small words tell nothing",
            { harbour[6], "/", "can climb the tower", "visitors can climb the tower" },
            "78 78 78! 51");
        story("a stray word never goes back", { harbour[6], "/", "harbour", "harbour wall" },
            "78 78 78 78");
        story("refrain, the one ahead",
            { harbour[1], "/", harbour[2], "/", harbour[3], "/", harbour[4], "/", harbour[5] },
            "24 24 33 33 46 46 57 57 66");
        story("one word of an ad-lib a few words ahead",
            { harbour[1], "/", "lighthouse", "/", "sing along" }, "24 24 24 24 26");
        story("ad-lib, then back",
            { harbour[1], "/", "sorry about that let me find my place", "/",
                "sing along with the chorus" },
            "24 24 24! 24! 29");
    }
    void aligner()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, steps);
        QFETCH(QString, reached);
        QFETCH(bool, namesHeard);
        const ScriptWords words(script);
        std::vector<bool> hearable;
        for (const QString &word : words.vocabulary())
            hearable.push_back(
                !QStringList { "siobhan", "kearney", "aoife", "brennan" }.contains(word));
        WordAligner aligner(words, namesHeard ? std::vector<bool>() : hearable);
        QStringList seen;
        for (const QString &step : steps) {
            const bool ends = step == "/";
            const int at
                = ends ? aligner.position() : aligner.hear(step.split(u' ', Qt::SkipEmptyParts));
            if (ends)
                aligner.endUtterance();
            seen << QString::number(at) + (aligner.offScript() ? "!" : "");
        }
        QCOMPARE(seen.join(u' '), reached);
    }
    void speechModel()
    {
        SpeechModel model;
        QCOMPARE(model.build(ScriptWords("Good evening, Aoife. Good")), SpeechModel::Status::Ready);
        QCOMPARE(model.hearable(), std::vector<bool>({ true, true, false }));
        QFile arpa(model.languageModelPath());
        QVERIFY(arpa.open(QIODevice::ReadOnly));
        const QByteArray text = arpa.readAll();
        // <s> good evening good </s>: four words, four pairs.
        QVERIFY(text.contains("ngram 1=4\nngram 2=4\n") && text.contains(" good evening\n"));
        QFile dictionary(model.dictionaryPath());
        QVERIFY(dictionary.open(QIODevice::ReadOnly));
        // Only the script's words, with every way of saying them: "good" has two.
        QCOMPARE(dictionary.readAll(), "evening IY V N IH NG\ngood G UH D\ngood(2) G IH D\n");
        QCOMPARE(SpeechModel().build(ScriptWords("Aoife")), SpeechModel::Status::NoWords);
    }
    // Five words a second after the first: 300 a minute from 5 s on; over a pause the half
    // minute's rate falls.
    void readingRate()
    {
        ReadingRate rate;
        for (qint64 s = 0; s <= 60; ++s) {
            rate.read(5, s * 1000);
            if (s == 4)
                QCOMPARE(rate.wordsPerMinute(s * 1000), std::nullopt);
            if (s == 10 || s == 60)
                QCOMPARE(rate.wordsPerMinute(s * 1000), 300);
        }
        QCOMPARE(rate.wordsPerMinute(75'000), 150);
        rate.reset();
        QCOMPARE(rate.wordsPerMinute(75'000), std::nullopt);
    }
    // Six seconds of ticks driving a simulated scroll towards a spoken point distance twips below
    // the reading line; from quietFrom seconds on, silence or off script: still a second later.
    void speed_data()
    {
        QTest::addColumn<double>("distance");
        QTest::addColumn<double>("quietFrom");
        QTest::addColumn<bool>("offScript");
        QTest::addColumn<double>("left"); // most twips left at the end
        QTest::newRow("converges") << 3000.0 << 9.0 << false << 32.0;
        QTest::newRow("far target, gradually to full speed") << 1e6 << 9.0 << false << 1e6 - 39000;
        QTest::newRow("silence stops it") << 1e6 << 1.0 << false << 1e6;
        QTest::newRow("holds off script") << 1e6 << 1.0 << true << 1e6;
        QTest::newRow("spoken point above the line") << -500.0 << 9.0 << false << -500.0;
    }
    void speed()
    {
        QFETCH(double, distance);
        QFETCH(double, quietFrom);
        QFETCH(bool, offScript);
        QFETCH(double, left);
        const double lowest = std::min(distance, 0.0); // it never scrolls past the spoken point
        FollowSpeed follow;
        int last = 0;
        for (int tick = 0; tick < 375; ++tick) {
            const double quiet = tick / 62.5 - quietFrom; // seconds of silence or off script
            const int speed = follow.speedFor(
                distance, offScript ? 0 : std::max(0.0, quiet), offScript && quiet >= 0);
            QVERIFY2(speed >= 0 && speed <= 110 && speed - last <= 6 && last - speed <= 10
                    && (speed == 0 || quiet < 1) && distance - speed >= lowest,
                qPrintable(QStringLiteral("%1 at tick %2").arg(speed).arg(tick)));
            distance -= speed;
            last = speed;
        }
        QVERIFY2(distance <= left, qPrintable(QString::number(distance)));
    }
    // The microphone's 44,100 Hz stereo as the speech model hears it: 16,000 Hz mono with the
    // voice's band whole, nothing from above 8 kHz folded into it, whatever pieces it comes in.
    void resamplesForTheSpeechModel_data()
    {
        QTest::addColumn<double>("hz");
        QTest::addColumn<double>("level"); // of the input's, after resampling; 0: above the band
        QTest::newRow("voice, 300 Hz") << 300.0 << 1.0;
        QTest::newRow("voice, 3 kHz") << 3000.0 << 1.0;
        QTest::newRow("sibilant, 6.5 kHz") << 6500.0 << 0.95;
        QTest::newRow("above the band, 9 kHz") << 9000.0 << 0.0;
        QTest::newRow("far above, 12 kHz") << 12000.0 << 0.0;
    }
    void resamplesForTheSpeechModel()
    {
        QFETCH(double, hz);
        QFETCH(double, level);
        // Two seconds of a tone, the left channel louder than the right: heard as their mean.
        std::vector<qint16> frames;
        for (int i = 0; i < 2 * 44100; ++i) {
            const double s = std::sin(2 * std::numbers::pi * hz * i / 44100);
            frames.insert(
                frames.end(), { qint16(std::lround(12000 * s)), qint16(std::lround(8000 * s)) });
        }
        std::vector<qint16> whole, pieces;
        SpeechResampler().push(frames.data(), 2 * 44100, whole);
        SpeechResampler inPieces;
        for (qint64 at = 0, step = 1; at < 2 * 44100; at += step, step = step * 7 % 2207 + 1)
            inPieces.push(&frames[size_t(2 * at)], std::min(step, 2 * 44100 - at), pieces);
        QCOMPARE(pieces, whole);
        QCOMPARE_GE(whole.size(), size_t(32000 - 64));
        QCOMPARE_LE(whole.size(), size_t(32000));
        // Amplitude at a frequency over the second half second to the last, against 10,000.
        const auto amplitude = [&](double at) {
            std::complex<double> sum;
            for (size_t i = 8000; i < 24000; ++i)
                sum += double(whole[i])
                    * std::polar(1.0, -2 * std::numbers::pi * at * double(i) / 16000);
            return std::abs(sum) * 2 / 16000 / 10000;
        };
        if (level == 0) { // where it would fold to, at most -60 dB
            QCOMPARE_LE(amplitude(16000 - hz), 0.001);
        } else {
            QCOMPARE_GE(amplitude(hz), level * 0.99);
            QCOMPARE_LE(amplitude(hz), 1.01);
        }
    }
};

QTEST_GUILESS_MAIN(tst_Follow)
#include "tst_follow.moc"
