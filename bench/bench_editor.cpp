// Times the editor's work on a 5 MB script: Open, a keystroke, Save, and Done
// handing it to the main window's store. Each step, repaint included, must
// leave the window responsive within a second.
#include "app/frmMain.h"
#include "editor/frmEditor.h"
#include "platform/CommonDialog.h"
#include "platform/Fonts.h"
#include "prompter/PromptBox.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <functional>

namespace
{

constexpr qsizetype kScriptBytes = 5 * 1024 * 1024;
constexpr qint64 kLimitMs = 1000;

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

qint64 timed(const std::function<void()> &step)
{
    QElapsedTimer clock;
    clock.start();
    step();
    return clock.elapsed();
}

bool report(const char *script, const char *step, qint64 ms)
{
    const bool ok = ms <= kLimitMs;
    std::printf("%-10s %-28s %6lld ms%s\n", script, step, static_cast<long long>(ms),
        ok ? "" : "  OVER 1 s");
    return ok;
}

bool run(const char *name, const QByteArray &bytes, const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("%1.txt").arg(QLatin1String(name)));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();

    frmMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;

    bool ok = true;
    CommonDialog::setAnswerer([&path](CommonDialog::Kind, const CommonDialog &) {
        return CommonDialog::Answer { true, path, 0 };
    });
    QMetaObject::invokeMethod(
        &window,
        [&] {
            frmEditor *editor = window.m_editor;
            ok &= report(name, "Open", timed([&] {
                editor->cmdopen_Click();
                editor->repaint();
            }));
            ok &= report(name, "keystroke at the end", timed([&] {
                editor->txteditor->moveCursor(QTextCursor::End);
                QTest::keyClick(editor->txteditor, Qt::Key_A);
                editor->repaint();
            }));
            ok &= report(name, "Save", timed([&] { editor->cmdsave_Click(); }));
            ok &= report(name, "Done", timed([&] {
                editor->cmddone_Click();
                window.repaint();
            }));
        },
        Qt::QueuedConnection);
    window.cmdeditor_Click();
    CommonDialog::setAnswerer({});
    ok &= window.txtcontainer->document()->characterCount() > kScriptBytes / 2;
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    loadTahoma();
    QTemporaryDir dir;
    SettingsFile::setFolder(dir.path());
    SettingsFile::createIfMissing();

    bool ok = run("lines", linedScript(), dir);
    // The unbroken case is reported for information; scripts have line breaks.
    run("unbroken", unbrokenScript(), dir);
    return ok ? 0 : 1;
}
