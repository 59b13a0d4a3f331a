// The run written through to the disk while it is recorded, and the recovery at the next start of a
// run that a crash, a kill or a power cut left behind.
#include "product/RunJournal.h"
#include "product/RunLogFile.h"
#include "support/CurrentPeer.h"
#include "support/SmallDisk.h"
#include "views/fGraph.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

    // A journal without a whole row held no run (a kill right after the start leaves the header
    // alone): it goes without a file, and without a word.
    void journalWithoutARowLeavesNoFile_data()
    {
        QTest::addColumn<QByteArray>("journal");
        QTest::newRow("nothing after the serial number") << QByteArray("070001234\n");
        QTest::newRow("header cut short") << QByteArray("070001234\nStage;Mo");
        QTest::newRow("header alone") << QByteArray("070001234\nStage;Mode;\r\n");
        QTest::newRow("header and a row cut short") << QByteArray("070001234\nStage;Mode;\r\n3;");
        QTest::newRow("not even the serial line") << QByteArray("0700");
    }
    void journalWithoutARowLeavesNoFile()
    {
        QFETCH(QByteArray, journal);
        QTemporaryDir program;
        LeaveJournal(QStringLiteral("run-2.runjournal"), journal, LastRow);
        QVERIFY(TRunJournal::RecoverLeftBehind(program.path()).isEmpty());
        QVERIFY(Journals().isEmpty());
        QVERIFY(QDir(program.path()).entryList(QDir::Files).isEmpty());
    }

    // The program saved the run and was killed before it removed the journal: the journal holds the
    // very bytes of the saved file. The next start removes it and says where the run is, instead of
    // saving the run a second time.
    void runSavedJustBeforeTheKillIsNotSavedAgain()
    {
        QTemporaryDir program;
        const QByteArray run = "Stage;Mode;\r\n3;0;\r\n3;1;\r\n";
        TRunJournal journal;
        QVERIFY(journal.Begin(QStringLiteral("070001234"), "Stage;Mode;\r\n"));
        QVERIFY(journal.Append("3;0;\r\n"));
        QVERIFY(journal.Append("3;1;\r\n"));
        const TRunLogSave saved = SaveRunLog(run, QStringLiteral("070001234"), QDateTime::currentDateTime(), program.path());
        QVERIFY2(saved.Saved, qPrintable(saved.Error));
        journal.Keep(); // the program ends here: its lock goes, its journal stays

        const QStringList lines = TRunJournal::RecoverLeftBehind(program.path());
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().endsWith(QStringLiteral("had been saved already to ") + QDir::toNativeSeparators(saved.Path)),
                 qPrintable(lines.first()));
        QVERIFY(Journals().isEmpty());
        QCOMPARE(QDir(program.path()).entryList(QDir::Files), QStringList{QFileInfo(saved.Path).fileName()});
        QCOMPARE(ReadAll(saved.Path), run);
    }

    // Only the file of that heater, with those very bytes, written at or after the journal's last
    // row, is the run saved already; any other file leaves the journal's run to be recovered.
    void fileThatIsNotTheSavedRunLeavesTheRunToRecover_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QDateTime>("written");
        QTest::addColumn<bool>("copy");
        const QByteArray run = "Stage;Mode;\r\n3;0;\r\n3;1;\r\n";
        const QString name = QStringLiteral("[070001234] 2024-03-03 14-05-09.csv");
        QTest::newRow("saved with the last row") << name << run << LastRow << true;
        QTest::newRow("saved a second later") << name << run << LastRow.addSecs(1) << true;
        QTest::newRow("an earlier run holding the same rows") << name << run << LastRow.addSecs(-60) << false;
        QTest::newRow("another heater's run") << "[070009999] 2024-03-03 14-05-09.csv" << run << LastRow << false;
        QTest::newRow("one row less") << name << run.left(run.size() - 6) << LastRow << false;
        QTest::newRow("a row more") << name << run + "3;2;\r\n" << LastRow << false;
        QTest::newRow("same size, other values") << name << QByteArray(run).replace("3;1;", "3;2;") << LastRow << false;
    }
    void fileThatIsNotTheSavedRunLeavesTheRunToRecover()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QDateTime, written);
        QFETCH(bool, copy);
        QTemporaryDir program;
        const QString folder = RunLogFolder(program.path());
        {
            QFile other(folder + name);
            QVERIFY(other.open(QIODevice::WriteOnly));
            other.write(bytes);
            QVERIFY(other.flush());
            QVERIFY(other.setFileTime(written, QFileDevice::FileModificationTime));
        }
        const QByteArray run = "Stage;Mode;\r\n3;0;\r\n3;1;\r\n";
        LeaveJournal(QStringLiteral("run-4.runjournal"), "070001234\n" + run, LastRow);
        const QStringList lines = TRunJournal::RecoverLeftBehind(program.path());
        QCOMPARE(lines.size(), 1);
        QVERIFY(Journals().isEmpty());
        QCOMPARE(ReadAll(folder + name), bytes);
        const QStringList files = QDir(folder).entryList({QStringLiteral("*.csv")}, QDir::Files);
        QCOMPARE(files.size(), copy ? 1 : 2);
        QCOMPARE(lines.first().contains(QStringLiteral("had been saved already")), copy);
        if (!copy) {
            const QString recovered = lines.first().mid(lines.first().indexOf(QStringLiteral("Log saved to ")) + 13);
            QCOMPARE(ReadAll(recovered), run);
        }
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
