#include "DialogAnswers.h"

#include "platform/CommonDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(CommonDialog::Kind)

class tst_CommonDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void translatesFilters_data();
    void translatesFilters();
    void keepsValuesBetweenShows();
    void reportsCancel_data();
    void reportsCancel();
    void setsFileTitle_data();
    void setsFileTitle();
    void asksBeforeOverwritingOnlyWithFlag2_data();
    void asksBeforeOverwritingOnlyWithFlag2();
};

void tst_CommonDialog::translatesFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::newRow("one pair") << QStringLiteral("Text Files(*.txt)|*.txt")
                              << QStringList{QStringLiteral("Text Files(*.txt) (*.txt)")};
    QTest::newRow("two pairs") << QStringLiteral("MP3 Files|*.mp3|All Files|*.*")
                               << QStringList{QStringLiteral("MP3 Files (*.mp3)"),
                                              QStringLiteral("All Files (*.*)")};
    QTest::newRow("several patterns") << QStringLiteral("Scripts|*.txt;*.text")
                                      << QStringList{QStringLiteral("Scripts (*.txt *.text)")};
    QTest::newRow("none") << QString() << QStringList();
    QTest::newRow("description without pattern")
        << QStringLiteral("Text|*.txt|Orphan") << QStringList{QStringLiteral("Text (*.txt)")};
}

void tst_CommonDialog::translatesFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, nameFilters);
    CommonDialog dialog(nullptr);
    dialog.Filter = filter;
    QCOMPARE(dialog.nameFilters(), nameFilters);
}

void tst_CommonDialog::keepsValuesBetweenShows()
{
    DialogAnswers answers;
    CommonDialog dialog(nullptr);
    dialog.Filter = QStringLiteral("Text Files(*.txt)|*.txt");
    dialog.Flags = 6;
    dialog.FilterIndex = 1;
    dialog.CancelError = true;
    answers.choose(QStringLiteral("/scripts/first.txt"));
    QVERIFY(dialog.ShowSave());
    QVERIFY(!dialog.Cancelled());

    // The next show, of another kind, opens on everything set or chosen before.
    answers.cancel();
    QVERIFY(!dialog.ShowOpen());
    QCOMPARE(answers.calls.size(), 2u);
    const DialogAnswers::Call &second = answers.calls.at(1);
    QCOMPARE(second.kind, CommonDialog::Kind::Open);
    QCOMPARE(second.fileName, QStringLiteral("/scripts/first.txt"));
    QCOMPARE(second.filter, QStringLiteral("Text Files(*.txt)|*.txt"));
    QCOMPARE(second.flags, 6);
    QCOMPARE(second.filterIndex, 1);
    QVERIFY(second.cancelError);
    // A cancel leaves the earlier choice in place.
    QCOMPARE(dialog.FileName, QStringLiteral("/scripts/first.txt"));
    QCOMPARE(dialog.FileTitle, QStringLiteral("first.txt"));
}

void tst_CommonDialog::reportsCancel_data()
{
    QTest::addColumn<CommonDialog::Kind>("kind");
    QTest::addColumn<bool>("cancelError");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("result");
    for (auto [kind, name] : {std::pair{CommonDialog::Kind::Open, "open"},
                              std::pair{CommonDialog::Kind::Save, "save"},
                              std::pair{CommonDialog::Kind::Color, "colour"}}) {
        QTest::addRow("%s confirmed, CancelError on", name) << kind << true << true << true;
        QTest::addRow("%s confirmed, CancelError off", name) << kind << false << true << true;
        QTest::addRow("%s cancelled, CancelError on", name) << kind << true << false << false;
        QTest::addRow("%s cancelled, CancelError off", name) << kind << false << false << true;
    }
}

void tst_CommonDialog::reportsCancel()
{
    QFETCH(CommonDialog::Kind, kind);
    QFETCH(bool, cancelError);
    QFETCH(bool, confirm);
    QFETCH(bool, result);
    DialogAnswers answers;
    CommonDialog dialog(nullptr);
    dialog.CancelError = cancelError;
    dialog.FileName = QStringLiteral("/before/old.txt");
    dialog.Color = 255;
    if (!confirm)
        answers.cancel();
    else if (kind == CommonDialog::Kind::Color)
        answers.chooseColor(0x00FF00);
    else
        answers.choose(QStringLiteral("/after/new.txt"));

    const bool shown = kind == CommonDialog::Kind::Open   ? dialog.ShowOpen()
                       : kind == CommonDialog::Kind::Save ? dialog.ShowSave()
                                                          : dialog.ShowColor();
    QCOMPARE(shown, result);
    QCOMPARE(dialog.Cancelled(), !confirm);
    const bool fileChosen = confirm && kind != CommonDialog::Kind::Color;
    const bool colorChosen = confirm && kind == CommonDialog::Kind::Color;
    QCOMPARE(dialog.FileName,
             fileChosen ? QStringLiteral("/after/new.txt") : QStringLiteral("/before/old.txt"));
    QCOMPARE(dialog.Color, colorChosen ? 0x00FF00 : 255);
}

void tst_CommonDialog::setsFileTitle_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("with extension") << QStringLiteral("/home/me/take one.mp3")
                                    << QStringLiteral("take one.mp3");
    QTest::newRow("without extension") << QStringLiteral("/home/me/script")
                                       << QStringLiteral("script");
    QTest::newRow("two dots") << QStringLiteral("/a.b/c.d.txt") << QStringLiteral("c.d.txt");
}

void tst_CommonDialog::setsFileTitle()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    DialogAnswers answers;
    CommonDialog dialog(nullptr);
    answers.choose(path);
    QVERIFY(dialog.ShowSave());
    QCOMPARE(dialog.FileName, path);
    QCOMPARE(dialog.FileTitle, title);
}

void tst_CommonDialog::asksBeforeOverwritingOnlyWithFlag2_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("reply");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("flags 6, replace") << 6 << int(QMessageBox::Yes) << true << true;
    QTest::newRow("flags 6, keep") << 6 << int(QMessageBox::No) << true << false;
    QTest::newRow("flags 2, replace") << 2 << int(QMessageBox::Yes) << true << true;
    QTest::newRow("flags 4") << 4 << int(QMessageBox::No) << false << true;
    QTest::newRow("flags 0") << 0 << int(QMessageBox::No) << false << true;
}

// Drives Qt's real Save dialog: the user picks an existing file, and a question
// about replacing it is answered if one comes.
void tst_CommonDialog::asksBeforeOverwritingOnlyWithFlag2()
{
    QFETCH(int, flags);
    QFETCH(int, reply);
    QFETCH(bool, asked);
    QFETCH(bool, chosen);
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("existing.txt"));
    {
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    CommonDialog dialog(nullptr);
    dialog.Flags = flags;
    dialog.Filter = QStringLiteral("Text Files(*.txt)|*.txt");
    dialog.FilterIndex = 1;
    const QString before = dir.filePath(QStringLiteral("other.txt"));
    dialog.FileName = before;

    bool questioned = false;
    int picks = 0;
    int ticks = 0;
    QString shownFilter;
    QTimer user;
    user.setInterval(10);
    connect(&user, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        // Should the dialog never become usable, the test fails instead of hanging.
        if (++ticks > 1000) {
            if (auto *stuck = qobject_cast<QDialog *>(modal))
                stuck->reject();
            return;
        }
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            questioned = true;
            box->button(QMessageBox::StandardButton(reply))->click();
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            // A second visit means the file was kept: the user gives up.
            if (picks > 0) {
                files->reject();
                return;
            }
            if (auto *combo = files->findChild<QComboBox *>(QStringLiteral("fileTypeCombo")))
                shownFilter = combo->currentText();
            // Typed, as a user would: the name box has the focus by now.
            auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!name)
                return;
            name->setText(existing);
            ++picks;
            // Queued, so that a question it raises finds this timer free to answer it.
            QMetaObject::invokeMethod(static_cast<QDialog *>(files), &QDialog::accept,
                                      Qt::QueuedConnection);
        }
    });
    user.start();
    QVERIFY(dialog.ShowSave());
    user.stop();

    QCOMPARE(questioned, asked);
    QCOMPARE(dialog.Cancelled(), !chosen);
    if (chosen)
        QCOMPARE(QFileInfo(dialog.FileName).canonicalFilePath(),
                 QFileInfo(existing).canonicalFilePath());
    else
        QCOMPARE(dialog.FileName, before);
    QCOMPARE(shownFilter, QStringLiteral("Text Files(*.txt)"));
}

QTEST_MAIN(tst_CommonDialog)
#include "tst_commondialog.moc"
