// The one seam through which the console puts a modal box or a file, print
// or setup dialog in front of the operator. The default shows the real Qt
// dialogs; tests install a recording prompt so nothing blocks on a dialog.
#pragma once

#include <QFileDialog>
#include <QString>

#include <exception>
#include <memory>
#include <utility>

class QDialog;
class QPrinter;
class QWidget;

struct TFileDialogSpec {
    QString title;
    QStringList filters;      // Qt form: "Log files (*.log)"
    QString defaultSuffix;    // without the dot; empty for none
    QString selectedFile;     // preset name, may be empty
    QFileDialog::Options options;
    bool pathMustExist = false;   // the folder of the chosen file must exist
    bool fileMustExist = false;   // open dialogs only
    bool rejectReadOnly = false;  // open dialogs: a read-only file is not accepted
    bool promptOverwrite = false; // save dialogs
};

class TPrompt {
public:
    virtual ~TPrompt() = default;

    // A plain modal message with an OK button, titled with the application's title.
    virtual void Message(QWidget* parent, const QString& text);
    // The standard error box: ErrorBoxText(text), the application's title,
    // an error icon and an OK button.
    virtual void Error(QWidget* parent, const QString& text);
    // File dialogs: the chosen name, or an empty string when cancelled.
    virtual QString OpenFile(QWidget* parent, const TFileDialogSpec& spec);
    virtual QString SaveFile(QWidget* parent, const TFileDialogSpec& spec);
    // The printer selection; false when cancelled.
    virtual bool Print(QWidget* parent, QPrinter& printer);
    // Runs one of our own modal dialogs; returns QDialog::Accepted or Rejected.
    virtual int Exec(QDialog& dialog);
};

// The prompt in force.
TPrompt& Prompt();
// Installs a prompt (nullptr restores the default) and returns the previous one.
std::unique_ptr<TPrompt> SetPrompt(std::unique_ptr<TPrompt> prompt);

// The error box's text: a full stop is appended when the code of the last
// character is above that of "." (so "Done!" gets one, "Done." and "x ." don't).
QString ErrorBoxText(const QString& text);

// The text of an exception as the operator should read it.
QString ExceptionText(const std::exception& e);

// Runs an event handler so that no exception crosses the Qt event loop:
// anything thrown ends in the standard error box.
template <class F>
void Guarded(QWidget* parent, F&& handler) noexcept
{
    try {
        std::forward<F>(handler)();
    } catch (const std::exception& e) {
        Prompt().Error(parent, ExceptionText(e));
    } catch (...) {
        Prompt().Error(parent, QStringLiteral("Unknown error"));
    }
}
