// A run is saved honestly: "Log saved to" only when every byte is on the disk; a save that fails
// keeps the rows, says why in a message box, and a new run does not push the unsaved one away.
#include "product/RunJournal.h"
#include "product/RunLogFile.h"
#include "support/CurrentPeer.h"
#include "support/Hydrel7Peer.h"
#include "support/SmallDisk.h"
#include "app/fMain.h"
#include "views/fGraph.h"
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray RunBytes(int size)
{
    QByteArray bytes;
    for (int row = 0; bytes.size() < size; ++row)
        bytes += QByteArray::number(row) + ";1;2.50;\r\n";
    return bytes.left(size);
}

QStringList FilesOf(const QString &serial)
{
    QStringList found;
    for (const QString &name : QDir(RunLogFolder()).entryList(QDir::Files))
        if (name.startsWith(QLatin1Char('[') + serial + QLatin1Char(']')))
            found << name;
    return found;
}

void RemoveFilesOf(const QString &serial)
{
    for (const QString &name : FilesOf(serial))
        QFile::remove(RunLogFolder() + name);
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestRunSaves : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QLocale::setDefault(QLocale::c());
        RemoveFilesOf(QStringLiteral("070001234"));
        RemoveFilesOf(QString());
        QDir(TRunJournal::Folder()).removeRecursively();
    }
    void cleanup()
    {
        RemoveFilesOf(QStringLiteral("070001234"));
        RemoveFilesOf(QString());
    }

    // What the save reports is what the disk holds: the whole file, or the old one untouched.
    void reportedSaveIsWhatIsOnTheDisk_data()
    {
        QTest::addColumn<qint64>("free");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("oldFile");
        QTest::newRow("empty disk, small run") << qint64(0) << 120 << false;
        QTest::newRow("full after one block") << qint64(4096) << 10000 << false;
        QTest::newRow("one byte short") << qint64(16383) << 16384 << false;
        QTest::newRow("exactly enough") << qint64(16384) << 16384 << false;
        QTest::newRow("plenty") << qint64(1 << 20) << 200000 << false;
        QTest::newRow("short, over an older file") << qint64(2000) << 3000 << true;
        QTest::newRow("enough, over an older file") << qint64(3000) << 3000 << true;
    }
    void reportedSaveIsWhatIsOnTheDisk()
    {
        QFETCH(qint64, free);
        QFETCH(int, size);
        QFETCH(bool, oldFile);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("[1] 2024-03-03 14-05-09.csv"));
        const QByteArray older = "older;\r\n";
        if (oldFile) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(older);
        }
        const QByteArray bytes = RunBytes(size);
        TRunLogSave saved;
        {
            TSmallDisk disk(free);
            saved = WriteRunLog(path, bytes);
        }
        QCOMPARE(saved.Saved, size <= free);
        if (saved.Saved) {
            QCOMPARE(ReadAll(path), bytes);
            QVERIFY(saved.Error.isEmpty());
        } else {
            QCOMPARE(ReadAll(path), oldFile ? older : QByteArray());
            QCOMPARE(QFile::exists(path), oldFile);
            QVERIFY2(saved.Error.endsWith(QStringLiteral("No space left on device")), qPrintable(saved.Error));
        }
        // Nothing half-written is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), oldFile || saved.Saved ? 1 : 0);
    }

    // A Hydrel-7S run that meets a full disk: not reported as saved, the technician is told why, the
    // rows stay; the next Start saves them first, or, the disk still full, leaves them for recovery.
    void failedSaveKeepsTheRunUntilItIsSaved_data()
    {
        QTest::addColumn<bool>("spaceBeforeNextStart");
        QTest::newRow("space made before the next start") << true;
        QTest::newRow("disk still full at the next start") << false;
    }
    void failedSaveKeepsTheRunUntilItIsSaved()
    {
        QFETCH(bool, spaceBeforeNextStart);
        using namespace CurrentTest;
        TOrvelFixture f;
        TStatus burning;
        burning.Stage = 3;
        burning.ModeTime = 50;
        TStatus idle;
        idle.Mode = 1;
        idle.ModeTime = 10;
        f.Feed(Frame(4, QByteArray::fromHex("0007 0004d2")));
        f.Feed(idle.Frame());
        f.Orvel->Start();
        f.Feed(Frame(1));
        f.Feed(burning.Frame());
        f.H.Clock.AdvanceBy(3000);
        const QByteArray run = f.Orvel->RunLog().join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
        QCOMPARE(f.Orvel->RunLog().size(), 4);
        {
            TSmallDisk disk(100);
            f.Feed(idle.Frame()); // at rest: the save meets the full disk
            QVERIFY(!f.Orvel->LogSaved);
            QCOMPARE(f.Orvel->RunLog().size(), 4);
            QVERIFY(FilesOf(QStringLiteral("070001234")).isEmpty());
            QVERIFY(!frmGraph->SavePath().startsWith(QStringLiteral("Log saved to")));
            QVERIFY(f.H.LogLines().last().contains(QStringLiteral(" TOrvel.ParseData Exception: ")));
            QVERIFY(!f.H.Dialogs.empty());
            QVERIFY2(f.H.Dialogs.back().second.contains(QStringLiteral("No space left on device")),
                     qPrintable(f.H.Dialogs.back().second));
            if (!spaceBeforeNextStart) {
                f.Orvel->Start();
                f.Feed(Frame(1)); // a new run begins on the full disk
                QVERIFY(f.H.LogContains(QStringLiteral("The unsaved run is kept for recovery in")));
            }
        }
        if (spaceBeforeNextStart) {
            f.Orvel->Start();
            f.Feed(Frame(1));
            const QStringList files = FilesOf(QStringLiteral("070001234"));
            QCOMPARE(files.size(), 1);
            QCOMPARE(ReadAll(RunLogFolder() + files.first()), run);
            return;
        }
        // The earlier run waits in a journal of its own for the next start of the program.
        QVERIFY(FilesOf(QStringLiteral("070001234")).isEmpty());
        int journalsWithTheRun = 0;
        for (const QString &name : QDir(TRunJournal::Folder()).entryList(QDir::Files))
            if (ReadAll(TRunJournal::Folder() + name) == "070001234\n" + run)
                ++journalsWithTheRun;
        QCOMPARE(journalsWithTheRun, 1);
        const QStringList recovered = TRunJournal::RecoverLeftBehind();
        QCOMPARE(recovered.size(), 1);
        const QStringList files = FilesOf(QStringLiteral("070001234"));
        QCOMPARE(files.size(), 1);
        QCOMPARE(ReadAll(RunLogFolder() + files.first()), run);
    }

    // Closing the program while a run is recorded asks first; a signal or the session's end closes
    // without asking. Whenever the program closes, the run is saved.
    void closingWhileRecordingAsksFirst_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<bool>("answerYes");
        QTest::newRow("close box, Yes") << true << true;
        QTest::newRow("close box, No") << true << false;
        QTest::newRow("signal or session end") << false << false;
    }
    void closingWhileRecordingAsksFirst()
    {
        QFETCH(bool, closeBox);
        QFETCH(bool, answerYes);
        using namespace CurrentTest;
        QStringList questions;
        TOrvelFixture f;
        SetDialogHook([&](TDialogKind kind, const QString &text) {
            if (kind == TDialogKind::Question)
                questions << text;
            return answerYes ? TDialogResult::Ok : TDialogResult::Cancel;
        });
        TStatus burning;
        burning.Stage = 3;
        f.Feed(Frame(4, QByteArray::fromHex("0007 0004d2")));
        f.Orvel->Start();
        f.Feed(Frame(1));
        f.Feed(burning.Frame());
        f.H.Clock.AdvanceBy(2000);
        QVERIFY(f.Orvel->Running);

        if (closeBox)
            frmMain->close();
        else
            frmMain->CloseWithoutAsking();
        QCOMPARE(questions, closeBox ? QStringList{QStringLiteral("A run is being recorded. Save it and close the program?")}
                                     : QStringList{});
        const bool closed = !closeBox || answerYes;
        QCOMPARE(CurrentProduct == nullptr, closed);
        const QStringList files = FilesOf(QStringLiteral("070001234"));
        QCOMPARE(files.size(), closed ? 1 : 0);
        if (closed)
            QCOMPARE(ReadAll(RunLogFolder() + files.first()).count("\r\n"), 3);
        else
            QVERIFY(f.Orvel->Running);
    }
};

QTEST_MAIN(TestRunSaves)
#include "tst_run_saves.moc"
