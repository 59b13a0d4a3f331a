#include "core/Dialogs.h"
#include "core/Errors.h"
#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace {
TDialogHook &Hook()
{
    static TDialogHook hook;
    return hook;
}

QWidget *DialogParent()
{
    return QApplication::activeWindow();
}
} // namespace

void SetDialogHook(TDialogHook hook)
{
    Hook() = std::move(hook);
}

void ShowMessage(const QString &text)
{
    if (Hook()) {
        Hook()(TDialogKind::Message, text);
        return;
    }
    QMessageBox::information(DialogParent(), QApplication::applicationDisplayName(), text);
}

void ShowNotice(const QString &text)
{
    if (Hook()) {
        Hook()(TDialogKind::Notice, text);
        return;
    }
    static QPointer<QMessageBox> box;
    if (!box) {
        box = new QMessageBox(QMessageBox::Warning, QApplication::applicationDisplayName(), text, QMessageBox::Ok,
                              DialogParent());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
    }
    box->setText(text);
    box->show();
    box->raise();
}

TDialogResult ShowWarning(const QString &text)
{
    if (Hook())
        return Hook()(TDialogKind::Warning, text);
    const auto answer = QMessageBox::warning(DialogParent(), QApplication::applicationDisplayName(), text,
                                             QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    return answer == QMessageBox::Ok ? TDialogResult::Ok : TDialogResult::Cancel;
}

bool AskYesNo(const QString &text)
{
    if (Hook())
        return Hook()(TDialogKind::Question, text) == TDialogResult::Ok;
    return QMessageBox::question(DialogParent(), QApplication::applicationDisplayName(), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

void ReportError(const std::exception &error)
{
    ShowMessage(ErrorMessage(error));
}
