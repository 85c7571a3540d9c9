#include "recordingprompt.h"

#include <QDialog>

void TRecordingPrompt::Message(QWidget*, const QString& text)
{
    boxes.append({Box::Message, text});
}

void TRecordingPrompt::Error(QWidget*, const QString& text)
{
    boxes.append({Box::Error, ErrorBoxText(text)});
}

QString TRecordingPrompt::OpenFile(QWidget*, const TFileDialogSpec& spec)
{
    fileDialogs.append(spec);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString TRecordingPrompt::SaveFile(QWidget*, const TFileDialogSpec& spec)
{
    fileDialogs.append(spec);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

bool TRecordingPrompt::Print(QWidget*, QPrinter& printer)
{
    if (onPrint)
        onPrint(printer);
    return printAnswer;
}

int TRecordingPrompt::Exec(QDialog& dialog)
{
    return onExec ? onExec(dialog) : int(QDialog::Rejected);
}

QStringList TRecordingPrompt::Texts() const
{
    QStringList out;
    for (const Box& b : boxes)
        out << b.text;
    return out;
}

TPromptGuard::TPromptGuard()
{
    auto p = std::make_unique<TRecordingPrompt>();
    prompt_ = p.get();
    SetPrompt(std::move(p));
}

TPromptGuard::~TPromptGuard()
{
    SetPrompt(nullptr);
}
