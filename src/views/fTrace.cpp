#include "views/fTrace.h"
#include "core/Scheduler.h"
#include "product/RunLogFile.h"
#include "product/TraceLine.h"
#include "views/SavePath.h"
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmTrace::TfrmTrace(QWidget *parent)
    : QWidget(parent), List(new QPlainTextEdit(this)), RecordButton(new QPushButton(this))
{
    setWindowTitle(QStringLiteral("Trace"));
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    resize(700, 400);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(List);
    layout->addWidget(RecordButton);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    List->setFont(font);
    List->setReadOnly(true);
    List->setLineWrapMode(QPlainTextEdit::NoWrap);
    List->setMaximumBlockCount(MaxLines);
    RecordButton->setText(QStringLiteral("Record to file..."));
    AskRecordPath = [this](const QString &proposed) {
        return FileDialogSavePath(this, QStringLiteral("Record the trace to"), proposed,
                                  QStringLiteral("Trace (*.trace);;All files (*)"));
    };
    connect(RecordButton, &QPushButton::clicked, this, [this] {
        if (Recording())
            StopRecording();
        else
            ChooseFile();
    });
}

QString TfrmTrace::ProposedRecordPath() const
{
    const QString serialNumber = Heater ? Heater().SerialNumber : QString();
    return RunLogFolder()
           + ExportFileName(serialNumber, QDateTime::currentDateTime(), QStringLiteral("trace"), QStringLiteral("trace"));
}

void TfrmTrace::ChooseFile()
{
    const QString path = FinishSavePath(AskRecordPath(ProposedRecordPath()), QStringLiteral("trace"));
    if (!path.isEmpty())
        Record(path);
}

QDateTime TfrmTrace::NowTime()
{
    const qint64 tick = TScheduler::Instance().Now();
    if (!StartTime.isValid()) {
        StartTime = QDateTime::currentDateTime();
        StartTick = tick;
    }
    return StartTime.addMSecs(tick - StartTick);
}

void TfrmTrace::Note(TFrameDirection direction, const QByteArray &bytes, bool valid)
{
    const QString line = TraceLineText({NowTime(), direction, bytes, valid});
    List->appendPlainText(line);
    if (!File.isOpen())
        return;
    const QByteArray text = line.toUtf8() + '\n';
    if (File.write(text) != text.size() || !File.flush())
        Fail(QStringLiteral("Cannot write the trace file "));
}

QStringList TfrmTrace::Lines() const
{
    const QString text = List->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

bool TfrmTrace::Record(const QString &path)
{
    StopRecording();
    File.setFileName(path);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        Fail(QStringLiteral("Cannot write the trace file "));
        return false;
    }
    RecordButton->setText(QStringLiteral("Stop recording"));
    return true;
}

void TfrmTrace::StopRecording()
{
    File.close();
    RecordButton->setText(QStringLiteral("Record to file..."));
}

void TfrmTrace::Fail(const QString &what)
{
    const QString line = what + File.fileName() + QStringLiteral(": ") + File.errorString();
    StopRecording();
    if (OnLog)
        OnLog(line);
}

void TfrmTrace::closeEvent(QCloseEvent *event)
{
    event->ignore();
    emit HideWanted();
}
