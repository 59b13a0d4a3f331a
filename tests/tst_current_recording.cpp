// Recording a Hydrel-7S run and its file: begin, save once, re-arm, the file's name, bytes and folder,
// a failed write, and a run saved when the line is lost or the handler goes away.
#include "support/CurrentPeer.h"
#include "support/RunLogHeaders.h"
#include "support/SmallDisk.h"
#include "product/RunJournal.h"
#include "product/RunLog.h"
#include "product/RunLogFile.h"
#include "views/fGraph.h"
#include "app/StatusBar.h"
#include "app/fMain.h"
#include <QLabel>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace CurrentTest;

namespace {
const QString Serial = QStringLiteral("070001234");
const QByteArray SerialAnswer = Frame(4, QByteArray::fromHex("0007 0004d2"));

TStatus Burning(quint32 modeTime = 50)
{
    TStatus status;
    status.Stage = 3;
    status.Mode = 0;
    status.ModeTime = modeTime;
    status.BlowerSet = 40;
    status.BlowerActual = 39;
    status.VoltageTenths = 126;
    return status;
}

TStatus Idle(quint8 mode = 1, quint32 modeTime = 10)
{
    TStatus status;
    status.Stage = 0;
    status.Mode = mode;
    status.ModeTime = modeTime;
    return status;
}
} // namespace

class TestCurrentRecording : public QObject {
    Q_OBJECT
    std::unique_ptr<TOrvelFixture> F;

    static QStringList RunFiles()
    {
        QStringList found;
        for (const QString &name : QDir(RunLogFolder()).entryList(QDir::Files))
            if (name.startsWith(QLatin1Char('[') + Serial + QLatin1Char(']')))
                found << name;
        return found;
    }
    static void RemoveRunFiles()
    {
        for (const QString &name : QDir(RunLogFolder()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
            if (name.startsWith(QLatin1Char('[') + Serial + QLatin1Char(']')))
                QDir(RunLogFolder() + name).removeRecursively(), QFile::remove(RunLogFolder() + name);
    }
    // Starts a run from the control panel's Start and records `seconds` rows of burning.
    void RecordRun(int seconds)
    {
        F->Feed(SerialAnswer);
        F->Feed(Idle().Frame());
        F->Orvel->Start();
        F->Feed(Frame(1));
        F->Stream(Burning().Frame(), seconds);
    }
    QString SavedPath() const
    {
        const QString caption = frmGraph->SavePath();
        return caption.startsWith(QStringLiteral("Log saved to ")) ? caption.mid(13) : QString();
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        RemoveRunFiles();
        F = std::make_unique<TOrvelFixture>();
    }
    void cleanup()
    {
        F.reset();
        RemoveRunFiles();
    }

    // While a run is recorded the status bar shows how long and how many rows, tick by tick (a tick
    // that no answer confirmed counts its time, not a row); once the run is saved the figures go.
    void statusBarShowsTheRunRecorded()
    {
        const TStatusBar &bar = *frmMain->Status;
        QCOMPARE(bar.RecordingText(), QString());
        RecordRun(751);
        QCOMPARE(bar.RecordingText(), QStringLiteral("Recording: 00:12:31, 751 rows"));
        F->Stream(Burning().Frame(), 1);
        QCOMPARE(bar.RecordingText(), QStringLiteral("Recording: 00:12:32, 752 rows"));
        // Silent: the tick due at the stream's last whole second and the next one pass without rows.
        F->H.Clock.AdvanceBy(1000);
        QCOMPARE(bar.RecordingText(), QStringLiteral("Recording: 00:12:34, 752 rows"));
        F->Feed(Idle().Frame());
        QVERIFY(!F->Orvel->Running);
        QCOMPARE(bar.RecordingText(), QString());
        QVERIFY(!bar.findChild<QLabel *>(QStringLiteral("lblRecording"))->isVisibleTo(frmMain));
    }

    void runIsSavedOnceAtRest()
    {
        RecordRun(3);
        QVERIFY(F->Orvel->Running);
        QCOMPARE(F->Orvel->RunLog().size(), 4);
        F->Feed(Idle().Frame()); // the previous mode time (50 s) is above 4: the run ends
        QVERIFY(!F->Orvel->Running);
        QVERIFY(F->Orvel->LogSaved);
        QVERIFY(F->Orvel->RunLog().isEmpty());
        const QStringList files = RunFiles();
        QCOMPARE(files.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral(R"(^\[070001234\] \d{4}-\d\d-\d\d \d\d-\d\d-\d\d\.csv$)"))
                    .match(files.first()).hasMatch());
        QCOMPARE(QDir::cleanPath(SavedPath()), QDir::cleanPath(RunLogFolder() + files.first()));
        QFile file(SavedPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray row = "3;0;0;0;50;40;39;0.00;-0.3;0.00;0;0;0;12.60;0;\r\n";
        QCOMPARE(file.readAll(), RunLogHeaders::English.toLatin1() + "\r\n" + row + row + row);

        // A re-armed run (stage 0 mode 2, the heater working on by itself) is recorded as a run of
        // its own, under its header, and saved as a file of its own.
        F->Feed(Idle(2).Frame());
        QVERIFY(F->Orvel->Running);
        F->Stream(Idle(2).Frame(), 2);
        const QStringList rearmed = F->Orvel->RunLog();
        QCOMPARE(rearmed.size(), 3);
        QCOMPARE(rearmed.first(), RunLogHeaders::English);
        F->Feed(Idle(1).Frame());
        QVERIFY(!F->Orvel->Running);
        QVERIFY(F->Orvel->RunLog().isEmpty());
        QCOMPARE(RunFiles().size(), 2);
        QFile second(SavedPath());
        QVERIFY(second.open(QIODevice::ReadOnly));
        QCOMPARE(second.readAll(), (rearmed.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
    }

    void shortModeTimeDoesNotEndTheRun()
    {
        RecordRun(1);
        F->Feed(Burning(4).Frame());
        F->Feed(Idle().Frame()); // previous mode time 4: not above 4
        QVERIFY(F->Orvel->Running);
        F->Feed(Idle().Frame());
        QVERIFY(!F->Orvel->Running);
        QCOMPARE(RunFiles().size(), 1);
    }

    void fuelPumpingRunIsWrittenInWindows1251()
    {
        F->Feed(SerialAnswer);
        F->Feed(Idle().Frame());
        F->Orvel->PumpFuel(10);
        F->Stream(Burning().Frame(), 1);
        F->Feed(Idle().Frame());
        QFile file(SavedPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // "Стадия;" in Windows-1251.
        QVERIFY(bytes.startsWith(QByteArray::fromHex("d1f2e0e4e8ff3b")));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\r\n"), 2);
        QVERIFY(QString(QStringDecoder("windows-1251").decode(bytes)).startsWith(RunLogHeaders::Russian + "\r\n"));
    }

    // A run that ends before its first row (pumping stopped at once, a start the heater did not
    // follow) leaves no file and no journal behind.
    void runWithoutRowsLeavesNoFile()
    {
        F->Feed(SerialAnswer);
        F->Feed(Idle().Frame());
        F->Orvel->PumpFuel(10);
        F->Feed(Burning().Frame());
        F->Feed(Idle().Frame());
        QVERIFY(!F->Orvel->Running);
        QVERIFY(RunFiles().isEmpty());
        QVERIFY(SavedPath().isEmpty());
        QVERIFY(QDir(TRunJournal::Folder()).entryList(QDir::Files).isEmpty());
    }

    void failedWriteKeepsTheLinesForTheNextSave()
    {
        RecordRun(2);
        const QStringList run = F->Orvel->RunLog();
        {
            TSmallDisk disk(0);
            F->Feed(Idle().Frame());
        }
        QVERIFY(!F->Orvel->Running);
        QVERIFY(!F->Orvel->LogSaved);
        QVERIFY(F->H.LogContains(QStringLiteral("The run log was not saved.")));
        QVERIFY(RunFiles().isEmpty());
        // Choosing the model again replaces the handler: the kept lines are written first.
        F->H.Choose(QStringLiteral("Hydrel-7S"));
        QCOMPARE(RunFiles().size(), 1);
        QFile file(RunLogFolder() + RunFiles().first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), (run.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
    }

    void connectionLossSavesTheRun()
    {
        // Three seconds of burning, each with an answer of its own, then silence.
        RecordRun(0);
        for (quint32 second = 1; second <= 3; ++second) {
            F->Feed(Burning(50 + second).Frame());
            F->H.Clock.AdvanceBy(1000);
        }
        const QStringList answered = F->Orvel->RunLog();
        QVERIFY(answered.last().startsWith(QStringLiteral("3;0;0;0;53;")));
        F->Heater.Silent = true;
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->H.LogContains(QStringLiteral("Connection lost.")); }, 20000));
        QCOMPARE(RunFiles().size(), 1);
        QVERIFY(F->Orvel->RunLog().isEmpty());
        QVERIFY(F->Orvel->LogSaved);
        QFile file(SavedPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        // The file ends with the row the last answer made: the ticks while the watchdog counted
        // down repeat that answer and never became rows.
        QCOMPARE(file.readAll(), (answered.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
    }

    void replacingTheHandlerSavesTheRunOnce()
    {
        RecordRun(2);
        const QStringList run = F->Orvel->RunLog();
        F->H.Choose(QStringLiteral("Hydrel-7S")); // the old handler is gone from here on
        QCOMPARE(RunFiles().size(), 1);
        QFile file(RunLogFolder() + RunFiles().first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), (run.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
        // A saved run is not written again when its handler goes.
        F->H.Choose(QStringLiteral("Hydrel-7S"));
        QCOMPARE(RunFiles().size(), 1);
    }

    // The run is kept as the file's own bytes: Windows-1251, CR LF, across as many blocks as it needs.
    void runLogBytes()
    {
        TRunLog log;
        QVERIFY(log.IsEmpty());
        QVERIFY(log.Lines().isEmpty());
        log.Begin(QStringLiteral("a;°;"));
        QCOMPARE(log.Append(QStringLiteral("’")), QByteArray("\x92\r\n"));
        QCOMPARE(log.Bytes(), QByteArray("a;\xb0;\r\n\x92\r\n"));
        QCOMPARE(log.Lines(), (QStringList{QStringLiteral("a;°;"), QStringLiteral("’")}));

        QByteArray expected = log.Bytes();
        const int rows = 3 * TRunLog::BlockSize / 20;
        for (int row = 0; row < rows; ++row) {
            const QString text = QStringLiteral("%1;12,5;0;").arg(row, 6, 10, QLatin1Char('0'));
            log.Append(text);
            expected += text.toLatin1() + "\r\n";
        }
        QCOMPARE(log.Bytes(), expected);
        QCOMPARE(log.Lines().size(), rows + 2);
        QVERIFY(log.Capacity() < expected.size() + 2 * TRunLog::BlockSize);

        log.Begin(QStringLiteral("h;"));
        QCOMPARE(log.Lines(), QStringList{QStringLiteral("h;")});
        log.Clear();
        QVERIFY(log.IsEmpty());
    }

    void fileRules()
    {
        const QDateTime when(QDate(2024, 3, 3), QTime(14, 5, 9));
        QCOMPARE(RunLogFileName(Serial, when), QStringLiteral("[070001234] 2024-03-03 14-05-09.csv"));
        QCOMPARE(RunLogFileName(QString(), when), QStringLiteral("[unidentified] 2024-03-03 14-05-09.csv"));

        QTemporaryDir writable;
        QCOMPARE(RunLogFolder(writable.path()), QDir::cleanPath(writable.path()) + QLatin1Char('/'));
        // A program folder that cannot take files sends them to the user's documents.
        QStandardPaths::setTestModeEnabled(true);
        QFile blocker(writable.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                  + QStringLiteral("/Thermoryx Diagnostic/");
        QCOMPARE(RunLogFolder(blocker.fileName() + QStringLiteral("/sub")), documents);
        const TRunLogSave saved = SaveRunLog(QByteArray("x;\r\n"), Serial, when, blocker.fileName() + "/sub");
        QVERIFY(saved.Saved);
        QCOMPARE(saved.Path, documents + QStringLiteral("[070001234] 2024-03-03 14-05-09.csv"));
        QVERIFY(QFile::exists(saved.Path));
        QFile::remove(saved.Path);
        QStandardPaths::setTestModeEnabled(false);

        const TRunLogSave failed = WriteRunLog(writable.filePath(QStringLiteral("missing/x.csv")), QByteArray("x;\r\n"));
        QVERIFY(!failed.Saved);
        QVERIFY(!failed.Error.isEmpty());
    }
};

QTEST_MAIN(TestCurrentRecording)
#include "tst_current_recording.moc"
