#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/Scheduler.h"
#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <utility>

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

// The boxes waiting for an answer now, the innermost last, and what runs once the last of them has
// returned after CloseOpenDialogs.
QList<QMessageBox *> &OpenBoxes()
{
    static QList<QMessageBox *> boxes;
    return boxes;
}

// The one notice box, while it is shown.
QPointer<QMessageBox> &NoticeBox()
{
    static QPointer<QMessageBox> box;
    return box;
}

std::function<void()> &WhenBoxesClosed()
{
    static std::function<void()> whenClosed;
    return whenClosed;
}

// Shows a box and waits for its answer; a box closed without one (CloseOpenDialogs) answers NoButton.
QMessageBox::StandardButton Answer(QMessageBox::Icon icon, const QString &text, QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, buttons, DialogParent());
    box.setDefaultButton(defaultButton);
    OpenBoxes().append(&box);
    box.exec();
    OpenBoxes().removeOne(&box);
    if (OpenBoxes().isEmpty() && WhenBoxesClosed()) {
        // The caller of this box runs on first; whenClosed comes from the clock's next turn.
        TScheduler &clock = TScheduler::Instance();
        clock.CallAt(clock.Now(), std::exchange(WhenBoxesClosed(), nullptr));
    }
    return box.standardButton(box.clickedButton());
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
    Answer(QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::NoButton);
}

void ShowNotice(const QString &text)
{
    if (Hook()) {
        Hook()(TDialogKind::Notice, text);
        return;
    }
    QPointer<QMessageBox> &box = NoticeBox();
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
    const auto answer = Answer(QMessageBox::Warning, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    return answer == QMessageBox::Ok ? TDialogResult::Ok : TDialogResult::Cancel;
}

bool AskYesNo(const QString &text)
{
    if (Hook())
        return Hook()(TDialogKind::Question, text) == TDialogResult::Ok;
    return Answer(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void ReportError(const std::exception &error)
{
    ShowMessage(ErrorMessage(error));
}

void CloseOpenDialogs(std::function<void()> whenClosed)
{
    // A notice waits for nobody: it just goes.
    if (NoticeBox())
        NoticeBox()->close();
    if (OpenBoxes().isEmpty()) {
        whenClosed();
        return;
    }
    WhenBoxesClosed() = std::move(whenClosed);
    // Rejected, a box has no clicked button: ShowWarning takes that as Cancel, AskYesNo as No.
    for (QMessageBox *box : OpenBoxes())
        box->reject();
}
