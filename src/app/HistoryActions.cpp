#include "app/HistoryActions.h"
#include "app/Globals.h"
#include "app/HistoryRecorder.h"
#include "app/Models.h"
#include "app/RunLogReplay.h"
#include "app/RunLogImport.h"
#include "app/RunLogWindow.h"
#include "app/fMain.h"
#include "core/Dialogs.h"
#include "core/LogMemo.h"
#include "history/HistoryStore.h"
#include "views/fBB.h"
#include "views/fHistory.h"
#include <QDir>
#include <QTime>

namespace {
void LogLine(const QString &text)
{
    if (mLog)
        mLog->Append(QTime::currentTime().toString(QStringLiteral("HH:mm:ss ")) + text);
}
} // namespace

void CreateHistoryWindow()
{
    frmHistory = new TfrmHistory;
    frmHistory->SummarizeEdr = [](const QString &model, const QByteArray &image) {
        const TModel *found = FindModel(model);
        return found && found->EdrSummary ? found->EdrSummary(image) : TEdrSummary();
    };
    frmHistory->DrawRun = ReplayRunLog;
    QObject::connect(frmHistory, &TfrmHistory::HideWanted, frmMain, [] { frmMain->HideChild(frmHistory); });
    QObject::connect(frmHistory, &TfrmHistory::OpenRunWanted, frmMain,
                     [](const QString &path) { OpenRunLogWindow(*frmMain, path); });
    QObject::connect(frmHistory, &TfrmHistory::OpenEdrWanted, frmMain,
                     [](const THeaterRecord &heater, const TEdrReadRecord &read) {
                         frmBB->SetReport(read.Report.split(QLatin1Char('\n')),
                                          {heater.Model, heater.SerialNumber, heater.Firmware}, read.ReadAt);
                         frmBB->BringUp();
                     });
    frmMain->AddChild(frmHistory);
    frmMain->HideChild(frmHistory);
}

void ShowHistoryWindow()
{
    if (!frmHistory)
        return;
    frmHistory->SetFile(History ? History->Path() : QString());
    frmMain->ShowChildNormal(frmHistory);
    frmHistory->Refresh();
}

void ImportRunLogFolder(const QString &folder)
{
    if (!History) {
        ShowMessage(QStringLiteral("The program keeps no history to import into."));
        return;
    }
    THistoryStore store;
    if (!store.Open(History->Path())) {
        const QString text = QStringLiteral("The run logs cannot be imported: the history in \"%1\" cannot be opened (%2).")
                                 .arg(QDir::toNativeSeparators(History->Path()), store.Error());
        LogLine(text);
        ShowMessage(text);
        return;
    }
    const TImportOutcome outcome = ImportRunLogs(store, folder, LogLine);
    LogLine(outcome.Summary());
    ShowMessage(outcome.Summary());
    if (frmHistory && frmHistory->isVisible())
        frmHistory->Refresh();
}
