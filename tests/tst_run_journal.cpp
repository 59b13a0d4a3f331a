// The run written through to the disk while it is recorded, and the recovery at the next start of a
// run that a crash, a kill or a power cut left behind.
#include "product/RunJournal.h"
#include "product/RunLogFile.h"
#include "support/CurrentPeer.h"
#include "support/SmallDisk.h"
#include "views/fGraph.h"
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Journals()
{
    return QDir(TRunJournal::Folder()).entryList(QDir::Files);
}

// A journal as a program that ended unexpectedly leaves it, last written at `when`.
void LeaveJournal(const QString &name, const QByteArray &bytes, const QDateTime &when)
{
    QDir().mkpath(TRunJournal::Folder());
    QFile file(TRunJournal::Folder() + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    QVERIFY(file.flush());
    QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
}

const QDateTime LastRow(QDate(2024, 3, 3), QTime(14, 5, 9));
} // namespace

class TestRunJournal : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QDir(TRunJournal::Folder()).removeRecursively(); }

    // While a Hydrel-7S run is recorded its journal holds exactly the file's bytes; the saved run
    // takes its journal away.
    void journalHoldsTheRunUntilItIsSaved()
    {
        using namespace CurrentTest;
        TOrvelFixture f;
        TStatus idle;
        idle.Mode = 1;
        idle.ModeTime = 10;
        TStatus burning;
        burning.Stage = 3;
        burning.ModeTime = 50;
        f.Feed(Frame(4, QByteArray::fromHex("0007 0004d2")));
        f.Feed(idle.Frame());
        QVERIFY(Journals().isEmpty());
        f.Orvel->Start();
        f.Feed(Frame(1));
        QByteArray run;
        for (int second = 0; second < 3; ++second) {
            f.Stream(burning.Frame(), 1);
            const QStringList journals = Journals();
            QCOMPARE(journals.size(), 1);
            run = f.Orvel->RunLog().join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
            QCOMPARE(ReadAll(TRunJournal::Folder() + journals.first()), "070001234\n" + run);
        }
        f.Feed(idle.Frame());
        QVERIFY(f.Orvel->LogSaved);
        QVERIFY(Journals().isEmpty());
        const QString saved = frmGraph->SavePath().mid(QStringLiteral("Log saved to ").size());
        // The file is the journal's run, and any tick the last answer confirmed.
        QVERIFY(ReadAll(saved).startsWith(run));
        QFile::remove(saved);
    }

    // A journal left behind becomes the run-log file it would have been, in the run-log folder, named
    // after its serial number and its last row; the log says where it went.
    void journalLeftBehindIsRecovered_data()
    {
        QTest::addColumn<QByteArray>("journal");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("nameTaken");
        const QByteArray run = "Stage;Mode;\r\n3;0;\r\n3;1;\r\n";
        QTest::newRow("whole run") << "070001234\n" + run << "[070001234] 2024-03-03 14-05-09.csv" << run << false;
        QTest::newRow("last row cut short") << "070001234\n" + run + "3;" << "[070001234] 2024-03-03 14-05-09.csv"
                                            << run << false;
        QTest::newRow("no serial number") << "\n" + run << "[unidentified] 2024-03-03 14-05-09.csv" << run << false;
        QTest::newRow("a file of that name already there")
            << "070001234\n" + run << "[070001234] 2024-03-03 14-05-10.csv" << run << true;
        QTest::newRow("Windows-1251 rows") << QByteArray("070001234\n\xd1\xf2\xe0\xe4\xe8\xff;\r\n1;\r\n")
                                           << "[070001234] 2024-03-03 14-05-09.csv"
                                           << QByteArray("\xd1\xf2\xe0\xe4\xe8\xff;\r\n1;\r\n") << false;
    }
    void journalLeftBehindIsRecovered()
    {
        QFETCH(QByteArray, journal);
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(bool, nameTaken);
        QTemporaryDir program;
        const QString folder = RunLogFolder(program.path());
        const QString taken = folder + RunLogFileName(QStringLiteral("070001234"), LastRow);
        if (nameTaken) {
            QFile other(taken);
            QVERIFY(other.open(QIODevice::WriteOnly));
            other.write("another run;\r\n");
        }
        LeaveJournal(QStringLiteral("run-1.runjournal"), journal, LastRow);
        const QStringList lines = TRunJournal::RecoverLeftBehind(program.path());
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().endsWith(QStringLiteral("Log saved to ") + QDir::toNativeSeparators(folder + name)),
                 qPrintable(lines.first()));
        QCOMPARE(ReadAll(folder + name), file);
        QVERIFY(Journals().isEmpty());
        if (nameTaken)
            QCOMPARE(ReadAll(taken), QByteArray("another run;\r\n"));
        // Once recovered, nothing is left to recover.
        QVERIFY(TRunJournal::RecoverLeftBehind(program.path()).isEmpty());
    }

    // A journal without a single whole line held no run: it goes without a file.
    void journalWithoutARowLeavesNoFile()
    {
        QTemporaryDir program;
        LeaveJournal(QStringLiteral("run-2.runjournal"), "070001234\nStage;Mo", LastRow);
        QVERIFY(TRunJournal::RecoverLeftBehind(program.path()).isEmpty());
        QVERIFY(Journals().isEmpty());
        QVERIFY(QDir(program.path()).entryList(QDir::Files).isEmpty());
    }

    // The journal of a run another program (or this one) still records is not touched; once that
    // program lets go of it, it is recovered.
    void journalStillWrittenIsLeftAlone()
    {
        QTemporaryDir program;
        TRunJournal live;
        QVERIFY(live.Begin(QStringLiteral("070001234"), "Stage;\r\n"));
        QVERIFY(live.Append("3;\r\n"));
        QVERIFY(TRunJournal::RecoverLeftBehind(program.path()).isEmpty());
        QCOMPARE(Journals().size(), 1);
        live.Keep();
        QCOMPARE(TRunJournal::RecoverLeftBehind(program.path()).size(), 1);
        const QStringList files = QDir(program.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QCOMPARE(ReadAll(program.filePath(files.first())), QByteArray("Stage;\r\n3;\r\n"));
    }

    // A recovery that meets a full disk keeps the journal and says why; the next start tries again.
    void recoveryOnAFullDiskKeepsTheJournal()
    {
        QTemporaryDir program;
        LeaveJournal(QStringLiteral("run-3.runjournal"), "070001234\nStage;\r\n3;\r\n", LastRow);
        {
            TSmallDisk disk(5);
            const QStringList lines = TRunJournal::RecoverLeftBehind(program.path());
            QCOMPARE(lines.size(), 1);
            QVERIFY2(lines.first().contains(QStringLiteral("No space left on device")), qPrintable(lines.first()));
            QVERIFY(lines.first().contains(QStringLiteral("Unsaved run kept in")));
        }
        QCOMPARE(Journals().size(), 1);
        QVERIFY(QDir(program.path()).entryList(QDir::Files).isEmpty());
        QCOMPARE(TRunJournal::RecoverLeftBehind(program.path()).size(), 1);
        QCOMPARE(ReadAll(program.filePath(QStringLiteral("[070001234] 2024-03-03 14-05-09.csv"))),
                 QByteArray("Stage;\r\n3;\r\n"));
    }
};

QTEST_MAIN(TestRunJournal)
#include "tst_run_journal.moc"
