#include "follow/FollowSpeed.h"
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
    // A script's words as "text@position", and the same text normalised as one word.
    void words_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("normalised");
        const auto row = [](const char *t, const char *w, const char *n) {
            QTest::newRow(t) << QString(t) << QString(w) << QString(n);
        };
        row("Don't,", "don't@0", "don't");
        row("‘It’s’", "it's@1", "it's");
        row("'tis o''clock dogs'", "tis@1 o@5 clock@8 dogs@14", "tis o''clock dogs");
        row("(Well-known\t 2nd)", "well@1 known@6 2nd@13", "well-known\t 2nd");
        row("$5.50, 20%", "5@1 50@3 20@7", "5.50, 20");
        row("«Ærø Привет»", "ærø@1 привет@5", "ærø привет");
        row(" -- ", "", "");
        row("good night", "good@0 night@5", "good night"); // the script's last word
    }
    void words()
    {
        QFETCH(QString, text);
        QFETCH(QString, words);
        QFETCH(QString, normalised);
        QStringList listed;
        for (const ScriptWord &word : scriptWords(text))
            listed << QStringLiteral("%1@%2").arg(word.text).arg(word.position);
        QCOMPARE(listed.join(u' '), words);
        QCOMPARE(normalisedWord(text), normalised);
    }
    // The position reached after each hypothesis ("/": the utterance ends), "!" when off script.
    void aligner_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("reached");
        QTest::addColumn<bool>("namesHeard");
        const auto row = [](const char *n, QStringList s, const char *r, bool h = true) {
            QTest::newRow(n) << s << QString(r) << h;
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
        row("repeat", { t, "/", g, g + "we look" }, "3 3 3! 5");
        row("revised hypotheses",
            { "good evening every one", t + "we", t, t + "river", t + "river project" },
            "1 4 4 8 9");
        row("unhearable names", { words + " costs and led" }, "18", false);
        row("off script, then later",
            { "good", "/", "sorry my notes fell", "/", "right", "right the water rose" },
            "0 0 0! 0! 0! 23");
    }
    void aligner()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, reached);
        QFETCH(bool, namesHeard);
        const QString text
            = "good evening everyone tonight we look at the river project and its "
              "costs siobhan kearney and aoife brennan led the survey the water rose";
        const QStringList script = text.split(u' ');
        QSet<QString> hearable(script.begin(), script.end());
        hearable.subtract({ "siobhan", "kearney", "aoife", "brennan" });
        WordAligner aligner(script, namesHeard ? QSet<QString>() : hearable);
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
        QCOMPARE(model.build({ "good", "evening", "aoife", "good" }), SpeechModel::Status::Ready);
        QCOMPARE(model.hearable(), QSet<QString>({ "good", "evening" }));
        QFile arpa(model.languageModelPath());
        QVERIFY(arpa.open(QIODevice::ReadOnly));
        const QByteArray text = arpa.readAll();
        // <s> good evening good </s>: four words, four pairs.
        QVERIFY(text.contains("ngram 1=4\nngram 2=4\n") && text.contains(" good evening\n"));
        QFile dictionary(model.dictionaryPath());
        QVERIFY(dictionary.open(QIODevice::ReadOnly));
        // Only the script's words, with every way of saying them: "good" has two.
        QCOMPARE(dictionary.readAll(), "evening IY V N IH NG\ngood G UH D\ngood(2) G IH D\n");
        QCOMPARE(SpeechModel().build({ "aoife" }), SpeechModel::Status::NoWords);
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
