// The legacy air family's frame layer: the answer and dump sums from written-down values, and cutting
// answers from bytes that arrive split, noisy or damaged, with every dropped byte counted.
#include "legacy_air/AirFrame.h"
#include "support/Bytes.h"
#include <QtTest>

class TestAirFrame : public QObject {
    Q_OBJECT

    struct TCut {
        QList<QByteArray> Answers;
        QList<int> AnswersAfterChunk; // answers handed on after each chunk
        TAirDrops Drops;
        QByteArray Left;
    };
    // Feeds the chunks one by one, as receive events would, cutting every answer that is complete.
    static TCut Cut(const QList<QByteArray> &chunks, bool zeroStatus = true)
    {
        TCut cut;
        QByteArray buffer;
        for (const QByteArray &chunk : chunks) {
            buffer += chunk;
            for (;;) {
                const TAirCutResult next = CutAirAnswer(buffer, false, {zeroStatus}, &cut.Drops);
                if (next.Kind != TAirCut::Answer)
                    break;
                cut.Answers << next.Bytes;
            }
            cut.AnswersAfterChunk << int(cut.Answers.size());
        }
        cut.Left = buffer;
        return cut;
    }

    static QByteArray Dump(bool goodSum)
    {
        QByteArray dump;
        quint8 sum = 0;
        for (int i = 0; i < 256; ++i) {
            dump.append(char(i * 7));
            sum = quint8(sum + quint8(i * 7));
        }
        dump.append(char(goodSum ? sum : sum ^ 1));
        return dump;
    }

private slots:
    void answerSum_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::newRow("matching sum") << Bytes({0x05, 0x10, 0x20, 0x35}) << true;
        QTest::newRow("sum off by one") << Bytes({0x05, 0x10, 0x20, 0x36}) << false;
        QTest::newRow("sum wraps past 255") << Bytes({0xFF, 0xFF, 0x03, 0x01}) << true;
        QTest::newRow("all zero") << Bytes({0, 0, 0, 0}) << true;
        QTest::newRow("three bytes") << Bytes({0x05, 0x10, 0x20}) << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("bytes after the fourth ignored") << Bytes({0x05, 0x10, 0x20, 0x35, 0x99}) << true;
    }
    void answerSum()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QCOMPARE(isCRC4ok(bytes), ok);
    }

    void blockSum_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<bool>("ok");
        QTest::newRow("dump with its sum") << Dump(true) << true;
        QTest::newRow("dump with a wrong sum") << Dump(false) << false;
        QTest::newRow("sum wraps") << Bytes({0x80, 0x80, 0x01, 0x01}) << true;
        QTest::newRow("one byte: sum of nothing is 0") << Bytes({0}) << true;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void blockSum()
    {
        QFETCH(QByteArray, block);
        QFETCH(bool, ok);
        QCOMPARE(isBlockCRCok(block), ok);
    }

    void requestIsTheCodeTwice()
    {
        QCOMPARE(AirRequest(7), Bytes({7, 7}));
        QCOMPARE(AirRequest(24), Bytes({24, 24}));
    }

    void cutting_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<bool>("zeroStatus");
        QTest::addColumn<QList<QByteArray>>("answers");
        QTest::addColumn<QList<int>>("answersAfterChunk");
        QTest::addColumn<qint64>("skipped");
        QTest::addColumn<QByteArray>("left");
        const QByteArray a = Bytes({0x05, 0x10, 0x20, 0x35});
        const QByteArray b = Bytes({0x02, 0x13, 0x05, 0x1A});
        QTest::newRow("whole answer") << QList<QByteArray>{a} << true << QList<QByteArray>{a} << QList<int>{1}
                                      << qint64(0) << QByteArray();
        QTest::newRow("three bytes wait") << QList<QByteArray>{a.left(3)} << true << QList<QByteArray>{}
                                          << QList<int>{0} << qint64(0) << a.left(3);
        QTest::newRow("split 1 + 3") << QList<QByteArray>{a.left(1), a.mid(1)} << true << QList<QByteArray>{a}
                                     << QList<int>{0, 1} << qint64(0) << QByteArray();
        QTest::newRow("two garbage bytes first") << QList<QByteArray>{Bytes({0x33, 0x44}) + a} << true
                                                 << QList<QByteArray>{a} << QList<int>{1} << qint64(2) << QByteArray();
        QTest::newRow("two answers in one read") << QList<QByteArray>{a + b} << true << QList<QByteArray>{a, b}
                                                 << QList<int>{2} << qint64(0) << QByteArray();
        QTest::newRow("damaged answer dropped byte by byte")
            << QList<QByteArray>{Bytes({0x05, 0x10, 0x20, 0x36}), b} << true << QList<QByteArray>{b}
            << QList<int>{0, 1} << qint64(4) << QByteArray();
        QTest::newRow("status 0 is an answer") << QList<QByteArray>{Bytes({0, 1, 2, 3})} << true
                                               << QList<QByteArray>{Bytes({0, 1, 2, 3})} << QList<int>{1}
                                               << qint64(0) << QByteArray();
        QTest::newRow("status 0 is noise for the pre-heater")
            << QList<QByteArray>{Bytes({0, 1, 2, 3})} << false << QList<QByteArray>{} << QList<int>{0} << qint64(1)
            << Bytes({1, 2, 3});
        QTest::newRow("pre-heater answer behind a zero") << QList<QByteArray>{Bytes({0}) + b} << false
                                                         << QList<QByteArray>{b} << QList<int>{1} << qint64(1)
                                                         << QByteArray();
    }
    void cutting()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(bool, zeroStatus);
        QFETCH(QList<QByteArray>, answers);
        QFETCH(QList<int>, answersAfterChunk);
        QFETCH(qint64, skipped);
        QFETCH(QByteArray, left);
        const TCut cut = Cut(chunks, zeroStatus);
        QCOMPARE(cut.Answers, answers);
        QCOMPARE(cut.AnswersAfterChunk, answersAfterChunk);
        QCOMPARE(cut.Drops.SkippedBytes, skipped);
        QCOMPARE(cut.Drops.Answers, qint64(answers.size()));
        QCOMPARE(cut.Left, left);
    }

    void dumpIsTakenWholeOrNotAtAll()
    {
        const QByteArray dump = Dump(true);
        QByteArray buffer = dump.left(256);
        TAirDrops drops;
        QCOMPARE(CutAirAnswer(buffer, true, {}, &drops).Kind, TAirCut::Waiting);
        QCOMPARE(buffer.size(), 256);
        buffer += dump.right(1) + Bytes({0x05, 0x10, 0x20, 0x35});
        const TAirCutResult cut = CutAirAnswer(buffer, true, {}, &drops);
        QCOMPARE(cut.Kind, TAirCut::Dump);
        QCOMPARE(cut.Bytes, dump);
        QCOMPARE(buffer, Bytes({0x05, 0x10, 0x20, 0x35}));
        QCOMPARE(drops.Dumps, qint64(1));
    }

    void badDumpLeavesTheBuffer()
    {
        QByteArray buffer = Dump(false) + Dump(true);
        TAirDrops drops;
        QCOMPARE(CutAirAnswer(buffer, true, {}, &drops).Kind, TAirCut::BadDump);
        QCOMPARE(buffer, Dump(true));
        QCOMPARE(CutAirAnswer(buffer, true, {}, &drops).Kind, TAirCut::Dump);
        QCOMPARE(drops.BadDumps, qint64(1));
        QVERIFY(buffer.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAirFrame)
#include "tst_air_frame.moc"
