#include "DialogAnswers.h"
#include "TestSupport.h"

#include "app/frmMain.h"
#include "editor/frmEditor.h"
#include "prompter/PromptBox.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace
{

const QString kOpen = QStringLiteral("Open 4 1 Text Files(*.txt)|*.txt CancelError");
const QString kSave = QStringLiteral("Save 6 1 Text Files(*.txt)|*.txt");

// Presses Editor and, while the editor is shown modally, lets the user act in
// it. Should the user leave it open, it is hidden so that the show returns.
void useEditor(frmMain &window, const std::function<void(frmEditor &)> &user)
{
    QTimer::singleShot(0, &window, [&window, user] {
        user(*window.m_editor);
        if (window.m_editor && window.m_editor->isVisible()) {
            window.m_editor->hide();
            QFAIL("the editor stayed open");
        }
    });
    window.cmdeditor->click();
}

// An editor on a store of its own, with script.txt on disk unless onDisk is null.
struct Editor {
    explicit Editor(const QString &text = QString(), const QByteArray &onDisk = QByteArray())
    {
        editor.txteditor->setPlainText(text);
        QFile file(path);
        if (!onDisk.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(onDisk) == onDisk.size());
    }
    QTemporaryDir dir;
    DialogAnswers answers;
    CapturedMessages messages;
    QPlainTextEdit store;
    frmEditor editor { &store, nullptr };
    const QString path = dir.filePath(QStringLiteral("script.txt"));
};

} // namespace

class tst_Editor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensScripts_data()
    {
        QTest::addColumn<QString>("chosen"); // empty: the dialog is cancelled
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString file = QStringLiteral("script.txt");
        QTest::newRow("empty file") << file << QByteArray("") << QString();
        QTest::newRow("abc without line break") << file << QByteArray("abc") << "abc";
        QTest::newRow("Windows-1252")
            << file << QByteArray("\x93Voil\xe0!\x94 co\xfbte 5 \x80") << "“Voilà!” coûte 5 €";
        QTest::newRow("UTF-8") << file
                               << QByteArray("\xe2\x80\x9cVoil\xc3\xa0!\xe2\x80\x9d \xe2\x82\xac")
                               << "“Voilà!” €";
        QTest::newRow("cancelled") << QString() << QByteArray("abc") << "earlier text";
        QTest::newRow("a folder") << "." << QByteArray("abc") << "earlier text";
    }
    void opensScripts()
    {
        QFETCH(QString, chosen);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        Editor e(QStringLiteral("earlier text"), bytes);
        if (chosen.isEmpty())
            e.answers.cancel();
        else
            e.answers.choose(QDir::cleanPath(e.dir.filePath(chosen)));
        e.editor.cmdopen->click();
        QCOMPARE(e.editor.txteditor->toPlainText(), text);
        QCOMPARE(e.messages.shown(),
            chosen == QLatin1String(".") ? QStringList { "Error: COULD NOT OPEN THE FILE!" }
                                         : QStringList());
        QVERIFY(e.store.toPlainText().isEmpty());
        QCOMPARE(e.answers.shows(), QStringList { kOpen });
    }

    void savesRoundTripsUnchanged_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("bytes"); // empty: nothing may be saved
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("blanks") << "   " << QByteArray("   \r\n");
        QTest::newRow("line breaks") << "\n\n" << QByteArray("\r\n\r\n");
        QTest::newRow("abc") << "abc" << QByteArray("abc\r\n");
        QTest::newRow("lines, accents and no-break space")
            << "one\nVoilà\u00a0€" << QByteArray("one\r\nVoil\xc3\xa0\xc2\xa0\xe2\x82\xac\r\n");
    }
    void savesRoundTripsUnchanged()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, bytes);
        Editor e(typed);
        e.answers.choose(e.path);
        e.editor.cmdsave->click();
        if (bytes.isEmpty()) {
            QVERIFY(e.answers.calls.empty());
            QCOMPARE(e.messages.shown(), QStringList { "Error: NOTHING TO SAVE!" });
            QVERIFY(folderEntries(e.dir.path()).isEmpty());
            return;
        }
        QCOMPARE(fileBytes(e.path), bytes);
        // Save asks before overwriting, and leaves CancelError off until an Open turns it on.
        QStringList shows { kSave };
        for (int round = 0; round < 3; ++round) {
            e.answers.choose(e.path);
            e.editor.cmdopen->click();
            e.answers.choose(e.path);
            e.editor.cmdsave->click();
            QCOMPARE(fileBytes(e.path), bytes);
            shows << kOpen << kSave + QStringLiteral(" CancelError");
        }
        QCOMPARE(e.answers.shows(), shows);
        QVERIFY(e.messages.list.empty());
        QCOMPARE(folderEntries(e.dir.path()), QStringList { "script.txt" });
    }

    // At first use, after a save (CancelError still off, the last name in place)
    // and after an Open.
    void cancelledSaveWritesNothing()
    {
        Editor e(QStringLiteral("draft 0"), "on disk\r\n");
        int draft = 0;
        for (QToolButton *before :
            QList<QToolButton *> { nullptr, e.editor.cmdsave, e.editor.cmdopen }) {
            if (before) {
                e.answers.choose(e.path);
                before->click();
            }
            const QByteArray saved = fileBytes(e.path);
            e.editor.txteditor->setPlainText(QStringLiteral("draft %1").arg(++draft));
            e.answers.cancel();
            e.editor.cmdsave->click();
            QCOMPARE(fileBytes(e.path), saved);
        }
        QVERIFY(e.answers.answers.empty());
        QCOMPARE(folderEntries(e.dir.path()), QStringList { "script.txt" });
        QVERIFY(e.messages.list.empty());
    }

    void failedSaveKeepsOldFileAndSaysSo_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("sizeLimit"); // bytes a file may grow to; 0: no limit
        QTest::newRow("folder cannot be made") << "script.txt/new.txt" << 0;
        QTest::newRow("name is a folder") << "folder" << 0;
        QTest::newRow("disk full") << "script.txt" << 64;
    }
    void failedSaveKeepsOldFileAndSaysSo()
    {
        QFETCH(QString, chosen);
        QFETCH(int, sizeLimit);
        Editor e(QString(200, 'x'), "old script\r\n");
        QVERIFY(QDir(e.dir.path()).mkdir(QStringLiteral("folder")));
        e.answers.choose(e.dir.filePath(chosen));
        {
            std::optional<FileSizeLimit> limit;
            if (sizeLimit > 0)
                limit.emplace(rlim_t(sizeLimit));
            e.editor.cmdsave->click();
        }
        QCOMPARE(e.messages.shown(), QStringList { "Error: COULD NOT SAVE THE FILE!" });
        QCOMPARE(fileBytes(e.path), QByteArray("old script\r\n"));
        QCOMPARE(folderEntries(e.dir.path()), QStringList({ "folder", "script.txt" }));
        QVERIFY(QFileInfo(e.dir.filePath(QStringLiteral("folder"))).isDir());
    }

    // The editor as designed, shown modally; Open and Save hand the focus back to
    // the text. Done hides it and hands its text over; the close box discards it.
    void handsOverOnlyThroughDone()
    {
        SettingsFolder settings;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("script.txt"));
        DialogAnswers answers;
        CapturedMessages messages;
        frmMain window;
        window.txtcontainer->setPlainText(QStringLiteral("old script"));
        QPointer<frmEditor> first;
        useEditor(window, [&](frmEditor &editor) {
            first = &editor;
            QVERIFY(QTest::qWaitForWindowActive(&editor));
            QCOMPARE(editor.windowTitle(), QStringLiteral("Editor"));
            QCOMPARE(editor.size(), QSize(519, 405));
            QCOMPARE(editor.minimumSize(), editor.maximumSize());
            QCOMPARE(editor.txteditor->geometry().size(), QSize(489, 329));
            QCOMPARE(editor.txteditor->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QTest::keyClick(&editor, Qt::Key_Escape);
            QVERIFY(editor.isVisible());
            QTest::keyClicks(editor.txteditor, QStringLiteral("Good evening"));
            editor.cmdsave->setFocus();
            answers.choose(path);
            editor.cmdsave->click();
            QVERIFY(editor.txteditor->hasFocus());
            editor.cmdopen->setFocus();
            answers.cancel();
            editor.cmdopen->click();
            QVERIFY(editor.txteditor->hasFocus());
            QCOMPARE(window.txtcontainer->toPlainText(), QStringLiteral("old script"));
            editor.cmddone->click();
        });
        QCOMPARE(window.txtcontainer->toPlainText(), QStringLiteral("Good evening"));
        QVERIFY(first && !first->isVisible());
        // The same editor again, its dialog opening where the last save went.
        useEditor(window, [&](frmEditor &editor) {
            QCOMPARE(&editor, first.data());
            QCOMPARE(editor.txteditor->toPlainText(), QStringLiteral("Good evening"));
            answers.cancel();
            editor.cmdopen->click();
            QTest::keyClicks(editor.txteditor, QStringLiteral(" and a draft"));
            editor.close();
        });
        QCOMPARE(answers.calls.back().fileName, path);
        QVERIFY(window.m_editor.isNull());
        QCOMPARE(window.txtcontainer->toPlainText(), QStringLiteral("Good evening"));
        // A fresh, empty editor; Done on it empties the store.
        useEditor(window, [](frmEditor &editor) {
            QVERIFY(editor.txteditor->toPlainText().isEmpty());
            QVERIFY(editor.cdlgeditor.FileName.isEmpty());
            editor.cmddone->click();
        });
        QVERIFY(window.txtcontainer->toPlainText().isEmpty());
        QVERIFY(messages.list.empty());
    }
};

QTEST_MAIN(tst_Editor)
#include "tst_editor.moc"
