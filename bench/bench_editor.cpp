// Times the editor's work on a 5 MB script: Open, a keystroke, Save, and Done
// handing it to the main window's store. Each step, repaint included, must
// leave the window responsive within a second.
#include "bench/Verdict.h"

#include "app/frmMain.h"
#include "editor/ScriptFile.h"
#include "platform/CommonDialog.h"
#include "platform/Fonts.h"
#include "platform/MsgBox.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace
{

constexpr qsizetype kScriptBytes = 5 * 1024 * 1024;
constexpr double kLimitMs = 1000;

// Sentences of a spoken script, a blank line between short paragraphs.
QByteArray linedScript()
{
    static const char *const sentences[] = {
        "Good evening, and welcome to the programme. ",
        "Tonight we look at the weather over the coming week. ",
        "Caf\xc3\xa9 owners on the coast expect a busy weekend. ",
        "The forecast calls for sunshine and light winds. ",
    };
    QByteArray bytes;
    bytes.reserve(kScriptBytes + 256);
    for (int line = 0; bytes.size() < kScriptBytes; ++line) {
        bytes += sentences[line % 4];
        bytes += sentences[(line + 1) % 4];
        bytes += (line % 5 == 4) ? "\r\n\r\n" : "\r\n";
    }
    return bytes;
}

// The worst case: one paragraph without a line break.
QByteArray unbrokenScript()
{
    QByteArray bytes;
    bytes.reserve(kScriptBytes + 64);
    while (bytes.size() < kScriptBytes)
        bytes += "the quick brown fox jumps over the lazy dog ";
    return bytes;
}

double timedMs(const std::function<void()> &step)
{
    QElapsedTimer clock;
    clock.start();
    step();
    return double(clock.nsecsElapsed()) / 1e6;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Opens, edits, saves and hands over one script through the editor window. Ordinary
// scripts are judged; the unbroken one is shown for information.
void run(Verdict &verdict, const char *name, const QByteArray &bytes, bool judged,
    const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("%1.txt").arg(QLatin1String(name)));
    QFile file(path);
    verdict.require(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
        QStringLiteral("write %1").arg(path));
    file.close();

    frmMain window;
    window.show();
    verdict.require(QTest::qWaitForWindowExposed(&window), QStringLiteral("show the window"));

    const auto step = [&](const char *what, double ms) {
        const QString figure = QStringLiteral("%1 of a 5 MB script, %2")
                                   .arg(QLatin1String(what), QLatin1String(name));
        if (judged)
            verdict.judge(figure, ms, QStringLiteral("ms"), Verdict::Bound::AtMost, kLimitMs, 1);
        else
            verdict.inform(figure, ms, QStringLiteral("ms"), 1);
    };
    int messages = 0;
    setMessageSink([&messages](const ShownMessage &) {
        ++messages;
        return MsgAnswer::Ok;
    });
    CommonDialog::setAnswerer([&path](CommonDialog::Kind, const CommonDialog &) {
        return CommonDialog::Answer { true, path, 0 };
    });
    QString edited;
    bool stepsRan = false;
    // The editor is modal: its steps run from its own event loop, and Done ends it.
    QMetaObject::invokeMethod(
        &window,
        [&] {
            auto *editor = verdict.control<QDialog>(window, "frmEditor");
            auto *text = verdict.control<QPlainTextEdit>(*editor, "txteditor");
            step("Open", timedMs([&] {
                verdict.control<QToolButton>(*editor, "cmdopen")->click();
                editor->repaint();
            }));
            verdict.require(text->toPlainText() == ScriptFile::decode(bytes),
                QStringLiteral("Open loads %1").arg(path));
            step("keystroke at the end", timedMs([&] {
                text->moveCursor(QTextCursor::End);
                QTest::keyClick(text, Qt::Key_A);
                editor->repaint();
            }));
            edited = text->toPlainText();
            verdict.require(edited.endsWith(QLatin1Char('a')), QStringLiteral("the keystroke"));
            step("Save",
                timedMs([&] { verdict.control<QToolButton>(*editor, "cmdsave")->click(); }));
            verdict.require(fileBytes(path) == ScriptFile::encode(edited),
                QStringLiteral("Save writes %1").arg(path));
            step("Done", timedMs([&] {
                verdict.control<QToolButton>(*editor, "cmddone")->click();
                window.repaint();
            }));
            stepsRan = true;
        },
        Qt::QueuedConnection);
    verdict.control<QToolButton>(window, "cmdeditor")->click();
    CommonDialog::setAnswerer({});
    setMessageSink({});
    verdict.require(stepsRan, QStringLiteral("the editor's steps"));
    verdict.require(
        verdict.control<QPlainTextEdit>(window, "txtcontainer")->toPlainText() == edited,
        QStringLiteral("Done hands the script to the main window"));
    verdict.require(messages == 0, QStringLiteral("the editor's steps without a message box"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Verdict verdict("bench_editor");
    loadTahoma();
    QTemporaryDir dir;
    SettingsFile::setFolder(dir.path());
    SettingsFile::createIfMissing();

    run(verdict, "ordinary lines", linedScript(), true, dir);
    // Scripts have line breaks; a single 5 MB paragraph is shown for what it costs.
    run(verdict, "one unbroken paragraph", unbrokenScript(), false, dir);
    return verdict.exitCode();
}
