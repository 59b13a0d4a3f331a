#pragma once
#include "product/ExportName.h"
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QThread;
class THistoryWriter;

// The service history as the live program feeds it: what the handlers report (a heater identified, a
// run saved, an EDR read) is handed to the writer's thread and the caller returns at once; nothing on
// the line waits for the disk. When the history fails, the log and the status bar say so once and
// the program goes on without it.
class THistoryRecorder : public QObject {
    Q_OBJECT
public:
    explicit THistoryRecorder(const QString &path);
    ~THistoryRecorder() override;

    QString Path() const { return FilePath; }
    void NoteHeater(const QString &model, const QString &serialNumber, const QString &firmware);
    void NoteRun(const QString &model, const QString &csvPath);
    void NoteEdrRead(const THeaterIdentity &heater, const QByteArray &image, const QStringList &report);
    // Returns once the writer has done everything handed to it so far.
    void Drain();

signals:
    void Failed(const QString &message);

private:
    QString FilePath;
    QThread *Thread;
    THistoryWriter *Writer;
};

// The history file when --history-db does not name one: history.sqlite in the program's data folder.
QString DefaultHistoryPath();
// The program's recorder on this file, its failure told in the log and the status bar; replaces one
// already running. StopHistory finishes what was handed to it and closes the file.
void StartHistory(const QString &path);
void StopHistory();
