// A run is saved honestly: "Log saved to" only when every byte is on the disk; a save that fails
// keeps the rows, says why in a message box, and a new run does not push the unsaved one away.
#include "product/RunJournal.h"
#include "product/RunLogFile.h"
#include "support/CurrentPeer.h"
#include "support/Hydrel7Peer.h"
#include "support/SmallDisk.h"
#include "support/Harness.h"
#include "app/Globals.h"
#include "product/Product.h"
#include "serial/MemoryChannel.h"
#include "sim/HeaterSimulator.h"
#include "sim/Simulators.h"
#include "app/fMain.h"
#include "core/Dialogs.h"
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
        RemoveFilesOf(UnidentifiedSerialNumber());
        QDir(TRunJournal::Folder()).removeRecursively();
    }
    void cleanup()
    {
        RemoveFilesOf(QStringLiteral("070001234"));
        RemoveFilesOf(UnidentifiedSerialNumber());
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

    // A Hydrel-7S run that meets a full disk: not reported as saved; the cause and the path are
    // logged at once and shown in a box that does not wait for an answer; the link goes on; the rows
    // wait in their journal and are saved by themselves once there is space, or at close, or, the
    // disk still full at close, at the next start of the program.
    void failedSaveKeepsTheRunUntilItIsSaved_data()
    {
        QTest::addColumn<QString>("then");
        QTest::newRow("space comes back") << QStringLiteral("space");
        QTest::newRow("another run while the disk is full") << QStringLiteral("another run");
        QTest::newRow("closed with the disk still full") << QStringLiteral("close");
    }
    void failedSaveKeepsTheRunUntilItIsSaved()
    {
        QFETCH(QString, then);
        using namespace CurrentTest;
        TOrvelFixture f;
        TStatus burning;
        burning.Stage = 3;
        burning.ModeTime = 50;
        TStatus idle;
        idle.Mode = 1;
        idle.ModeTime = 10;
        auto recordRun = [&] {
            f.Feed(idle.Frame());
            f.Orvel->Start();
            f.Feed(Frame(1));
            f.Stream(burning.Frame(), 3);
        };
        f.Feed(Frame(4, QByteArray::fromHex("0007 0004d2")));
        recordRun();
        const QByteArray run = f.Orvel->RunLog().join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
        QVERIFY(f.Orvel->RunLog().size() >= 4);
        auto journalsHolding = [](const QByteArray &bytes) {
            int count = 0;
            for (const QString &name : QDir(TRunJournal::Folder()).entryList(QDir::Files))
                if (ReadAll(TRunJournal::Folder() + name) == "070001234\n" + bytes)
                    ++count;
            return count;
        };
        auto disk = std::make_unique<TSmallDisk>(100);
        f.Feed(idle.Frame()); // at rest: the save meets the full disk
        QVERIFY(!f.Orvel->LogSaved);
        QVERIFY(!f.Orvel->Running);
        QVERIFY(FilesOf(QStringLiteral("070001234")).isEmpty());
        QVERIFY(!frmGraph->SavePath().startsWith(QStringLiteral("Log saved to")));
        const QString cause = f.H.LogLines().last();
        QVERIFY2(cause.contains(QStringLiteral("The run log was not saved. Cannot write file \"")), qPrintable(cause));
        QVERIFY2(cause.contains(QStringLiteral("No space left on device")), qPrintable(cause));
        QCOMPARE(f.H.Dialogs.size(), size_t(1));
        QCOMPARE(f.H.Dialogs.back().first, TDialogKind::Notice);
        QVERIFY(f.H.Dialogs.back().second.contains(QStringLiteral("No space left on device")));
        QCOMPARE(journalsHolding(run), 1);

        // The link goes on: the status flow and the commands still reach the heater.
        f.TakeWritten();
        f.Stream(idle.Frame(), 12);
        f.Orvel->Stop();
        QVERIFY(f.TakeWritten().contains(Frame(3)));
        QVERIFY(!f.H.LogContains(QStringLiteral("Connection lost.")));
        // The retries meet the same cause: it is not logged or shown again.
        QCOMPARE(f.H.Dialogs.size(), size_t(1));
        QCOMPARE(f.H.LogLines().filter(QStringLiteral("The run log was not saved.")).size(), 1);

        if (then == QLatin1String("space")) {
            disk.reset();
            f.Stream(idle.Frame(), 6);
            const QStringList files = FilesOf(QStringLiteral("070001234"));
            QCOMPARE(files.size(), 1);
            QCOMPARE(ReadAll(RunLogFolder() + files.first()), run);
            QVERIFY(frmGraph->SavePath().startsWith(QStringLiteral("Log saved to")));
            QCOMPARE(journalsHolding(run), 0);
            return;
        }
        if (then == QLatin1String("another run")) {
            burning.ModeTime = 60;
            recordRun();
            const QByteArray second = f.Orvel->RunLog().join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
            f.Feed(idle.Frame());
            QCOMPARE(journalsHolding(run) + journalsHolding(second), 2);
            disk.reset();
            f.Stream(idle.Frame(), 6);
            QStringList contents;
            for (const QString &name : FilesOf(QStringLiteral("070001234")))
                contents << QString::fromLatin1(ReadAll(RunLogFolder() + name));
            contents.sort();
            QStringList expected{QString::fromLatin1(run), QString::fromLatin1(second)};
            expected.sort();
            QCOMPARE(contents, expected);
            return;
        }
        // Closed on the full disk: the run waits in its journal for the next start of the program.
        frmMain->CloseWithoutAsking();
        QVERIFY(f.H.LogContains(QStringLiteral("The unsaved run is kept for recovery in")));
        disk.reset();
        QVERIFY(FilesOf(QStringLiteral("070001234")).isEmpty());
        QCOMPARE(journalsHolding(run), 1);
        const QStringList recovered = TRunJournal::RecoverLeftBehind();
        QCOMPARE(recovered.size(), 1);
        const QStringList files = FilesOf(QStringLiteral("070001234"));
        QCOMPARE(files.size(), 1);
        QCOMPARE(ReadAll(RunLogFolder() + files.first()), run);
    }

    // Every model: the save at the end of a run meets a full disk while the heater goes on
    // answering. The link does not stop: the status keeps coming, no loss is declared, Stop still
    // reaches the heater; once there is space the run is saved by itself, once.
    void failedSaveNeverStopsTheLink_data()
    {
        QTest::addColumn<QString>("model");
        for (const QString &model : SimulatedModels())
            QTest::newRow(qPrintable(model)) << model;
    }
    void failedSaveNeverStopsTheLink()
    {
        QFETCH(QString, model);
        THarness h;
        const std::unique_ptr<THeaterSimulator> sim = CreateSimulator(model);
        TMemoryChannel *line = h.Connect(sim.get());
        // The line goes before the heater, the heater before the clock it keeps its time on.
        struct TUnhook {
            THarness &H;
            ~TUnhook() { H.Connect(nullptr); }
        } unhook{h};
        h.Choose(model);
        auto advance = [&](const std::function<bool()> &until, qint64 ms) { return h.Clock.AdvanceUntil(until, ms, 50); };
        QVERIFY(advance([] { return CurrentProduct->Identified && CurrentProduct->StatusActive; }, 20000));
        const QString serial = CurrentProduct->SerialNumberText;
        RemoveFilesOf(serial);
        CurrentProduct->Start();
        QVERIFY(advance([] { return CurrentProduct->RunLog().size() >= 4; }, 30000));
        {
            TSmallDisk disk(0);
            CurrentProduct->Stop();
            QVERIFY(advance([] { return !CurrentProduct->Running; }, 180000));
            QVERIFY(h.LogContains(QStringLiteral("No space left on device")));
            h.Clock.AdvanceBy(30000);
            QVERIFY(CurrentProduct->Identified);
            QVERIFY(!h.LogContains(QStringLiteral("Connection lost.")));
            const qsizetype written = line->Written.size();
            CurrentProduct->Stop();
            h.Clock.AdvanceBy(3000);
            QVERIFY2(line->Written.size() > written, "Stop did not reach the heater");
            QVERIFY(FilesOf(serial).isEmpty());
            QCOMPARE(h.Messages().filter(QStringLiteral("No space left on device")).size(), 1);
        }
        h.Clock.AdvanceBy(6000);
        QCOMPARE(FilesOf(serial).size(), 1);
        RemoveFilesOf(serial);
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
        f.Stream(burning.Frame(), 2);
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
