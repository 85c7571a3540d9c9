#include "prompt.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {

std::unique_ptr<TPrompt>& Installed()
{
    static std::unique_ptr<TPrompt> prompt = std::make_unique<TPrompt>();
    return prompt;
}

QString Title()
{
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QApplication::applicationName() : name;
}

QString RunFileDialog(QWidget* parent, const TFileDialogSpec& spec, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, spec.title);
    dialog.setAcceptMode(mode);
    dialog.setOptions(spec.options | (spec.promptOverwrite ? QFileDialog::Options{} : QFileDialog::DontConfirmOverwrite));
    dialog.setNameFilters(spec.filters);
    dialog.setDefaultSuffix(spec.defaultSuffix);
    dialog.setFileMode(spec.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!spec.selectedFile.isEmpty())
        dialog.selectFile(spec.selectedFile);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        const QString name = dialog.selectedFiles().constFirst();
        const QFileInfo info(name);
        if (spec.pathMustExist && !info.absoluteDir().exists()) {
            QMessageBox::warning(&dialog, spec.title, QObject::tr("The folder of %1 does not exist.").arg(name));
            continue;
        }
        if (spec.rejectReadOnly && info.exists() && !info.isWritable()) {
            QMessageBox::warning(&dialog, spec.title, QObject::tr("%1 is read-only.").arg(name));
            continue;
        }
        return name;
    }
}

} // namespace

void TPrompt::Message(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok, parent);
    box.exec();
}

void TPrompt::Error(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, Title(), ErrorBoxText(text), QMessageBox::Ok, parent);
    box.exec();
}

QString TPrompt::OpenFile(QWidget* parent, const TFileDialogSpec& spec)
{
    return RunFileDialog(parent, spec, QFileDialog::AcceptOpen);
}

QString TPrompt::SaveFile(QWidget* parent, const TFileDialogSpec& spec)
{
    return RunFileDialog(parent, spec, QFileDialog::AcceptSave);
}

bool TPrompt::Print(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

int TPrompt::Exec(QDialog& dialog)
{
    return dialog.exec();
}

TPrompt& Prompt()
{
    return *Installed();
}

std::unique_ptr<TPrompt> SetPrompt(std::unique_ptr<TPrompt> prompt)
{
    auto previous = std::move(Installed());
    Installed() = prompt ? std::move(prompt) : std::make_unique<TPrompt>();
    return previous;
}

QString ErrorBoxText(const QString& text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + QLatin1Char('.');
    return text;
}

QString ExceptionText(const std::exception& e)
{
    return QString::fromUtf8(e.what());
}
