#include "platform/CommonDialog.h"

#include "platform/ColorRef.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace
{
CommonDialog::Answerer &answerer()
{
    static CommonDialog::Answerer instance;
    return instance;
}
} // namespace

CommonDialog::CommonDialog(QWidget *owner)
    : m_owner(owner)
{
}

void CommonDialog::setAnswerer(Answerer answerer_)
{
    answerer() = std::move(answerer_);
}

QStringList CommonDialog::nameFilters() const
{
    QStringList filters;
    const QStringList parts = Filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(QStringLiteral("%1 (%2)").arg(parts.at(i), patterns.simplified()));
    }
    return filters;
}

bool CommonDialog::ShowOpen()
{
    return finish(answerer() ? answerer()(Kind::Open, *this) : askForFile(Kind::Open));
}

bool CommonDialog::ShowSave()
{
    return finish(answerer() ? answerer()(Kind::Save, *this) : askForFile(Kind::Save));
}

void CommonDialog::ShowColor()
{
    const Answer answer = answerer() ? answerer()(Kind::Color, *this) : askForColor();
    m_cancelled = !answer.confirmed;
    if (answer.confirmed)
        Color = answer.color;
}

bool CommonDialog::finish(const Answer &answer)
{
    m_cancelled = !answer.confirmed || answer.path.isEmpty();
    if (!m_cancelled) {
        FileName = answer.path;
        FileTitle = QFileInfo(answer.path).fileName();
    }
    return !m_cancelled || !CancelError;
}

namespace
{

// Qt's dialog asks before it replaces a file, but not before it replaces a link that leads
// nowhere, which the save replaces all the same: it asks about that too, in the same words.
class FileDialog final : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (acceptMode() == AcceptSave && !testOption(DontConfirmOverwrite) && !chosen.isEmpty()) {
            const QFileInfo file(chosen.constFirst());
            if (file.isSymLink() && !file.exists()
                && QMessageBox::warning(this, windowTitle(),
                       tr("%1 already exists.\nDo you want to replace it?").arg(file.fileName()),
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                    == QMessageBox::No)
                return;
        }
        QFileDialog::accept();
    }
};

} // namespace

CommonDialog::Answer CommonDialog::askForFile(Kind kind) const
{
    FileDialog dialog(m_owner, DialogTitle);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The description is shown as the caller wrote it, without Qt's pattern suffix.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(kind == Kind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(kind == Kind::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!(Flags & kOverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // Added before the overwrite question, so that it asks about the file really written.
    dialog.setDefaultSuffix(DefaultExt);
    const QStringList filters = nameFilters();
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (FilterIndex >= 1 && FilterIndex <= filters.size())
            dialog.selectNameFilter(filters.at(FilterIndex - 1));
    }
    if (!FileName.isEmpty())
        dialog.selectFile(FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return { true, dialog.selectedFiles().constFirst(), 0 };
}

CommonDialog::Answer CommonDialog::askForColor() const
{
    const QColor chosen = QColorDialog::getColor(colorFromRef(Color), m_owner);
    if (!chosen.isValid())
        return {};
    return { true, QString(), refFromColor(chosen) };
}
