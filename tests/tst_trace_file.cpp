// The trace file: its line layout read back, the lines it cannot use, and the line that plays a
// recording back on the scheduler's clock.
#include "core/VirtualScheduler.h"
#include "product/TraceLine.h"
#include "serial/ReplayChannel.h"
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(QList<TReplayChunk>)

namespace {
const QDateTime At = QDateTime(QDate(2026, 12, 10), QTime(18, 22, 35, 123));
}

class TestTraceFile : public QObject {
    Q_OBJECT

private slots:
    void lineReadsBack_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("line");
        QTest::newRow("sent") << int(TFrameDirection::Sent) << QByteArray::fromHex("aa0301000700dd5f") << true
                              << "2026-12-10T18:22:35.123\tTX\tAA 03 01 00 07 00 DD 5F\tok";
        QTest::newRow("received") << int(TFrameDirection::Received) << QByteArray::fromHex("01020306") << true
                                  << "2026-12-10T18:22:35.123\tRX\t01 02 03 06\tok";
        QTest::newRow("dropped") << int(TFrameDirection::Received) << QByteArray::fromHex("00ff") << false
                                 << "2026-12-10T18:22:35.123\tRX\t00 FF\tdropped";
    }
    void lineReadsBack()
    {
        QFETCH(int, direction);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QFETCH(QString, line);
        const TTraceEntry entry{At, TFrameDirection(direction), bytes, valid};
        QCOMPARE(TraceLineText(entry), line);
        const std::optional<TTraceEntry> back = ParseTraceLine(line);
        QVERIFY(back);
        QCOMPARE(back->Time, At);
        QCOMPARE(int(back->Direction), direction);
        QCOMPARE(back->Bytes, bytes);
        QCOMPARE(back->Valid, valid);
    }

    void malformedLineIsRefused_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("empty") << "";
        QTest::newRow("three fields") << "2026-12-10T18:22:35.123\tTX\tAA 03";
        QTest::newRow("five fields") << "2026-12-10T18:22:35.123\tTX\tAA 03\tok\tmore";
        QTest::newRow("spaces for tabs") << "2026-12-10T18:22:35.123 TX AA 03 ok";
        QTest::newRow("no time") << "18:22:35.123\tTX\tAA 03\tok";
        QTest::newRow("time out of range") << "2026-13-10T18:22:35.123\tTX\tAA 03\tok";
        QTest::newRow("direction") << "2026-12-10T18:22:35.123\tTR\tAA 03\tok";
        QTest::newRow("no bytes") << "2026-12-10T18:22:35.123\tRX\t\tok";
        QTest::newRow("odd digit") << "2026-12-10T18:22:35.123\tRX\tAA 0\tok";
        QTest::newRow("not hex") << "2026-12-10T18:22:35.123\tRX\tAA 0G\tok";
        QTest::newRow("sign in hex") << "2026-12-10T18:22:35.123\tRX\tAA +3\tok";
        QTest::newRow("no separator") << "2026-12-10T18:22:35.123\tRX\tAA03\tok";
        QTest::newRow("mark") << "2026-12-10T18:22:35.123\tRX\tAA 03\tbad";
    }
    void malformedLineIsRefused()
    {
        QFETCH(QString, line);
        QVERIFY(!ParseTraceLine(line));
    }

    void fileSkipsWhatItCannotUseAndNamesTheLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.trace"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("2026-12-10T18:22:35.123\tTX\tAA 03\tok\r\n"
                   "garbage\n"
                   "\n"
                   "2026-12-10T18:22:35.200\tRX\tAA 04 05\tdropped\n"
                   "2026-12-10T18:22:35.300\tRX\tZZ\tok\n"
                   "2026-12-10T18:22:35.400\tRX\t01 02 03 06\tok");
        file.close();
        const TTraceReading reading = ReadTraceFile(path);
        QCOMPARE(reading.Entries.size(), 3);
        QCOMPARE(reading.Entries[0].Bytes, QByteArray::fromHex("aa03"));
        QCOMPARE(reading.Entries[1].Bytes, QByteArray::fromHex("aa0405"));
        QVERIFY(!reading.Entries[1].Valid);
        QCOMPARE(reading.Entries[2].Time, QDateTime(QDate(2026, 12, 10), QTime(18, 22, 35, 400)));
        QCOMPARE(reading.Problems, QStringList({QStringLiteral("Trace line 2 skipped: garbage"),
                                                QStringLiteral("Trace line 5 skipped: 2026-12-10T18:22:35.300\tRX\tZZ\tok")}));
    }

    void unreadableFileIsAnError()
    {
        QVERIFY_THROWS_EXCEPTION(std::exception, ReadTraceFile(QStringLiteral("/nonexistent/run.trace")));
    }

    // Each row: the recording, when the port opens and when the program first writes, and when
    // which bytes arrive (nothing before the port opens; what falls due while closed is lost).
    void replayLine_data()
    {
        QTest::addColumn<QList<TReplayChunk>>("recording");
        QTest::addColumn<int>("openAt");
        QTest::addColumn<int>("writeAt");
        QTest::addColumn<QList<qint64>>("arrivalTimes");
        QTest::addColumn<QByteArrayList>("arrivals");
        const TReplayChunk request{1000, true, QByteArray::fromHex("aa01")};
        const TReplayChunk answer{1030, false, QByteArray::fromHex("bb02")};
        const TReplayChunk later{1530, false, QByteArray::fromHex("cc03")};
        const TReplayChunk early{0, false, QByteArray::fromHex("dd04")};
        QTest::newRow("answers keep their distance from the first write")
            << QList<TReplayChunk>{request, answer, later} << 100 << 500 << QList<qint64>{530, 1030}
            << QByteArrayList{answer.Bytes, later.Bytes};
        QTest::newRow("bytes recorded before the first request come at once")
            << QList<TReplayChunk>{early, request, answer} << 100 << 2000 << QList<qint64>{2000, 2030}
            << QByteArrayList{early.Bytes, answer.Bytes};
        QTest::newRow("nothing is sent: the recording starts at the opening")
            << QList<TReplayChunk>{early, answer} << 200 << -1 << QList<qint64>{200, 1230}
            << QByteArrayList{early.Bytes, answer.Bytes};
        QTest::newRow("no write, no answers") << QList<TReplayChunk>{request, answer} << 100 << -1
                                             << QList<qint64>{} << QByteArrayList{};
    }
    void replayLine()
    {
        QFETCH(QList<TReplayChunk>, recording);
        QFETCH(int, openAt);
        QFETCH(int, writeAt);
        QFETCH(QList<qint64>, arrivalTimes);
        QFETCH(QByteArrayList, arrivals);
        TVirtualScheduler clock;
        TScheduler::Install(&clock);
        {
            TReplayChannel line(recording);
            QList<qint64> times;
            QByteArrayList got;
            line.OnBytesArrived = [&] {
                times << clock.Now();
                got << line.Read(line.BytesAvailable());
            };
            clock.AdvanceBy(openAt);
            line.Open(QStringLiteral("replay"), 9600);
            if (writeAt >= 0) {
                clock.AdvanceBy(writeAt - openAt);
                QCOMPARE(line.Write(QByteArray::fromHex("aa01"), 1000), 2);
            }
            clock.AdvanceBy(5000);
            QCOMPARE(times, arrivalTimes);
            QCOMPARE(got, arrivals);
        }
        TScheduler::Install(nullptr);
    }

    void closedLineLosesWhatFallsDue()
    {
        TVirtualScheduler clock;
        TScheduler::Install(&clock);
        {
            TReplayChannel line({{0, true, "x"}, {100, false, "a"}, {300, false, "b"}});
            QByteArray got;
            line.OnBytesArrived = [&] { got += line.Read(64); };
            line.Open(QStringLiteral("replay"), 9600);
            line.Write("x", 1000);
            clock.AdvanceBy(50);
            line.Close();
            clock.AdvanceBy(100);
            line.Open(QStringLiteral("replay"), 9600);
            clock.AdvanceBy(500);
            QCOMPARE(got, QByteArray("b"));
        }
        TScheduler::Install(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestTraceFile)
#include "tst_trace_file.moc"
