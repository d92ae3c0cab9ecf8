#include "TestSupport.h"

#include "app/frmMain.h"
#include "editor/frmEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStandardPaths>

#include <sys/stat.h>

namespace
{
const QString kOpen = QStringLiteral("Open 4 1 Text Files(*.txt)|*.txt CancelError");
const QString kSave = QStringLiteral("Save 6 1 Text Files(*.txt)|*.txt");

// The main window on settings of its own, and a folder for scripts.
struct Session {
    SettingsFolder settings;
    QTemporaryDir dir;
    DialogAnswers answers;
    CapturedMessages messages;
    frmMain w;
    const QString path = dir.filePath(QStringLiteral("script.txt"));
    QString store() const { return child<QPlainTextEdit>(w, "txtcontainer")->toPlainText(); }
    // Presses Editor and lets the user act in the modal editor, which the user must leave.
    void useEditor(const std::function<void(QWidget &, QPlainTextEdit &)> &user)
    {
        QTimer::singleShot(0, &w, [this, user] {
            auto *editor = w.findChild<frmEditor *>();
            QVERIFY(editor && editor->isVisible());
            user(*editor, *child<QPlainTextEdit>(*editor, "txteditor"));
            const bool open = editor->isVisible();
            editor->hide();
            QVERIFY2(!open, "the editor stayed open");
        });
        click(w, "cmdeditor");
    }
};
} // namespace

class tst_Editor : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void opensAndSaves_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // in script.txt; null: the folder itself is chosen
        QTest::addColumn<QString>("shown"); // by the editor after Open, or the error it reports
        QTest::addColumn<QByteArray>("saved"); // by Save, and again after Open
        const auto row = [](const char *name, QByteArray bytes, QString shown, QByteArray saved) {
            QTest::newRow(name) << bytes << shown << saved;
        };
        row("empty file", "", "", "");
        row("abc without line break", "abc", "abc", "abc\r\n");
        row("ends in a character of two bytes", "caf\xc3\xa9", "caf\u00e9", "caf\xc3\xa9\r\n");
        row("blanks and line breaks", " \r\n\r\n", " \n\n", " \r\n\r\n");
        row("CR LF, LF and lone CR", "a\r\nb\nc\r\r\nd\n\re\r", "a\nb\nc\n\nd\n\ne\n",
            "a\r\nb\r\nc\r\n\r\nd\r\n\r\ne\r\n");
        row("UTF-8 with BOM, no-break space kept", "\xef\xbb\xbf\xc3\xbc\xc2\xa0\xe2\x82\xac\r\n",
            "ü €\n", "\xc3\xbc\xc2\xa0\xe2\x82\xac\r\n");
        row("Windows-1252", "\x93\x94\x80\x8a\x9f\x81\x8d\x8f\x90\x9d\xe9",
            "“”€ŠŸ\u0081\u008d\u008f\u0090\u009dé",
            "\xe2\x80\x9c\xe2\x80\x9d\xe2\x82\xac\xc5\xa0\xc5\xb8\xc2\x81\xc2\x8d\xc2\x8f\xc2\x90"
            "\xc2\x9d\xc3\xa9\r\n");
        // Only the bytes that are not UTF-8 are read as Windows-1252.
        row("UTF-8 and a 1252 byte", "caf\xc3\xa9 \xe9\x80 \xc3\xa9\xe2\x82", "café é€ éâ‚",
            "caf\xc3\xa9 \xc3\xa9\xe2\x82\xac \xc3\xa9\xc3\xa2\xe2\x80\x9a\r\n");
        // Only the first BOM is a signature.
        row("two BOMs", "\xef\xbb\xbf\xef\xbb\xbfhi", QStringLiteral("\ufeffhi"),
            "\xef\xbb\xbf\xef\xbb\xbfhi\r\n");
        const QString noOpen = QStringLiteral("Error: COULD NOT OPEN THE FILE!");
        row("a folder", QByteArray(), noOpen, "earlier text\r\n");
        row("a FIFO", "", noOpen, ""); // not read, and not written to by a Save
        row("over 10 MB", QByteArray(10 * 1024 * 1024 + 1, 'x'),
            "Error: THE FILE IS TOO BIG TO PROMPT! A SCRIPT CAN HOLD UP TO 10 MB.",
            "earlier text\r\n");
    }
    // Open shows a file as text, or keeps the text when it cannot; Save writes UTF-8 with CR LF,
    // and a file saved comes back as the same text and is saved the same again.
    void opensAndSaves()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QFETCH(QByteArray, saved);
        Session s;
        const bool refused = shown.startsWith(QStringLiteral("Error: "));
        QVERIFY(QTest::currentDataTag() == QStringLiteral("a FIFO")
                ? mkfifo(QFile::encodeName(s.path), 0600) == 0
                : writeFile(s.path, bytes));
        s.useEditor([&](QWidget &editor, QPlainTextEdit &text) {
            QTest::keyClicks(&text, QStringLiteral("earlier text"));
            s.answers.choose(bytes.isNull() ? s.dir.path() : s.path);
            click(editor, "cmdopen");
            QCOMPARE(text.toPlainText(), refused ? QStringLiteral("earlier text") : shown);
            s.answers.answers = { { true, s.path, 0 }, { true, s.path, 0 }, { true, s.path, 0 } };
            for (int round = 0; round < 2 && !saved.isEmpty(); ++round) {
                click(editor, "cmdsave");
                QCOMPARE(fileBytes(s.path), saved);
                click(editor, "cmdopen");
            }
            QVERIFY(s.store().isEmpty()); // only Done hands the text over
            editor.close();
        });
        QCOMPARE(s.messages.shown(), refused ? QStringList { shown } : QStringList());
    }
    // Done hides the editor and hands its text over; the next Editor press shows the same
    // editor. The close box discards it, and the next press starts a fresh, empty one.
    void handsOverOnlyThroughDone()
    {
        Session s;
        QPointer<QWidget> first;
        // Save and Open, cancelled, failed or done, give the window's focus back to the text.
        const auto press = [&s](QWidget &editor, const char *button, const QString &chosen = {}) {
            chosen.isEmpty() ? s.answers.cancel() : s.answers.choose(s.dir.filePath(chosen));
            child(editor, button)->setFocus();
            click(editor, button);
            QCOMPARE(editor.focusWidget(), child(editor, "txteditor"));
        };
        s.useEditor([&](QWidget &editor, QPlainTextEdit &text) {
            first = &editor;
            QTest::keyClicks(&text, QStringLiteral("Good"));
            // Cancelled, Save writes nothing: at first use, after a save (its name kept), after an
            // Open. Failed, it keeps the old file: no such folder, a folder, a full disk.
            press(editor, "cmdsave");
            press(editor, "cmdsave", "script.txt");
            QTest::keyClicks(&text, QStringLiteral(" evening"));
            press(editor, "cmdsave");
            press(editor, "cmdsave", "script.txt/new.txt");
            press(editor, "cmdsave", ".");
            std::optional<Restore> full(limitFileSize(8));
            press(editor, "cmdsave", "script.txt");
            full.reset();
            press(editor, "cmdopen");
            press(editor, "cmdsave");
            QCOMPARE(fileBytes(s.path), QByteArray("Good\r\n"));
            QCOMPARE(folderEntries(s.dir.path()), QStringList { "script.txt" });
            QCOMPARE(s.answers.shows, QStringList(6, kSave) << kOpen << kSave + " CancelError");
            QVERIFY(s.store().isEmpty());
            child(editor, "cmddone")->setFocus();
            click(editor, "cmddone");
        });
        QCOMPARE(s.store(), QStringLiteral("Good evening"));
        QVERIFY(first && !first->isVisible());
        s.useEditor([&](QWidget &editor, QPlainTextEdit &text) {
            QCOMPARE(&editor, first.data());
            QCOMPARE(text.toPlainText(), QStringLiteral("Good evening"));
            QCOMPARE(editor.focusWidget(), &text); // back where the user left off
            press(editor, "cmdopen");
            QCOMPARE(s.answers.fileNames.back(), s.path); // where the last save went
            QTest::keyClicks(&text, QStringLiteral(" and a draft"));
            editor.close();
        });
        QVERIFY(first.isNull());
        QCOMPARE(s.store(), QStringLiteral("Good evening"));
        s.useEditor([&](QWidget &editor, QPlainTextEdit &text) {
            QVERIFY(text.toPlainText().isEmpty());
            click(editor, "cmdsave");
            press(editor, "cmdopen");
            QVERIFY(s.answers.fileNames.back().isEmpty());
            // A line broken with Shift+Enter is a line break in the file and the store.
            QTest::keyClicks(&text, QStringLiteral("a"));
            QTest::keyClick(&text, Qt::Key_Return, Qt::ShiftModifier);
            QTest::keyClicks(&text, QStringLiteral("b"));
            press(editor, "cmdsave", "lines.txt");
            QCOMPARE(fileBytes(s.dir.filePath("lines.txt")), QByteArray("a\r\nb\r\n"));
            click(editor, "cmddone");
        });
        QCOMPARE(s.store(), QStringLiteral("a\nb"));
        QCOMPARE(s.answers.fileNames.size(), 11); // none for an empty editor's Save
        QCOMPARE(s.messages.shown(),
            QStringList(3, "Error: COULD NOT SAVE THE FILE!") << "Error: NOTHING TO SAVE!");
    }
    // The close box empties the editor, but what it held comes back with "Restore Closed Text";
    // the script Done last handed over, also in an earlier run, with "Restore Last Script". Each
    // takes the editor's place as one step, which Undo takes back.
    void restoresWhatWasClosedOrHandedOver()
    {
        const QString kept = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + "/tellvane/scripts";
        QVERIFY(QDir(kept).removeRecursively());
        const QString draft = QStringLiteral("Draft \u00E9\u4E2D \U0001F3A4\n  no line break");
        // The restore items that can be chosen.
        const auto offered = [](QPlainTextEdit &text) {
            return menuItems(text.viewport(), "mnueditor")
                .filter(QRegularExpression("^Restore [^(]*$"));
        };
        {
            Session s;
            s.useEditor([&](QWidget &editor, QPlainTextEdit &text) {
                // The text fills most of the window, above the buttons.
                QVERIFY(text.width() > editor.width() * 9 / 10);
                QVERIFY(text.height() > editor.height() * 3 / 4);
                QCOMPARE(offered(text), QStringList());
                text.setPlainText(draft);
                editor.close();
            });
            s.useEditor([&](QWidget &editor, QPlainTextEdit &text) {
                QVERIFY(text.toPlainText().isEmpty());
                QCOMPARE(offered(text), { "Restore Closed Text" });
                QTest::keyClicks(&text, QStringLiteral("typed"));
                menuItems(text.viewport(), "mnueditor", "Restore Closed Text");
                QCOMPARE(text.toPlainText(), draft);
                QTest::keyClick(&text, Qt::Key_Z, Qt::ControlModifier);
                QCOMPARE(text.toPlainText(), QStringLiteral("typed"));
                text.setPlainText(QStringLiteral("The script"));
                click(editor, "cmddone");
            });
            // Changed after Done, the editor is open as the run ends.
            s.useEditor([&](QWidget &editor, QPlainTextEdit &text) {
                text.moveCursor(QTextCursor::End);
                QTest::keyClicks(&text, QStringLiteral(", changed"));
                editor.hide();
            });
            QVERIFY(s.messages.shown().isEmpty());
        }
        Session s; // the next run
        s.useEditor([&](QWidget &editor, QPlainTextEdit &text) {
            QCOMPARE(offered(text), QStringList({ "Restore Closed Text", "Restore Last Script" }));
            menuItems(text.viewport(), "mnueditor", "Restore Closed Text");
            QCOMPARE(text.toPlainText(), QStringLiteral("The script, changed"));
            menuItems(text.viewport(), "mnueditor", "Restore Last Script");
            QCOMPARE(text.toPlainText(), QStringLiteral("The script"));
            QTest::keyClick(&text, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(text.toPlainText(), QStringLiteral("The script, changed"));
            // Where nothing can be kept, the close box says so, and still empties the editor.
            text.setPlainText(QStringLiteral("lost?"));
            const Restore readOnly = makeReadOnly(kept);
            editor.close();
        });
        const QStringList shown = s.messages.shown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(
            shown[0].startsWith("Error: THE EDITOR'S TEXT COULD NOT BE KEPT FOR RESTORING: THE "
                                "FOLDER /"),
            qPrintable(shown[0]));
    }
    void savesOnlyWhatTheUserConfirms_data()
    {
        QTest::addColumn<QList<int>>("row"); // the reply to the question, CancelError
        QTest::newRow("replace") << QList<int> { QMessageBox::Yes, true };
        QTest::newRow("keep") << QList<int> { QMessageBox::No, false };
        QTest::newRow("keep, CancelError") << QList<int> { QMessageBox::No, true };
    }
    // Qt's real Save dialog: the user types an existing file's name. Flag 2 asks before it is
    // overwritten; a cancel keeps the earlier choice, and fails only with CancelError set.
    void savesOnlyWhatTheUserConfirms()
    {
        QFETCH(QList<int>, row);
        QTemporaryDir dir;
        const QString existing = dir.filePath(QStringLiteral("existing.txt"));
        QVERIFY(QFile(existing).open(QIODevice::WriteOnly));
        CommonDialog dialog(nullptr);
        dialog.Flags = 6;
        dialog.CancelError = row[1];
        dialog.Filter = QStringLiteral("Text Files(*.txt)|*.txt;*.text|All Files|*.*");
        dialog.FilterIndex = 2;
        dialog.FileName = dir.filePath(QStringLiteral("other.txt"));
        QStringList seen; // the filters offered, the one selected, then each question
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            auto *files = qobject_cast<QFileDialog *>(modal);
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                seen << QStringLiteral("asked");
                box->button(QMessageBox::StandardButton(row[0]))->click();
            } else if (files && seen.contains(QStringLiteral("asked"))) {
                files->reject(); // back after the file was kept: the user gives up
            } else if (files) {
                seen = files->nameFilters()
                    << files->findChild<QComboBox *>("fileTypeCombo")->currentText();
                files->findChild<QLineEdit *>("fileNameEdit")->setText(existing);
                // Queued, so that a question it raises finds this timer free to answer it.
                QMetaObject::invokeMethod(files, &QDialog::accept, Qt::QueuedConnection);
            }
        });
        user.start(10);
        const bool chosen = row[0] == QMessageBox::Yes;
        QCOMPARE(dialog.ShowSave(), chosen || !row[1]);
        QCOMPARE(dialog.Cancelled(), !chosen);
        QCOMPARE(dialog.FileName, chosen ? existing : dir.filePath(QStringLiteral("other.txt")));
        QCOMPARE(dialog.FileTitle, chosen ? "existing.txt" : "");
        // Only the description shows, and FilterIndex selects.
        QCOMPARE(seen,
            QStringList(
                { "Text Files(*.txt) (*.txt *.text)", "All Files (*.*)", "All Files", "asked" }));
    }
    // The recorder's Save in Qt's real dialog: "t3" typed where t3.mp3 is (a file, or a link that
    // leads nowhere, which the save would replace as well) is asked about as the file it becomes.
    // Kept, and the dialog then left, nothing is saved.
    void asksAboutTheMp3ATypedNameBecomes_data()
    {
        QTest::addColumn<bool>("link");
        QTest::newRow("a file") << false;
        QTest::newRow("a link that leads nowhere") << true;
    }
    void asksAboutTheMp3ATypedNameBecomes()
    {
        QFETCH(bool, link);
        Session s;
        CommonDialog::setAnswerer({});
        const QString mp3 = s.dir.filePath(QStringLiteral("t3.mp3"));
        QVERIFY(link ? QFile::link(s.dir.filePath("gone"), mp3) : writeFile(mp3, "old"));
        QString asked;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            auto *files = qobject_cast<QFileDialog *>(modal);
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                asked = qobject_cast<QFileDialog *>(box->parent()) ? box->text() : "elsewhere";
                box->button(QMessageBox::No)->click();
            } else if (files) {
                files->setDirectory(s.dir.path());
                files->findChild<QLineEdit *>("fileNameEdit")->setText(QStringLiteral("t3"));
                QMetaObject::invokeMethod(files,
                    asked.isEmpty() ? &QDialog::accept : &QDialog::reject, Qt::QueuedConnection);
            }
        });
        user.start(10);
        click(s.w, "cmdsave");
        QVERIFY2(asked.startsWith(QStringLiteral("t3.mp3 ")), qPrintable(asked));
        QVERIFY(child(s.w, "cmdsave")->isEnabled() && !child<QTimer>(s.w, "tmrsave")->isActive());
        QCOMPARE(folderEntries(s.dir.path()), QStringList { "t3.mp3" });
        if (link)
            QCOMPARE(QFileInfo(mp3).symLinkTarget(), s.dir.filePath("gone"));
        else
            QCOMPARE(fileBytes(mp3), QByteArray("old"));
    }
};

QTEST_MAIN(tst_Editor)
#include "tst_editor.moc"
