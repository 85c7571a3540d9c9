// A prompt for tests: records every box and answers file, print and setup
// dialogs from a script instead of blocking.
#pragma once

#include "prompt.h"

#include <QStringList>

#include <functional>

class TRecordingPrompt : public TPrompt {
public:
    struct Box {
        enum Kind { Message, Error } kind;
        QString text; // for Error: the text as the box shows it (ErrorBoxText applied)
    };

    QList<Box> boxes;
    // Answers for the next file dialogs, taken in order; an empty answer or an
    // exhausted list means "cancelled".
    QStringList fileAnswers;
    QList<TFileDialogSpec> fileDialogs; // what each file dialog was asked with
    // Answer of the print dialog, and what to do with the printer before it.
    bool printAnswer = false;
    std::function<void(QPrinter&)> onPrint;
    // Runs instead of a modal dialog of our own; returns its result.
    std::function<int(QDialog&)> onExec;

    void Message(QWidget*, const QString& text) override;
    void Error(QWidget*, const QString& text) override;
    QString OpenFile(QWidget*, const TFileDialogSpec& spec) override;
    QString SaveFile(QWidget*, const TFileDialogSpec& spec) override;
    bool Print(QWidget*, QPrinter& printer) override;
    int Exec(QDialog& dialog) override;

    QStringList Texts() const;
    void Clear() { boxes.clear(); }
};

// Installs a fresh recording prompt for the life of the guard.
class TPromptGuard {
public:
    TPromptGuard();
    ~TPromptGuard();
    TRecordingPrompt& operator*() { return *prompt_; }
    TRecordingPrompt* operator->() { return prompt_; }

private:
    TRecordingPrompt* prompt_;
};
