#include "DialogAnswers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class tst_CommonDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void translatesFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("nameFilters"); // joined by " ;; "
        const auto row = [](const char *name, const QString &filter, const QString &nameFilters) {
            QTest::newRow(name) << filter << nameFilters;
        };
        row("one pair", "Text Files(*.txt)|*.txt", "Text Files(*.txt) (*.txt)");
        row("two pairs", "MP3 Files|*.mp3|All Files|*.*", "MP3 Files (*.mp3) ;; All Files (*.*)");
        row("several patterns", "Scripts|*.txt;*.text", "Scripts (*.txt *.text)");
    }
    void translatesFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QString, nameFilters);
        CommonDialog dialog(nullptr);
        dialog.Filter = filter;
        QCOMPARE(dialog.nameFilters().join(QStringLiteral(" ;; ")), nameFilters);
    }

    void reportsCancel_data()
    {
        QTest::addColumn<int>("kindIndex");
        QTest::addColumn<bool>("cancelError");
        QTest::addColumn<bool>("confirm");
        const char *const kinds[] = { "open", "save", "colour" };
        for (int kind = 0; kind < 3; ++kind) {
            for (int i = 0; i < 4; ++i)
                QTest::addRow("%s %s, CancelError %s", kinds[kind],
                    i & 1 ? "confirmed" : "cancelled", i & 2 ? "on" : "off")
                    << kind << bool(i & 2) << bool(i & 1);
        }
    }
    // Only a cancel with CancelError set fails; a cancel keeps the earlier choice.
    void reportsCancel()
    {
        QFETCH(int, kindIndex);
        const auto kind = CommonDialog::Kind(kindIndex);
        QFETCH(bool, cancelError);
        QFETCH(bool, confirm);
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
            answers.choose(QStringLiteral("/after/take one.v2.txt"));
        const bool shown = kind == CommonDialog::Kind::Open ? dialog.ShowOpen()
            : kind == CommonDialog::Kind::Save              ? dialog.ShowSave()
                                                            : dialog.ShowColor();
        QCOMPARE(shown, confirm || !cancelError);
        QCOMPARE(dialog.Cancelled(), !confirm);
        const bool color = kind == CommonDialog::Kind::Color;
        QCOMPARE(dialog.FileName, confirm && !color ? "/after/take one.v2.txt" : "/before/old.txt");
        QCOMPARE(dialog.FileTitle, confirm && !color ? "take one.v2.txt" : "");
        QCOMPARE(dialog.Color, confirm && color ? 0x00FF00 : 255);
    }

    void asksBeforeOverwritingOnlyWithFlag2_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("reply"); // to the question, should one come
        QTest::newRow("flags 6, replace") << 6 << int(QMessageBox::Yes);
        QTest::newRow("flags 6, keep") << 6 << int(QMessageBox::No);
        QTest::newRow("flags 4") << 4 << int(QMessageBox::No);
    }
    // Drives Qt's real Save dialog: the user types the name of an existing file.
    void asksBeforeOverwritingOnlyWithFlag2()
    {
        QFETCH(int, flags);
        QFETCH(int, reply);
        QTemporaryDir dir;
        const QString existing = dir.filePath(QStringLiteral("existing.txt"));
        QVERIFY(QFile(existing).open(QIODevice::WriteOnly));
        CommonDialog dialog(nullptr);
        dialog.Flags = flags;
        dialog.Filter = QStringLiteral("Text Files(*.txt)|*.txt");
        dialog.FilterIndex = 1;
        dialog.FileName = dir.filePath(QStringLiteral("other.txt"));
        bool asked = false;
        int ticks = 0;
        QString shownFilter;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            auto *files = qobject_cast<QFileDialog *>(modal);
            auto *name = files ? files->findChild<QLineEdit *>("fileNameEdit") : nullptr;
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                asked = true;
                box->button(QMessageBox::StandardButton(reply))->click();
            } else if (modal && (++ticks > 1000 || (files && asked))) {
                modal->reject(); // never usable, or back after the file was kept: the user gives up
            } else if (name) {
                if (auto *combo = files->findChild<QComboBox *>("fileTypeCombo"))
                    shownFilter = combo->currentText();
                name->setText(existing);
                // Queued, so that a question it raises finds this timer free to answer it.
                QMetaObject::invokeMethod(files, &QDialog::accept, Qt::QueuedConnection);
            }
        });
        user.start(10);
        QVERIFY(dialog.ShowSave());
        const bool chosen = !(flags & 2) || reply == QMessageBox::Yes;
        QCOMPARE(asked, bool(flags & 2));
        QCOMPARE(dialog.Cancelled(), !chosen);
        QCOMPARE(QFileInfo(dialog.FileName).fileName(), chosen ? "existing.txt" : "other.txt");
        QCOMPARE(shownFilter, QStringLiteral("Text Files(*.txt)"));
    }
};

QTEST_MAIN(tst_CommonDialog)
#include "tst_commondialog.moc"
