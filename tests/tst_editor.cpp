#include "DialogAnswers.h"
#include "TestSupport.h"

#include "app/frmMain.h"
#include "editor/frmEditor.h"
#include "prompter/PromptBox.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPointer>
#include <QToolButton>

#include <functional>

namespace
{

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

// An editor on a store of its own, holding a text; a folder with script.txt in
// it unless onDisk is null; the user's answers to its dialogs.
struct Editor {
    explicit Editor(const QString &text = QString(), const QByteArray &onDisk = QByteArray())
    {
        editor.txteditor->setPlainText(text);
        QFile file(path);
        if (!onDisk.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(onDisk) == onDisk.size());
    }
    // Presses a button with the space bar, the focus on it, as a user would.
    void press(QToolButton *button)
    {
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        button->setFocus();
        QVERIFY(button->hasFocus());
        QTest::keyClick(button, Qt::Key_Space);
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
    void initTestCase()
    {
        m_settings = std::make_unique<SettingsFolder>();
        SettingsFile::createIfMissing();
    }

    void laysOutTheDesign()
    {
        Editor e;
        frmEditor &editor = e.editor;
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QCOMPARE(editor.windowTitle(), QStringLiteral("Editor"));
        QCOMPARE(editor.size(), QSize(519, 405));
        QCOMPARE(editor.minimumSize(), editor.maximumSize());
        QVERIFY(!(editor.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(editor.txteditor->mapTo(&editor, QPoint()), QPoint(16, 16));
        QCOMPARE(editor.txteditor->size(), QSize(489, 329));
        QCOMPARE(editor.cmdopen->mapTo(&editor, QPoint()), QPoint(120, 352));
        QCOMPARE(editor.cmdsave->text(), QStringLiteral("&Save"));
        QCOMPARE(editor.txteditor->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(editor.txteditor->font().pixelSize(), 12);
        QCOMPARE(editor.cmddone->font().pixelSize(), 11);
        // Tab order: text, Done, Save, Open.
        QWidget *next = editor.txteditor;
        for (QWidget *expected : { editor.cmddone, editor.cmdsave, editor.cmdopen }) {
            while ((next = next->nextInFocusChain())->focusPolicy() == Qt::NoFocus) { }
            QCOMPARE(next, expected);
        }
    }

    void opensScripts_data()
    {
        QTest::addColumn<QString>("chosen"); // empty: the dialog is cancelled
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty file") << "script.txt" << QByteArray("") << QString();
        QTest::newRow("abc without line break") << "script.txt" << QByteArray("abc") << "abc";
        QTest::newRow("Windows-1252")
            << "script.txt" << QByteArray("\x93Voil\xe0!\x94 co\xfbte 5 \x80")
            << "“Voilà!” coûte 5 €";
        QTest::newRow("UTF-8") << "script.txt"
                               << QByteArray("\xe2\x80\x9cVoil\xc3\xa0!\xe2\x80\x9d \xe2\x82\xac")
                               << "“Voilà!” €";
        QTest::newRow("cancelled") << QString() << QByteArray("abc") << "earlier text";
        QTest::newRow("a folder") << "." << QByteArray("abc") << "earlier text";
    }

    // The text read, or the earlier one kept; the focus back in the text either way.
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
        e.press(e.editor.cmdopen);
        QCOMPARE(e.editor.txteditor->toPlainText(), text);
        QCOMPARE(e.messages.shown(),
            chosen == QLatin1String(".") ? QStringList { "Error: COULD NOT OPEN THE FILE!" }
                                         : QStringList());
        QVERIFY(e.editor.txteditor->hasFocus());
        QVERIFY(e.store.toPlainText().isEmpty());
        QCOMPARE(e.answers.calls.size(), 1u);
        QCOMPARE(e.answers.calls[0].kind, CommonDialog::Kind::Open);
        QCOMPARE(e.answers.calls[0].flags, 4);
        QVERIFY(e.answers.calls[0].cancelError);
    }

    void savesRoundTripsUnchanged_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("bytes"); // empty: nothing may be saved
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("blanks") << "   " << QByteArray("   \r\n");
        QTest::newRow("line breaks") << "\n\n" << QByteArray("\r\n\r\n");
        QTest::newRow("abc") << "abc" << QByteArray("abc\r\n");
        QTest::newRow("ends with a break") << "abc\n" << QByteArray("abc\r\n");
        QTest::newRow("lines, accents and no-break space")
            << "one\nVoilà\u00a0€" << QByteArray("one\r\nVoil\xc3\xa0\xc2\xa0\xe2\x82\xac\r\n");
    }

    void savesRoundTripsUnchanged()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, bytes);
        Editor e(typed);
        e.answers.choose(e.path);
        e.press(e.editor.cmdsave);
        if (bytes.isEmpty()) {
            QVERIFY(e.answers.calls.empty());
            QCOMPARE(e.messages.shown(), QStringList { "Error: NOTHING TO SAVE!" });
            QVERIFY(entries(e.dir).isEmpty());
            QVERIFY(e.editor.cmdsave->hasFocus());
            return;
        }
        QVERIFY(e.editor.txteditor->hasFocus());
        QCOMPARE(contents(e.path), bytes);
        for (int round = 0; round < 3; ++round) {
            e.answers.choose(e.path);
            e.editor.cmdopen->click();
            e.answers.choose(e.path);
            e.editor.cmdsave->click();
            QCOMPARE(contents(e.path), bytes);
        }
        QVERIFY(e.messages.list.empty());
        QCOMPARE(entries(e.dir), QStringList { "script.txt" });
        // Save asks before overwriting, and leaves CancelError off until an Open turns it on.
        for (size_t i = 0; i < e.answers.calls.size(); ++i) {
            const DialogAnswers::Call &call = e.answers.calls[i];
            QCOMPARE(call.kind, i % 2 ? CommonDialog::Kind::Open : CommonDialog::Kind::Save);
            QCOMPARE(call.flags, i % 2 ? 4 : 6);
            QCOMPARE(call.cancelError, i > 0);
            QCOMPARE(call.filter, QStringLiteral("Text Files(*.txt)|*.txt"));
            QCOMPARE(call.filterIndex, 1);
        }
    }

    void cancelledSaveWritesNothing_data()
    {
        QTest::addColumn<QString>("before"); // what the dialog was last used for
        QTest::newRow("first use") << QString();
        QTest::newRow("after a save") << "save";
        QTest::newRow("after an open") << "open";
    }

    void cancelledSaveWritesNothing()
    {
        QFETCH(QString, before);
        Editor e(QStringLiteral("first draft"), "on disk\r\n");
        if (!before.isEmpty()) {
            e.answers.choose(e.path);
            (before == QLatin1String("save") ? e.editor.cmdsave : e.editor.cmdopen)->click();
        }
        const QByteArray saved = contents(e.path);
        e.editor.txteditor->setPlainText(QStringLiteral("second draft"));
        e.answers.cancel();
        e.editor.cmdsave->click();
        QVERIFY(e.answers.answers.empty());
        QCOMPARE(contents(e.path), saved);
        QCOMPARE(entries(e.dir), QStringList { "script.txt" });
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
        QCOMPARE(contents(e.path), QByteArray("old script\r\n"));
        QCOMPARE(entries(e.dir), QStringList({ "folder", "script.txt" }));
        QVERIFY(QFileInfo(e.dir.filePath(QStringLiteral("folder"))).isDir());
        QCOMPARE(e.editor.txteditor->toPlainText(), QString(200, 'x'));
    }

    // Done hides the editor and hands its text over; the close box discards it.
    void handsOverOnlyThroughDone()
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
            QTest::keyClick(&editor, Qt::Key_Escape);
            QVERIFY(editor.isVisible());
            QTest::keyClicks(editor.txteditor, QStringLiteral("Good evening"));
            answers.choose(path);
            editor.cmdsave->click();
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

private:
    std::unique_ptr<SettingsFolder> m_settings;
};

QTEST_MAIN(tst_Editor)
#include "tst_editor.moc"
