#pragma once
#include "product/ExportName.h"
#include "product/Presentation.h"
#include <QDateTime>
#include <QFile>
#include <QStringList>
#include <QWidget>
#include <functional>

class QPlainTextEdit;
class QPushButton;

// The protocol trace: one line per frame sent or received (see TraceLine.h for the layout), the last
// MaxLines of them on show, and, while recording, every line written through to a file. It starts
// out of sight; its close box hides it through the main window.
class TfrmTrace : public QWidget {
    Q_OBJECT
public:
    static constexpr int MaxLines = 5000;

    explicit TfrmTrace(QWidget *parent = nullptr);

    void Note(TFrameDirection direction, const QByteArray &bytes, bool valid);
    QStringList Lines() const;

    // Starts writing every noted line to path (replacing the file); false, with one log line, when
    // the file cannot be written. A write that fails later ends the recording with one log line.
    bool Record(const QString &path);
    void StopRecording();
    bool Recording() const { return File.isOpen(); }

    // Where the window reports a trace file it cannot write; set by the program to its log.
    std::function<void(const QString &line)> OnLog;
    // The heater on the line, whose serial number names the proposed trace file; set by the program.
    std::function<THeaterIdentity()> Heater;
    // "Record to file...": asks for the file, proposing "[serial] yyyy-mm-dd hh-mm-ss trace.trace"
    // in the run-log folder (empty: cancelled). The file dialog by default; tests stand in for it.
    std::function<QString(const QString &proposed)> AskRecordPath;
    QString ProposedRecordPath() const;

    QPlainTextEdit *List;
    QPushButton *RecordButton;

signals:
    // The close box: the main window hides the frame and unticks the menu item.
    void HideWanted();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QDateTime NowTime();
    void Fail(const QString &what);
    void ChooseFile();

    QFile File;
    // The wall-clock time of the first note, and the scheduler's clock then: later notes add the
    // scheduler's time since, so a trace taken on a test's virtual clock keeps that clock's spacing.
    QDateTime StartTime;
    qint64 StartTick = 0;
};
