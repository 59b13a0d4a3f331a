// The Hydrel-7 frame layer: the additive sum against worked values, the request frames, and cutting
// frames from a buffer that arrives split, behind garbage or damaged, with every byte accounted for.
#include "legacy_liquid/Hydrel7Frame.h"
#include "support/Bytes.h"
#include "support/Hydrel7Bytes.h"
#include <QtTest>

using namespace Hydrel7;

class TestLegacyLiquidFrame : public QObject {
    Q_OBJECT

    struct TCut {
        QList<QByteArray> Frames;
        TDrops Drops;
        QByteArray Left;
    };
    static TCut Cut(const QList<QByteArray> &chunks)
    {
        TCut cut;
        QByteArray buffer;
        for (const QByteArray &chunk : chunks) {
            buffer += chunk;
            ExtractFrames(buffer, [&](const QByteArray &frame) { cut.Frames << frame; }, &cut.Drops);
        }
        cut.Left = buffer;
        return cut;
    }

private slots:
    void requestFrames_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("data");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("serial number") << 121 << 0 << 9 << Bytes({170, 9, 0, 0, 121, 0, 0, 0, 0, 44});
        QTest::newRow("stop, own frame") << 3 << 0 << 1 << Bytes({170, 1, 0, 0, 3, 0, 0, 0, 0, 174});
        QTest::newRow("stop, repeated") << 3 << 0 << 9 << Bytes({170, 9, 0, 0, 3, 0, 0, 0, 0, 182});
        QTest::newRow("stream on") << 19 << 0 << 9 << Bytes({170, 9, 0, 0, 19, 0, 0, 0, 0, 198});
        QTest::newRow("last EEPROM read, sum wraps") << 119 << 253 << 9 << Bytes({170, 9, 0, 0, 119, 253, 0, 0, 0, 39});
    }
    void requestFrames()
    {
        QFETCH(int, command);
        QFETCH(int, data);
        QFETCH(int, flags);
        QFETCH(QByteArray, expected);
        QCOMPARE(BuildRequest(quint8(command), quint8(data), quint8(flags)), expected);
        QVERIFY(IsFrameSumOk(expected));
    }

    void sumCheck_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::newRow("good") << Hydrel7Test::Status(104, 251, 20, 1, 44) << true;
        QTest::newRow("sum off by one") << Bytes({170, 9, 0, 0, 121, 0, 0, 0, 0, 45}) << false;
        QTest::newRow("nine bytes") << Bytes({170, 9, 0, 0, 121, 0, 0, 0, 0}) << false;
        QTest::newRow("start byte not looked at") << Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 45}) << true;
        QTest::newRow("only ten bytes looked at") << Bytes({170, 9, 0, 0, 121, 0, 0, 0, 0, 44, 99}) << true;
    }
    void sumCheck()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QCOMPARE(IsFrameSumOk(bytes), ok);
    }

    void extraction_data()
    {
        using Hydrel7Test::Status;
        const QByteArray a = Status(1, 0, 120, 0, 0);
        const QByteArray b = Status(104, 251, 20, 1, 44);
        QByteArray corrupted = a;
        corrupted[6] = char(corrupted[6] + 1);
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<int>("badFrames");
        QTest::addColumn<QByteArray>("left");
        QTest::newRow("whole") << QList<QByteArray>{a} << QList<QByteArray>{a} << 0 << 0 << QByteArray();
        QTest::newRow("split over two reads") << QList<QByteArray>{a.left(4), a.mid(4)} << QList<QByteArray>{a} << 0 << 0
                                              << QByteArray();
        QTest::newRow("one byte a read") << [&] {
            QList<QByteArray> bytes;
            for (char c : a + b)
                bytes << QByteArray(1, c);
            return bytes;
        }() << QList<QByteArray>{a, b} << 0 << 0 << QByteArray();
        QTest::newRow("garbage before") << QList<QByteArray>{Bytes({1, 2}) + b} << QList<QByteArray>{b} << 2 << 0 << QByteArray();
        QTest::newRow("corrupted then valid") << QList<QByteArray>{corrupted + b} << QList<QByteArray>{b} << 0 << 1 << QByteArray();
        QTest::newRow("twelve bytes without a start byte")
            << QList<QByteArray>{Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})} << QList<QByteArray>{} << 0 << 1
            << Bytes({11, 12});
        QTest::newRow("matching sum without a start byte is no frame")
            << QList<QByteArray>{Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 45})} << QList<QByteArray>{} << 0 << 1 << QByteArray();
        QTest::newRow("start byte in the last nine bytes waits")
            << QList<QByteArray>{Bytes({5, 6, 7}) + a.left(8)} << QList<QByteArray>{} << 3 << 0 << a.left(8);
        QTest::newRow("a start byte inside a bad frame is not looked at again")
            << QList<QByteArray>{Bytes({170, 170}) + b.left(8) + b} << QList<QByteArray>{b} << 0 << 1 << QByteArray();
    }
    void extraction()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QList<QByteArray>, frames);
        QFETCH(int, skipped);
        QFETCH(int, badFrames);
        QFETCH(QByteArray, left);
        const TCut cut = Cut(chunks);
        QCOMPARE(cut.Frames, frames);
        QCOMPARE(cut.Drops.Frames, qint64(frames.size()));
        QCOMPARE(cut.Drops.SkippedBytes, qint64(skipped));
        QCOMPARE(cut.Drops.BadFrames, qint64(badFrames));
        QCOMPARE(cut.Drops.BadFrameBytes, qint64(10 * badFrames));
        QCOMPARE(cut.Left, left);
    }

    void errorInTheDecoderConsumesTheFrameOnce()
    {
        const QByteArray a = Hydrel7Test::Status(1);
        const QByteArray b = Hydrel7Test::Status(2);
        QByteArray buffer = a + b;
        int calls = 0;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, ExtractFrames(buffer, [&](const QByteArray &) {
            ++calls;
            throw std::runtime_error("decoder");
        }));
        QCOMPARE(calls, 1);
        QCOMPARE(buffer, b);
    }
};

QTEST_GUILESS_MAIN(TestLegacyLiquidFrame)
#include "tst_legacy_liquid_frame.moc"
