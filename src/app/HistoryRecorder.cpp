#include "app/HistoryRecorder.h"
#include "app/Globals.h"
#include "app/StatusBar.h"
#include "app/fMain.h"
#include "core/LogMemo.h"
#include "history/HistoryWriter.h"
#include <QDateTime>
#include <QStandardPaths>
#include <QThread>

THistoryRecorder::THistoryRecorder(const QString &path)
    : FilePath(path), Thread(new QThread), Writer(new THistoryWriter(path))
{
    Thread->setObjectName(QStringLiteral("history"));
    Writer->moveToThread(Thread);
    // The writer's store is made, used and closed on its thread.
    connect(Thread, &QThread::finished, Writer, &QObject::deleteLater);
    connect(Writer, &THistoryWriter::Failed, this, &THistoryRecorder::Failed, Qt::QueuedConnection);
    Thread->start();
}

THistoryRecorder::~THistoryRecorder()
{
    // What was handed over is written before the thread ends.
    Drain();
    Thread->quit();
    Thread->wait();
    delete Thread;
}

void THistoryRecorder::NoteHeater(const QString &model, const QString &serialNumber, const QString &firmware)
{
    QMetaObject::invokeMethod(Writer, [writer = Writer, model, serialNumber, firmware, at = QDateTime::currentDateTimeUtc()] {
        writer->NoteHeater(model, serialNumber, firmware, at);
    });
}

void THistoryRecorder::NoteRun(const QString &model, const QString &csvPath)
{
    QMetaObject::invokeMethod(Writer, [writer = Writer, model, csvPath, at = QDateTime::currentDateTimeUtc()] {
        writer->NoteRun(model, csvPath, at);
    });
}

void THistoryRecorder::NoteEdrRead(const THeaterIdentity &heater, const QByteArray &image, const QStringList &report)
{
    QMetaObject::invokeMethod(Writer, [writer = Writer, heater, image, text = report.join(QLatin1Char('\n')),
                                       at = QDateTime::currentDateTimeUtc()] {
        writer->NoteEdrRead(heater.Model, heater.SerialNumber, heater.Firmware, at, image, text);
    });
}

void THistoryRecorder::Drain()
{
    QMetaObject::invokeMethod(Writer, [] {}, Qt::BlockingQueuedConnection);
}

QString DefaultHistoryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/history.sqlite");
}

void StartHistory(const QString &path)
{
    StopHistory();
    History = new THistoryRecorder(path);
    QObject::connect(History, &THistoryRecorder::Failed, History, [](const QString &message) {
        if (mLog)
            mLog->Append(QTime::currentTime().toString(QStringLiteral("HH:mm:ss ")) + message);
        if (frmMain)
            frmMain->Status->ShowHistoryOff(message);
    });
}

void StopHistory()
{
    delete History;
    History = nullptr;
}
