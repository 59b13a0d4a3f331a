// The protocol trace in the running program: every frame a handler of each family writes or reads is
// noted in the trace window (taken frames "ok", thrown-away bytes "dropped"), the window keeps its
// last lines and records them to a file, and a recorded session replayed through a new handler gives
// the same log and the same current data as the live one.
#include "app/Globals.h"
#include "app/TraceReplay.h"
#include "app/fMain.h"
#include "core/LogMemo.h"
#include "product/Product.h"
#include "product/RunLogFile.h"
#include "product/TraceLine.h"
#include "serial/MemoryChannel.h"
#include "serial/ComPort.h"
#include "sim/Simulators.h"
#include "support/AirPeer.h"
#include "support/CurrentPeer.h"
#include "support/Harness.h"
#include "support/Hydrel7Bytes.h"
#include "views/StringGrid.h"
#include "views/fTrace.h"
#include "views/fViewData.h"
#include <QAction>
#include <QFileInfo>
#include <QPushButton>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// A trace line without its time: direction, bytes and mark.
QString Untimed(const QString &line)
{
    return line.section(QLatin1Char('\t'), 1);
}

QString Rx(const QByteArray &bytes, bool valid = true)
{
    return TraceLineText({QDateTime::currentDateTime(), TFrameDirection::Received, bytes, valid}).section(QLatin1Char('\t'), 1);
}

QStringList TraceLines(const QString &direction)
{
    QStringList lines;
    for (const QString &line : frmTrace->Lines())
        if (line.section(QLatin1Char('\t'), 1, 1) == direction)
            lines << Untimed(line);
    return lines;
}

QByteArray SentBytes()
{
    QByteArray bytes;
    for (const QString &line : frmTrace->Lines())
        if (const std::optional<TTraceEntry> entry = ParseTraceLine(line); entry && entry->Direction == TFrameDirection::Sent)
            bytes += entry->Bytes;
    return bytes;
}

QByteArray Corrupt(QByteArray frame)
{
    frame[frame.size() - 1] = char(frame[frame.size() - 1] ^ 0x01);
    return frame;
}

// The log with the time of day masked: the handlers stamp some lines with the wall clock.
QStringList LogWithoutTimes(const QStringList &lines)
{
    static const QRegularExpression time(QStringLiteral("\\d\\d:\\d\\d:\\d\\d"));
    QStringList out;
    for (QString line : lines)
        if (!line.startsWith(QLatin1String("Replaying the trace ")))
            out << line.replace(time, QStringLiteral("hh:mm:ss"));
    return out;
}

QStringList GridValues()
{
    QStringList cells;
    for (int row = 0; row < frmViewData->strngrd->RowCount(); ++row)
        cells << frmViewData->strngrd->Cells(0, row) + QLatin1Char('=') + frmViewData->strngrd->Cells(1, row);
    return cells;
}
} // namespace

class TestTraceSession : public QObject {
    Q_OBJECT

private slots:
    void receivedFramesAreNoted_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("noted");
        const QByteArray serial = CurrentTest::Frame(4, QByteArray::fromHex("0007 0004d2"));
        const QByteArray version = CurrentTest::Frame(6, QByteArray::fromHex("0102000311"));
        QTest::newRow("current: clean frames") << "Hydrel-7S" << serial + version
                                               << QStringList{Rx(serial), Rx(version)};
        QTest::newRow("current: bad CRC between clean frames")
            << "Zephal-1" << serial + Corrupt(version) + serial
            << QStringList{Rx(serial), Rx(Corrupt(version), false), Rx(serial)};
        QTest::newRow("current: noise before a frame") << "Hydrel-7S" << QByteArray::fromHex("0102") + serial
                                                       << QStringList{Rx(QByteArray::fromHex("0102"), false), Rx(serial)};
        const QByteArray answer = AirTest::Answer(1, 2, 3);
        QTest::newRow("air: clean answers") << "Zephal-3/-33/-6 [old rev.]" << answer + AirTest::Answer(5, 0, 200)
                                            << QStringList{Rx(answer), Rx(AirTest::Answer(5, 0, 200))};
        QTest::newRow("air: bad sum before an answer") << "Corva" << QByteArray::fromHex("01020307") + answer
                                                       << QStringList{Rx(QByteArray::fromHex("01020307"), false), Rx(answer)};
        const QByteArray status = Hydrel7Test::Status(1, 0, 12, 0, 0);
        const QByteArray reply = Hydrel7Test::Reply(2, 99, 0, 0x10, 0xE1);
        QTest::newRow("liquid: clean frames") << "Hydrel-7" << status + reply << QStringList{Rx(status), Rx(reply)};
        QTest::newRow("liquid: bad sum between clean frames")
            << "Hydrel-7" << status + Corrupt(reply) + status
            << QStringList{Rx(status), Rx(Corrupt(reply), false), Rx(status)};
        QTest::newRow("liquid: ten bytes without a start byte")
            << "Hydrel-7" << QByteArray(10, '\x55') + status << QStringList{Rx(QByteArray(10, '\x55'), false), Rx(status)};
    }
    void receivedFramesAreNoted()
    {
        QFETCH(QString, model);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, noted);
        THarness h;
        h.Choose(model);
        QVERIFY(CurrentProduct);
        CurrentProduct->RxData += bytes;
        CurrentProduct->ParseData();
        QCOMPARE(TraceLines(QStringLiteral("RX")), noted);
    }

    // Whatever the search writes, byte for byte, is what the trace shows as sent.
    void sentFramesAreNoted_data()
    {
        QTest::addColumn<QString>("model");
        for (const char *model : {"Hydrel-7S", "Zephal-33 [new rev.]", "Zephal-1", "Corva-mini",
                                  "Zephal-3/-33/-6 [old rev.]", "Corva", "Hydrel-7"})
            QTest::newRow(model) << model;
    }
    void sentFramesAreNoted()
    {
        QFETCH(QString, model);
        THarness h;
        TMemoryChannel *line = h.Connect(nullptr);
        h.Choose(model);
        h.Clock.AdvanceBy(4000);
        QVERIFY(!line->Written.isEmpty());
        QCOMPARE(SentBytes().toHex(' '), line->Written.toHex(' '));
    }

    void theFirstSentFrameIsTheStreamStop()
    {
        THarness h;
        h.Choose(QStringLiteral("Hydrel-7S"));
        h.Clock.AdvanceBy(1500);
        QVERIFY(!TraceLines(QStringLiteral("TX")).isEmpty());
        QCOMPARE(TraceLines(QStringLiteral("TX")).first(), QStringLiteral("TX\tAA 03 01 00 07 00 DD 5F\tok"));
    }

    void windowKeepsTheLastLines()
    {
        THarness h;
        for (int i = 0; i < TfrmTrace::MaxLines + 3; ++i)
            frmTrace->Note(TFrameDirection::Received, QByteArray::number(i), true);
        const QStringList lines = frmTrace->Lines();
        QCOMPARE(lines.size(), TfrmTrace::MaxLines);
        QCOMPARE(ParseTraceLine(lines.first())->Bytes, QByteArray("3"));
        QCOMPARE(ParseTraceLine(lines.last())->Bytes, QByteArray::number(TfrmTrace::MaxLines + 2));
    }

    void windowTimesFollowTheClock()
    {
        THarness h;
        frmTrace->Note(TFrameDirection::Sent, "a", true);
        h.Clock.AdvanceBy(1234);
        frmTrace->Note(TFrameDirection::Received, "b", true);
        const QStringList lines = frmTrace->Lines();
        QCOMPARE(ParseTraceLine(lines[0])->Time.msecsTo(ParseTraceLine(lines[1])->Time), 1234);
    }

    void viewMenuShowsAndTheCloseBoxHides()
    {
        THarness h;
        QWidget *frame = frmTrace->parentWidget();
        QVERIFY(!frame->isVisible() || !frmMain->ChildIsNormal(frmTrace));
        frmMain->NTrace->trigger();
        QVERIFY(frame->isVisible());
        QVERIFY(frmMain->NTrace->isChecked());
        frame->close();
        QVERIFY(!frmMain->NTrace->isChecked());
        QVERIFY(!frmMain->ChildIsNormal(frmTrace) || !frame->isVisible());
    }

    void recordingWritesEveryLineThrough()
    {
        THarness h;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("session.trace"));
        frmTrace->Note(TFrameDirection::Sent, "before", true);
        QVERIFY(frmTrace->Record(path));
        frmTrace->Note(TFrameDirection::Sent, QByteArray::fromHex("aa01"), true);
        frmTrace->Note(TFrameDirection::Received, QByteArray::fromHex("0102"), false);
        // Written through at once: readable while the recording goes on.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList written = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(written, frmTrace->Lines().mid(1));
        QVERIFY(h.LogLines().filter(QStringLiteral("trace")).isEmpty());
    }

    // "Record to file...": the dialog proposes the heater's serial number and the time in the run-log
    // folder; a name typed without an extension records to "<name>.trace".
    void recordButtonProposesANameAndAddsTheExtension()
    {
        THarness h;
        h.Choose(QStringLiteral("Corva"));
        QVERIFY(CurrentProduct);
        CurrentProduct->SerialNumberText = QStringLiteral("77123456");
        QTemporaryDir dir;
        QString proposed;
        frmTrace->AskRecordPath = [&](const QString &proposal) {
            proposed = proposal;
            return dir.filePath(QStringLiteral("mytrace"));
        };
        auto restore = qScopeGuard([] {
            frmTrace->StopRecording();
            if (TProduct *product = CurrentProduct) {
                CurrentProduct = nullptr;
                product->Destroy();
                delete product;
            }
        });
        frmTrace->RecordButton->click();
        const QFileInfo info(proposed);
        QCOMPARE(info.absolutePath() + QLatin1Char('/'), RunLogFolder());
        static const QRegularExpression name(QStringLiteral("^\\[77123456\\] \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d trace\\.trace$"));
        QVERIFY2(name.match(info.fileName()).hasMatch(), qPrintable(info.fileName()));
        QVERIFY(frmTrace->Recording());
        frmTrace->Note(TFrameDirection::Sent, QByteArray::fromHex("aa01"), true);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("mytrace.trace"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("mytrace"))));
    }

    void recordingFailureIsLoggedOnce_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("opens");
        QTest::newRow("cannot be created") << "/nonexistent/dir/session.trace" << false;
        QTest::newRow("fails while writing") << "/dev/full" << true;
    }
    void recordingFailureIsLoggedOnce()
    {
        QFETCH(QString, path);
        QFETCH(bool, opens);
        THarness h;
        QCOMPARE(frmTrace->Record(path), opens);
        for (int i = 0; i < 3; ++i)
            frmTrace->Note(TFrameDirection::Received, QByteArray(100, 'x'), true);
        QVERIFY(!frmTrace->Recording());
        const QStringList failures = h.LogLines().filter(QStringLiteral("Cannot write the trace file ") + path);
        QCOMPARE(failures.size(), 1);
        QCOMPARE(frmTrace->Lines().size(), 3);
    }

    // A session against the simulated heater, recorded; then the recording replayed through a new
    // handler of the same model on a fresh clock.
    void replayShowsWhatTheLiveSessionShowed_data()
    {
        QTest::addColumn<QString>("model");
        for (const char *model : {"Hydrel-7S", "Corva-mini", "Zephal-3/-33/-6 [old rev.]", "Hydrel-7"})
            QTest::newRow(model) << model;
    }
    void replayShowsWhatTheLiveSessionShowed()
    {
        QFETCH(QString, model);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("session.trace"));
        QStringList liveLog, liveGrid, liveReceived;
        std::unique_ptr<THeaterSimulator> heater = CreateSimulator(model);
        QVERIFY(heater);
        {
            THarness h;
            h.Connect(heater.get());
            QVERIFY(frmTrace->Record(path));
            h.Choose(model);
            h.Clock.AdvanceBy(20000);
            QVERIFY(CurrentProduct->Identified);
            liveLog = LogWithoutTimes(h.LogLines());
            liveGrid = GridValues();
            liveReceived = TraceLines(QStringLiteral("RX"));
            frmTrace->StopRecording();
        }
        QVERIFY(liveReceived.size() > 5);
        THarness h;
        QVERIFY(UseReplay(path));
        h.Choose(model);
        h.Clock.AdvanceBy(20000);
        QVERIFY(CurrentProduct->Identified);
        QCOMPARE(TraceLines(QStringLiteral("RX")), liveReceived);
        QCOMPARE(LogWithoutTimes(h.LogLines()), liveLog);
        QCOMPARE(GridValues(), liveGrid);
    }

    void replayNamesTheLinesItSkips()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.trace"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a trace line\n2026-12-10T18:22:35.123\tTX\tAA 03\tok\n");
        file.close();
        THarness h;
        QVERIFY(UseReplay(path));
        QVERIFY(h.LogLines().contains(QStringLiteral("Trace line 1 skipped: not a trace line")));
        QVERIFY(!UseReplay(dir.filePath(QStringLiteral("missing.trace"))));
        QVERIFY(h.LogContains(QStringLiteral("Cannot read the trace ")));
    }
};

QTEST_MAIN(TestTraceSession)
#include "tst_trace_session.moc"
