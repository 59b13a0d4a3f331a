#pragma once
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>

// Message boxes and the OK/Cancel warning go through here, so tests can answer and record them
// instead of blocking on a modal dialog.
enum class TDialogKind { Message, Warning, Question, Notice };
enum class TDialogResult { Ok, Cancel };

// A plain message box with an OK button.
void ShowMessage(const QString &text);
// A box that tells without waiting for an answer: it does not block the caller, so the line goes on
// while it is shown. One notice box at a time: a new notice replaces the text of one still open.
void ShowNotice(const QString &text);
// A warning dialog with OK and Cancel.
TDialogResult ShowWarning(const QString &text);
// A question with Yes and No; true for Yes. A hook answers Ok for Yes.
bool AskYesNo(const QString &text);
// The application's default error reporting: a message box with the error's message.
void ReportError(const std::exception &error);

// Tests: every dialog goes to the hook instead of the screen; nullptr restores real dialogs.
using TDialogHook = std::function<TDialogResult(TDialogKind kind, const QString &text)>;
void SetDialogHook(TDialogHook hook);
