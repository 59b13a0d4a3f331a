// The current family's frame layer: the CRC against published and reference values, the frames the
// handler writes, and cutting answers from a buffer that arrives split, noisy or damaged.
#include "current/CurrentFrame.h"
#include "support/CurrentPeer.h"
#include <QtTest>

using CurrentTest::Frame;

class TestCurrentFrame : public QObject {
    Q_OBJECT

    struct TCut {
        QList<QByteArray> Frames;
        TFrameDrops Drops;
        QByteArray Left;
    };
    // Feeds the chunks one by one, as receive events would, and collects what comes out.
    static TCut Cut(const QList<QByteArray> &chunks)
    {
        TCut cut;
        QByteArray buffer;
        for (const QByteArray &chunk : chunks) {
            buffer += chunk;
            ExtractCurrentFrames(buffer, [&](const QByteArray &frame) { cut.Frames << frame; }, &cut.Drops);
        }
        cut.Left = buffer;
        return cut;
    }

private slots:
    void crcKnownAnswers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("crc");
        QTest::newRow("check value") << QByteArray("123456789") << 0x4B37;
        QTest::newRow("empty") << QByteArray() << 0xFFFF;
        QTest::newRow("keep-alive head") << QByteArray::fromHex("aa02000000") << 0xA03D;
        QTest::newRow("serial request head") << QByteArray::fromHex("aa03000004") << 0x9F3D;
    }
    void crcKnownAnswers()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, crc);
        QCOMPARE(int(Crc16Modbus(bytes.constData(), bytes.size())), crc);
    }

    void referenceFrames_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("keep-alive") << 2 << 0 << QByteArray() << QByteArray::fromHex("aa020000 00a03d");
        QTest::newRow("serial number") << 3 << 4 << QByteArray() << QByteArray::fromHex("aa030000049f3d");
        QTest::newRow("version") << 3 << 6 << QByteArray() << QByteArray::fromHex("aa030000065ebc");
        QTest::newRow("stream on") << 3 << 7 << QByteArray(1, '\1') << QByteArray::fromHex("aa03010007011d9e");
        QTest::newRow("stream off") << 3 << 7 << QByteArray(1, '\0') << QByteArray::fromHex("aa0301000700dd5f");
        QTest::newRow("stop") << 3 << 3 << QByteArray() << QByteArray::fromHex("aa030000035d7c");
        QTest::newRow("fuel pumping prepare") << 3 << 18 << QByteArray() << QByteArray::fromHex("aa0300001251bc");
        QTest::newRow("fuel pumping 255") << 3 << 19 << QByteArray(1, '\xff') << QByteArray::fromHex("aa03010013ff9d10");
        QTest::newRow("pump prepare") << 3 << 34 << QByteArray(1, '\0') << QByteArray::fromHex("aa03010022004d45");
        QTest::newRow("pump 90 min") << 3 << 33 << QByteArray::fromHex("005a") << QByteArray::fromHex("aa03020021005ac8b8");
    }
    void referenceFrames()
    {
        QFETCH(int, address);
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, expected);
        const QByteArray frame = BuildCurrentFrame(quint8(address), 0, quint8(command), payload);
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
        QVERIFY(isCRC16ok(frame));
        // The routine reads the length from the frame, so it works before the CRC bytes are filled.
        QByteArray unfilled = frame;
        unfilled.chop(2);
        const TCrc16 crc = CalcCRC16(unfilled);
        QCOMPARE(crc.High, quint8(frame[frame.size() - 2]));
        QCOMPARE(crc.Low, quint8(frame[frame.size() - 1]));
    }

    void crcCheckRejectsDamage_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("ok");
        const QByteArray good = QByteArray::fromHex("aa03010007011d9e");
        QTest::newRow("good") << good << true;
        QTest::newRow("crc bytes swapped") << QByteArray::fromHex("aa0301000701 9e1d") << false;
        QTest::newRow("payload bit flipped") << QByteArray::fromHex("aa03010007031d9e") << false;
        QTest::newRow("cut short") << good.left(7) << false;
    }
    void crcCheckRejectsDamage()
    {
        QFETCH(QByteArray, frame);
        QFETCH(bool, ok);
        QCOMPARE(isCRC16ok(frame), ok);
    }

    void extraction_data()
    {
        const QByteArray a = Frame(6, QByteArray::fromHex("010200031101"));
        const QByteArray b = Frame(4, QByteArray::fromHex("000700 04d2"));
        QByteArray swapped = a;
        std::swap(swapped[swapped.size() - 1], swapped[swapped.size() - 2]);
        // An answer with any values in the two address bytes, its CRC over them.
        QByteArray oddAddress = QByteArray::fromHex("aa42029904 0102");
        const quint16 crc = CurrentTest::Crc(oddAddress);
        oddAddress.append(char(crc >> 8)).append(char(crc & 0xFF));

        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<int>("badFrames");
        QTest::addColumn<QByteArray>("left");
        QTest::newRow("one frame") << QList<QByteArray>{a} << QList<QByteArray>{a} << 0 << 0 << QByteArray();
        QTest::newRow("back to back in one read") << QList<QByteArray>{a + b} << QList<QByteArray>{a, b} << 0 << 0
                                                  << QByteArray();
        QList<QByteArray> bytewise;
        for (char c : a + b)
            bytewise << QByteArray(1, c);
        QTest::newRow("split byte by byte") << bytewise << QList<QByteArray>{a, b} << 0 << 0 << QByteArray();
        QTest::newRow("split inside the header") << QList<QByteArray>{a.left(2), a.mid(2, 5), a.mid(7)}
                                                 << QList<QByteArray>{a} << 0 << 0 << QByteArray();
        QTest::newRow("garbage before a lone answer") << QList<QByteArray>{QByteArray::fromHex("1234") + b}
                                                      << QList<QByteArray>{b} << 2 << 0 << QByteArray();
        QTest::newRow("garbage before the start byte") << QList<QByteArray>{QByteArray::fromHex("1234") + a}
                                                       << QList<QByteArray>{a} << 2 << 0 << QByteArray();
        QTest::newRow("swapped crc dropped, next frame kept") << QList<QByteArray>{swapped + b} << QList<QByteArray>{b}
                                                              << 0 << 1 << QByteArray();
        QTest::newRow("address bytes ignored") << QList<QByteArray>{oddAddress} << QList<QByteArray>{oddAddress} << 0
                                               << 0 << QByteArray();
        QTest::newRow("incomplete frame waits") << QList<QByteArray>{a, b.left(b.size() - 1)} << QList<QByteArray>{a}
                                                << 0 << 0 << b.left(b.size() - 1);
        QTest::newRow("three bytes wait") << QList<QByteArray>{QByteArray::fromHex("aa0300")} << QList<QByteArray>{}
                                          << 0 << 0 << QByteArray::fromHex("aa0300");
        // Without a start byte the front is still tried as a frame of its length byte and dropped.
        QTest::newRow("noise without start byte") << QList<QByteArray>{QByteArray::fromHex("0102030405060708090a0b0c")}
                                                  << QList<QByteArray>{} << 0 << 1 << QByteArray::fromHex("0b0c");
        QTest::newRow("noise whose crc matches by chance") << QList<QByteArray>{QByteArray::fromHex("ffff0000000000")}
                                                           << QList<QByteArray>{} << 0 << 1 << QByteArray();
        QTest::newRow("garbage, damaged, good, split") << QList<QByteArray>{QByteArray::fromHex("00ff") + swapped.left(3),
                                                                            swapped.mid(3) + b.left(4), b.mid(4) + a}
                                                       << QList<QByteArray>{b, a} << 2 << 1 << QByteArray();
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
        QCOMPARE(cut.Left.toHex(), left.toHex());
        // Every byte is either handed on, dropped or still waiting.
        qsizetype in = 0;
        for (const QByteArray &chunk : chunks)
            in += chunk.size();
        qsizetype out = cut.Left.size() + cut.Drops.SkippedBytes + cut.Drops.BadFrameBytes;
        for (const QByteArray &frame : cut.Frames)
            out += frame.size();
        QCOMPARE(out, in);
    }

    void errorInDecoderConsumesTheFrameOnly()
    {
        const QByteArray a = Frame(1, QByteArray(8, '\1'));
        const QByteArray b = Frame(4, QByteArray(5, '\2'));
        QByteArray buffer = a + b;
        int calls = 0;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, ExtractCurrentFrames(buffer, [&](const QByteArray &) {
            ++calls;
            throw std::runtime_error("decoder failed");
        }));
        QCOMPARE(calls, 1);
        QCOMPARE(buffer, b);
    }

    void longNoiseIsConsumedWithoutLosingTheFrameAfterIt()
    {
        QByteArray noise(256 * 1024, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 37) % 170); // never 0xAA
        const QByteArray good = Frame(6, QByteArray::fromHex("0102000311"));
        QByteArray buffer = noise + good;
        QList<QByteArray> frames;
        TFrameDrops drops;
        ExtractCurrentFrames(buffer, [&](const QByteArray &frame) { frames << frame; }, &drops);
        // The start byte is found at once, so the noise is skipped and the frame decoded.
        QCOMPARE(frames, QList<QByteArray>{good});
        QCOMPARE(drops.SkippedBytes, qint64(noise.size()));
        QVERIFY(buffer.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCurrentFrame)
#include "tst_current_frame.moc"
