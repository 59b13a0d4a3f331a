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

// Every dialog goes to the hook instead of the screen; nullptr restores real dialogs. Tests answer and
// record dialogs so; the program's end answers them so, as no box may hold it up then.
using TDialogHook = std::function<TDialogResult(TDialogKind kind, const QString &text)>;
void SetDialogHook(TDialogHook hook);

// The program is ending: every box open now is closed as if cancelled (ShowWarning answers Cancel,
// AskYesNo No), so that the event loops waiting on them return. whenClosed runs once they all have:
// from the clock's next turn, after the code that showed them has gone on; at once when none was open.
void CloseOpenDialogs(std::function<void()> whenClosed);
