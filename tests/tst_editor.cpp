#include "DialogAnswers.h"
#include "TestSupport.h"

#include "app/frmMain.h"
#include "editor/frmEditor.h"
#include "prompter/PromptBox.h"

#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList entries(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Presses Editor and, while the editor is shown modally, lets the user act in
// it. Should the user leave it open, it is hidden so that the show returns.
void useEditor(frmMain &window, const std::function<void(frmEditor &)> &user)
{
    QMetaObject::invokeMethod(
        &window,
        [&window, user] {
            const QPointer<frmEditor> editor = window.m_editor.data();
            QVERIFY(editor && editor->isVisible());
            user(*editor);
            if (editor && editor->isVisible()) {
                editor->hide();
                QFAIL("the editor stayed open");
            }
        },
        Qt::QueuedConnection);
    window.cmdeditor->click();
}

} // namespace

class tst_Editor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void laysOutTheDesign();
    void setsUpTheDialog_data();
    void setsUpTheDialog();
    void putsTheFocusBack_data();
    void putsTheFocusBack();
    void opensScripts_data();
    void opensScripts();
    void keepsTextWhenOpenFails_data();
    void keepsTextWhenOpenFails();
    void savesRoundTripsUnchanged_data();
    void savesRoundTripsUnchanged();
    void savesAnythingButNothing_data();
    void savesAnythingButNothing();
    void cancelledSaveWritesNothing_data();
    void cancelledSaveWritesNothing();
    void failedSaveKeepsOldFileAndSaysSo_data();
    void failedSaveKeepsOldFileAndSaysSo();
    void doneHandsOverAndEditorShowsTheSameAgain();
    void doneOnEmptyEditorEmptiesStore();
    void closeBoxDiscardsTheEditor();
    void escapeLeavesTheEditorOpen();
    void handedOverScriptStaysOutOfSight();

private:
    std::unique_ptr<SettingsFolder> m_settings;
};

void tst_Editor::initTestCase()
{
    m_settings = std::make_unique<SettingsFolder>();
    SettingsFile::createIfMissing();
}

void tst_Editor::laysOutTheDesign()
{
    QPlainTextEdit store;
    frmEditor editor(&store, nullptr);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QCOMPARE(editor.windowTitle(), QStringLiteral("Editor"));
    QCOMPARE(editor.size(), QSize(519, 405));
    QCOMPARE(editor.minimumSize(), editor.maximumSize());
    QVERIFY(!(editor.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(editor.Frame1->geometry(), QRect(8, 0, 505, 401));
    QCOMPARE(editor.txteditor->geometry(), QRect(8, 16, 489, 329));
    QCOMPARE(editor.cmddone->geometry(), QRect(8, 352, 45, 41));
    QCOMPARE(editor.cmdsave->geometry(), QRect(60, 352, 45, 41));
    QCOMPARE(editor.cmdopen->geometry(), QRect(112, 352, 45, 41));
    QCOMPARE(editor.cmdsave->text(), QStringLiteral("&Save"));
    QCOMPARE(editor.txteditor->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(editor.txteditor->font().pixelSize(), 12);
    QCOMPARE(editor.cmddone->font().pixelSize(), 11);
    QVERIFY(editor.txteditor->toPlainText().isEmpty());
    // Tab order: text, Done, Save, Open.
    QWidget *next = editor.txteditor;
    for (QWidget *expected : {static_cast<QWidget *>(editor.cmddone),
                              static_cast<QWidget *>(editor.cmdsave),
                              static_cast<QWidget *>(editor.cmdopen)}) {
        next = next->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        QCOMPARE(next, expected);
    }
}

void tst_Editor::setsUpTheDialog_data()
{
    QTest::addColumn<QStringList>("presses"); // "open" or "save", in order
    QTest::addColumn<QList<int>>("flags");
    QTest::addColumn<QList<bool>>("cancelError");
    QTest::newRow("open") << QStringList{QStringLiteral("open")} << QList<int>{4}
                          << QList<bool>{true};
    // Save leaves CancelError as it was: off until the first Open turns it on.
    QTest::newRow("save") << QStringList{QStringLiteral("save")} << QList<int>{6}
                          << QList<bool>{false};
    QTest::newRow("open, save, open")
        << QStringList{QStringLiteral("open"), QStringLiteral("save"), QStringLiteral("open")}
        << QList<int>{4, 6, 4} << QList<bool>{true, true, true};
}

void tst_Editor::setsUpTheDialog()
{
    QFETCH(QStringList, presses);
    QFETCH(QList<int>, flags);
    QFETCH(QList<bool>, cancelError);
    DialogAnswers answers;
    CapturedMessages messages;
    QPlainTextEdit store;
    frmEditor editor(&store, nullptr);
    editor.txteditor->setPlainText(QStringLiteral("script"));
    for (const QString &press : presses)
        (press == QLatin1String("open") ? editor.cmdopen : editor.cmdsave)->click();

    QCOMPARE(answers.calls.size(), size_t(presses.size()));
    for (qsizetype i = 0; i < presses.size(); ++i) {
        const DialogAnswers::Call &call = answers.calls.at(size_t(i));
        QCOMPARE(call.kind, presses.at(i) == QLatin1String("open") ? CommonDialog::Kind::Open
                                                                  : CommonDialog::Kind::Save);
        QCOMPARE(call.filter, QStringLiteral("Text Files(*.txt)|*.txt"));
        QCOMPARE(call.filterIndex, 1);
        QCOMPARE(call.flags, flags.at(i));
        QCOMPARE(call.cancelError, cancelError.at(i));
    }
    QVERIFY(messages.list.empty());
}

void tst_Editor::putsTheFocusBack_data()
{
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("chosen"); // empty: the dialog is cancelled
    QTest::addColumn<bool>("focusInText");
    QTest::newRow("open cancelled") << "open" << "script" << QString() << true;
    QTest::newRow("open read") << "open" << "script" << "existing.txt" << true;
    QTest::newRow("open failed") << "open" << "script" << "missing.txt" << true;
    QTest::newRow("save cancelled") << "save" << "script" << QString() << true;
    QTest::newRow("save written") << "save" << "script" << "new.txt" << true;
    QTest::newRow("save failed") << "save" << "script" << "no folder/new.txt" << true;
    QTest::newRow("nothing to save") << "save" << QString() << "new.txt" << false;
}

void tst_Editor::putsTheFocusBack()
{
    QFETCH(QString, press);
    QFETCH(QString, text);
    QFETCH(QString, chosen);
    QFETCH(bool, focusInText);
    QTemporaryDir dir;
    putFile(dir.filePath(QStringLiteral("existing.txt")), "from disk\r\n");
    DialogAnswers answers;
    CapturedMessages messages;
    QPlainTextEdit store;
    frmEditor editor(&store, nullptr);
    editor.txteditor->setPlainText(text);
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    QToolButton *button = press == QLatin1String("open") ? editor.cmdopen : editor.cmdsave;
    button->setFocus();
    QVERIFY(button->hasFocus());
    if (chosen.isEmpty())
        answers.cancel();
    else
        answers.choose(dir.filePath(chosen));

    QTest::keyClick(button, Qt::Key_Space);
    QCOMPARE(answers.calls.empty(), text.isEmpty());
    QCOMPARE(editor.txteditor->hasFocus(), focusInText);
    QCOMPARE(button->hasFocus(), !focusInText);
}

void tst_Editor::opensScripts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("abc without line break") << QByteArray("abc") << QStringLiteral("abc");
    QTest::newRow("CR LF lines") << QByteArray("one\r\ntwo\r\n") << QStringLiteral("one\ntwo\n");
    QTest::newRow("LF and lone CR") << QByteArray("one\ntwo\rthree")
                                    << QStringLiteral("one\ntwo\nthree");
    QTest::newRow("Windows-1252") << QByteArray("\x93Voil\xe0!\x94 co\xfbte 5 \x80")
                                  << QStringLiteral("“Voilà!” coûte 5 €");
    QTest::newRow("UTF-8") << QByteArray("\xe2\x80\x9cVoil\xc3\xa0!\xe2\x80\x9d \xe2\x82\xac")
                           << QStringLiteral("“Voilà!” €");
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbfGr\xc3\xbc\xc3\x9f")
                                    << QStringLiteral("Grüß");
}

void tst_Editor::opensScripts()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("script.txt"));
    putFile(path, bytes);
    DialogAnswers answers;
    CapturedMessages messages;
    QPlainTextEdit store;
    frmEditor editor(&store, nullptr);
    editor.txteditor->setPlainText(QStringLiteral("earlier text"));

    answers.choose(path);
    editor.cmdopen->click();
    QCOMPARE(editor.txteditor->toPlainText(), text);
    QVERIFY(messages.list.empty());
    QVERIFY(store.toPlainText().isEmpty());
    QCOMPARE(answers.calls.size(), 1u);
    QCOMPARE(answers.calls.front().kind, CommonDialog::Kind::Open);
}

void tst_Editor::keepsTextWhenOpenFails_data()
{
    QTest::addColumn<QString>("chosen"); // empty: the dialog is cancelled
    QTest::addColumn<QString>("message");
    QTest::newRow("cancelled") << QString() << QString();
    QTest::newRow("a folder") << QStringLiteral(".") << QStringLiteral("COULD NOT OPEN THE FILE!");
    QTest::newRow("missing file") << QStringLiteral("gone.txt")
                                  << QStringLiteral("COULD NOT OPEN THE FILE!");
}

void tst_Editor::keepsTextWhenOpenFails()
{
    QFETCH(QString, chosen);
    QFETCH(QString, message);
    QTemporaryDir dir;
    DialogAnswers answers;
    CapturedMessages messages;
    QPlainTextEdit store;
    frmEditor editor(&store, nullptr);
    editor.txteditor->setPlainText(QStringLiteral("kept"));
    if (chosen.isEmpty())
        answers.cancel();
    else
        answers.choose(QDir::cleanPath(dir.filePath(chosen)));

    editor.cmdopen->click();
    QCOMPARE(editor.txteditor->toPlainText(), QStringLiteral("kept"));
    if (message.isEmpty()) {
        QVERIFY(messages.list.empty());
    } else {
        QCOMPARE(messages.list.size(), 1u);
        QCOMPARE(messages.list.front().text, message);
        QCOMPARE(messages.list.front().title, QStringLiteral("Error"));
        QCOMPARE(messages.list.front().style, MsgStyle::Critical);
    }
}

void tst_Editor::savesRoundTripsUnchanged_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("abc") << QStringLiteral("abc") << QByteArray("abc\r\n");
    QTest::newRow("ends with a break") << QStringLiteral("abc\n") << QByteArray("abc\r\n");
    QTest::newRow("blank lines at the end") << QStringLiteral("one\n\n")
                                            << QByteArray("one\r\n\r\n");
    QTest::newRow("lines") << QStringLiteral("one\ntwo") << QByteArray("one\r\ntwo\r\n");
    QTest::newRow("accents and no-break space")
        << QStringLiteral("Voilà\u00a0€") << QByteArray("Voil\xc3\xa0\xc2\xa0\xe2\x82\xac\r\n");
}

void tst_Editor::savesRoundTripsUnchanged()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("script.txt"));
    DialogAnswers answers;
    CapturedMessages messages;
    QPlainTextEdit store;
    frmEditor editor(&store, nullptr);
    editor.txteditor->setPlainText(typed);

    answers.choose(path);
    editor.cmdsave->click();
    QCOMPARE(contents(path), bytes);
    for (int round = 0; round < 3; ++round) {
        answers.choose(path);
        editor.cmdopen->click();
        answers.choose(path);
        editor.cmdsave->click();
        QCOMPARE(contents(path), bytes);
    }
    QVERIFY(messages.list.empty());
    QCOMPARE(entries(dir), QStringList{QStringLiteral("script.txt")});
}

void tst_Editor::savesAnythingButNothing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("bytes"); // empty: nothing may be saved
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("blanks") << QStringLiteral("   ") << QByteArray("   \r\n");
    QTest::newRow("one line break") << QStringLiteral("\n") << QByteArray("\r\n");
    QTest::newRow("line breaks") << QStringLiteral("\n\n") << QByteArray("\r\n\r\n");
}

void tst_Editor::savesAnythingButNothing()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("script.txt"));
    DialogAnswers answers;
    CapturedMessages messages;
    QPlainTextEdit store;
    frmEditor editor(&store, nullptr);
    editor.txteditor->setPlainText(typed);

    answers.choose(path);
    editor.cmdsave->click();
    if (bytes.isEmpty()) {
        QVERIFY(answers.calls.empty());
        QCOMPARE(messages.list.size(), 1u);
        QCOMPARE(messages.list.front().text, QStringLiteral("NOTHING TO SAVE!"));
        QCOMPARE(messages.list.front().title, QStringLiteral("Error"));
        QCOMPARE(messages.list.front().style, MsgStyle::Critical);
        QVERIFY(entries(dir).isEmpty());
    } else {
        QVERIFY(messages.list.empty());
        QCOMPARE(contents(path), bytes);
    }
}

void tst_Editor::cancelledSaveWritesNothing_data()
{
    QTest::addColumn<QString>("before"); // what the dialog was last used for
    QTest::newRow("first use") << QString();
    QTest::newRow("after a save") << QStringLiteral("save");
    QTest::newRow("after an open") << QStringLiteral("open");
}

void tst_Editor::cancelledSaveWritesNothing()
{
    QFETCH(QString, before);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("script.txt"));
    putFile(path, "on disk\r\n");
    DialogAnswers answers;
    CapturedMessages messages;
    QPlainTextEdit store;
    frmEditor editor(&store, nullptr);
    editor.txteditor->setPlainText(QStringLiteral("first draft"));
    if (before == QLatin1String("save")) {
        answers.choose(path);
        editor.cmdsave->click();
    } else if (before == QLatin1String("open")) {
        answers.choose(path);
        editor.cmdopen->click();
    }
    const QByteArray saved = contents(path);

    editor.txteditor->setPlainText(QStringLiteral("second draft"));
    answers.cancel();
    editor.cmdsave->click();
    QVERIFY(answers.answers.empty());
    QCOMPARE(contents(path), saved);
    QCOMPARE(entries(dir), QStringList{QStringLiteral("script.txt")});
    QVERIFY(messages.list.empty());
}

void tst_Editor::failedSaveKeepsOldFileAndSaysSo_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("folder cannot be made") << QStringLiteral("parent is a file");
    QTest::newRow("name is a folder") << QStringLiteral("folder");
    QTest::newRow("disk full") << QStringLiteral("full");
}

void tst_Editor::failedSaveKeepsOldFileAndSaysSo()
{
    QFETCH(QString, failure);
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.txt"));
    putFile(old, "old script\r\n");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QStringList before = entries(dir);
    DialogAnswers answers;
    CapturedMessages messages;
    QPlainTextEdit store;
    frmEditor editor(&store, nullptr);
    editor.txteditor->setPlainText(QString(200, QLatin1Char('x')));

    if (failure == QLatin1String("parent is a file")) {
        answers.choose(old + QStringLiteral("/new.txt"));
        editor.cmdsave->click();
    } else if (failure == QLatin1String("folder")) {
        answers.choose(dir.filePath(QStringLiteral("folder")));
        editor.cmdsave->click();
    } else {
        answers.choose(old);
        const FileSizeLimit limit(64);
        editor.cmdsave->click();
    }
    QCOMPARE(messages.list.size(), 1u);
    QCOMPARE(messages.list.front().text, QStringLiteral("COULD NOT SAVE THE FILE!"));
    QCOMPARE(messages.list.front().title, QStringLiteral("Error"));
    QCOMPARE(messages.list.front().style, MsgStyle::Critical);
    QCOMPARE(contents(old), QByteArray("old script\r\n"));
    QCOMPARE(entries(dir), before);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
    QCOMPARE(editor.txteditor->toPlainText(), QString(200, QLatin1Char('x')));
}

void tst_Editor::doneHandsOverAndEditorShowsTheSameAgain()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("script.txt"));
    DialogAnswers answers;
    CapturedMessages messages;
    frmMain window;
    window.txtcontainer->setPlainText(QStringLiteral("old script"));
    QPointer<frmEditor> first;

    useEditor(window, [&](frmEditor &editor) {
        first = &editor;
        QTest::keyClicks(editor.txteditor, QStringLiteral("Good evening,"));
        QTest::keyClick(editor.txteditor, Qt::Key_Return);
        QTest::keyClicks(editor.txteditor, QStringLiteral("and welcome."));
        answers.choose(path);
        editor.cmdsave->click();
        // Only Done hands the script over.
        QCOMPARE(window.txtcontainer->toPlainText(), QStringLiteral("old script"));
        editor.cmddone->click();
    });
    QCOMPARE(window.txtcontainer->toPlainText(), QStringLiteral("Good evening,\nand welcome."));
    QVERIFY(first);
    QVERIFY(!first->isVisible());

    useEditor(window, [&](frmEditor &editor) {
        QCOMPARE(&editor, first.data());
        QCOMPARE(editor.txteditor->toPlainText(), QStringLiteral("Good evening,\nand welcome."));
        // The dialog opens where the last save went.
        answers.cancel();
        editor.cmdopen->click();
        editor.cmddone->click();
    });
    QCOMPARE(answers.calls.back().fileName, path);
    QCOMPARE(window.txtcontainer->toPlainText(), QStringLiteral("Good evening,\nand welcome."));
    QVERIFY(messages.list.empty());
}

void tst_Editor::doneOnEmptyEditorEmptiesStore()
{
    frmMain window;
    window.txtcontainer->setPlainText(QStringLiteral("old script"));
    useEditor(window, [](frmEditor &editor) { editor.cmddone->click(); });
    QVERIFY(window.txtcontainer->toPlainText().isEmpty());
}

void tst_Editor::closeBoxDiscardsTheEditor()
{
    frmMain window;
    useEditor(window, [](frmEditor &editor) {
        editor.txteditor->setPlainText(QStringLiteral("handed over"));
        editor.cmddone->click();
    });
    useEditor(window, [](frmEditor &editor) {
        QTest::keyClicks(editor.txteditor, QStringLiteral(" and a draft"));
        editor.close();
    });
    QVERIFY(window.m_editor.isNull());
    QCOMPARE(window.txtcontainer->toPlainText(), QStringLiteral("handed over"));

    useEditor(window, [](frmEditor &editor) {
        QVERIFY(editor.txteditor->toPlainText().isEmpty());
        QVERIFY(editor.cdlgeditor.FileName.isEmpty());
        editor.close();
    });
    QCOMPARE(window.txtcontainer->toPlainText(), QStringLiteral("handed over"));
}

void tst_Editor::escapeLeavesTheEditorOpen()
{
    frmMain window;
    bool stayed = false;
    useEditor(window, [&](frmEditor &editor) {
        QTest::keyClick(&editor, Qt::Key_Escape);
        stayed = editor.isVisible();
        editor.cmddone->click();
    });
    QVERIFY(stayed);
    QVERIFY(window.m_editor);
}

void tst_Editor::handedOverScriptStaysOutOfSight()
{
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    useEditor(window, [](frmEditor &editor) {
        editor.txteditor->setPlainText(QStringLiteral("WWWW MMMM WWWW MMMM\nWWWW MMMM"));
        editor.cmddone->click();
    });
    // The store's green text must not show through the panels in front of it.
    const QImage shot = window.grab().toImage();
    const QRect store = window.txtcontainer->geometry();
    int seen = 0;
    for (int y = store.top(); y <= store.bottom(); ++y) {
        for (int x = store.left(); x <= store.right(); ++x) {
            const QColor pixel = shot.pixelColor(x, y);
            seen += pixel.green() > 200 && pixel.red() < 60 && pixel.blue() < 60;
        }
    }
    QCOMPARE(seen, 0);
}

QTEST_MAIN(tst_Editor)
#include "tst_editor.moc"
