// What every simulated heater shares, whatever its protocol: the line faults its frames pass through,
// on the virtual clock, and the registry that makes a simulator for a model.
#include "core/VirtualScheduler.h"
#include "sim/HeaterFaults.h"
#include "sim/LineFaults.h"
#include "sim/Simulators.h"
#include "support/Bytes.h"
#include <QtTest>
#include <memory>
#include <vector>

namespace {
struct TPiece {
    qint64 At;
    QByteArray Bytes;
    bool operator==(const TPiece &other) const { return At == other.At && Bytes == other.Bytes; }
};
using TPieces = QList<TPiece>;

char *toString(const TPiece &piece)
{
    return QTest::toString(QStringLiteral("%1 ms: %2").arg(piece.At).arg(QString::fromLatin1(piece.Bytes.toHex(' '))));
}

// A frame of nine bytes in the current family's shape; the faults do not look inside it.
const QByteArray Frame9 = Bytes({0xAA, 0x04, 0x02, 0x00, 0x06, 0x01, 0x02, 0xC1, 0xC2});
} // namespace

Q_DECLARE_METATYPE(TPieces)
Q_DECLARE_METATYPE(QList<bool>)

class TestSimShared : public QObject {
    Q_OBJECT

    TVirtualScheduler Clock;
    qint64 Start = 0; // the clock at the start of a test; pieces are timed from here
    TPieces Sent;

    std::unique_ptr<TLineFaults> Faults(quint32 seed = 1, quint8 startByte = 0xAA)
    {
        return std::make_unique<TLineFaults>(startByte, seed, [this](const QByteArray &bytes) {
            Sent.push_back({Clock.Now() - Start, bytes});
        });
    }

private slots:
    void init()
    {
        TScheduler::Install(&Clock);
        Start = Clock.Now();
        Sent.clear();
    }

    void cleanup()
    {
        QCOMPARE(Clock.PendingCount(), 0);
        TScheduler::Install(nullptr);
    }

    void lineFaults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<TPieces>("pieces");
        QTest::newRow("clean line") << "" << Frame9 << TPieces{{0, Frame9}};
        QTest::newRow("silence") << "silence" << Frame9 << TPieces{};
        QTest::newRow("bad-crc") << "bad-crc" << Frame9
                                 << TPieces{{0, Bytes({0xAA, 0x04, 0x02, 0x00, 0x06, 0x01, 0x02, 0xC1, 0x3D})}};
        QTest::newRow("bad-crc, four-byte answer")
            << "bad-crc" << Bytes({0x01, 0x02, 0x03, 0x06}) << TPieces{{0, Bytes({0x01, 0x02, 0x03, 0xF9})}};
        QTest::newRow("split-frames") << "split-frames" << Frame9
                                      << TPieces{{0, Bytes({0xAA, 0x04, 0x02})},
                                                 {40, Bytes({0x00, 0x06, 0x01})},
                                                 {80, Bytes({0x02, 0xC1, 0xC2})}};
        QTest::newRow("split-frames, the rest in the last piece")
            << "split-frames" << Frame9.left(7)
            << TPieces{{0, Bytes({0xAA, 0x04})}, {40, Bytes({0x02, 0x00})}, {80, Bytes({0x06, 0x01, 0x02})}};
        // Too short for three pieces: no empty piece goes on the line.
        QTest::newRow("split-frames, two bytes") << "split-frames" << Bytes({0x18, 0x18})
                                                 << TPieces{{0, Bytes({0x18})}, {40, Bytes({0x18})}};
    }

    void lineFaults()
    {
        QFETCH(QString, fault);
        QFETCH(QByteArray, frame);
        QFETCH(TPieces, pieces);
        auto faults = Faults();
        if (!fault.isEmpty())
            QVERIFY(faults->Select(fault));
        faults->Send(frame);
        Clock.AdvanceBy(500);
        QCOMPARE(Sent, pieces);
    }

    void noiseGoesBeforeTheFrameAndNeverHoldsTheStartByte_data()
    {
        QTest::addColumn<int>("startByte");
        QTest::newRow("0xAA") << 0xAA;
        QTest::newRow("0x00") << 0x00;
    }

    void noiseGoesBeforeTheFrameAndNeverHoldsTheStartByte()
    {
        QFETCH(int, startByte);
        QSet<int> lengths;
        for (quint32 seed = 1; seed <= 40; ++seed) {
            Sent.clear();
            auto faults = Faults(seed, quint8(startByte));
            QVERIFY(faults->Select(QStringLiteral("noise")));
            faults->Send(Frame9);
            faults->Send(Frame9);
            QCOMPARE(Sent.size(), 2);
            for (const TPiece &piece : std::as_const(Sent)) {
                QVERIFY(piece.Bytes.endsWith(Frame9));
                const QByteArray noise = piece.Bytes.chopped(Frame9.size());
                QVERIFY2(!noise.contains(char(startByte)), noise.toHex(' ').constData());
                lengths << int(noise.size());
            }
        }
        QCOMPARE(lengths, (QSet<int>{1, 2, 3, 4}));
    }

    void noiseFollowsTheSeed()
    {
        auto run = [this](quint32 seed) {
            Sent.clear();
            auto faults = Faults(seed);
            faults->Select(QStringLiteral("noise"));
            for (int i = 0; i < 5; ++i)
                faults->Send(Frame9);
            QByteArray all;
            for (const TPiece &piece : std::as_const(Sent))
                all += piece.Bytes;
            return all;
        };
        const QByteArray first = run(7);
        QCOMPARE(run(7), first);
        QVERIFY(run(8) != first);
    }

    // A frame sent while pieces of the one before still wait goes after them, whatever fault
    // it is sent under.
    void framesNeverOvertakeOneAnother()
    {
        auto faults = Faults();
        const QByteArray second = Bytes({0xAA, 0x01, 0x02, 0x03});
        const QByteArray third = Bytes({0xAA, 0x09});
        QVERIFY(faults->Select(QStringLiteral("split-frames")));
        faults->Send(Frame9);
        faults->Send(second);
        Clock.AdvanceBy(10);
        faults->Clear();
        faults->Send(third);
        QCOMPARE(Sent.size(), 1); // nothing jumps the queue
        Clock.AdvanceBy(500);
        QByteArray all;
        qint64 last = 0;
        for (const TPiece &piece : std::as_const(Sent)) {
            QVERIFY(piece.At >= last);
            last = piece.At;
            all += piece.Bytes;
        }
        QCOMPARE(all, Frame9 + second + third);
        QCOMPARE(Sent.back().At, qint64(2 * TLineFaults::SplitGapMs));

        Sent.clear();
        faults->Send(third); // a clean line with nothing waiting sends at once
        QCOMPARE(Sent, (TPieces{{Clock.Now() - Start, third}}));
    }

    void piecesStillWaitingGoWithTheHeater()
    {
        auto faults = Faults();
        faults->Select(QStringLiteral("split-frames"));
        faults->Send(Frame9);
        Clock.AdvanceBy(50);
        faults.reset();
        Clock.AdvanceBy(500);
        QCOMPARE(Sent.size(), 2);
    }

    void faultsAreChosenByName()
    {
        auto faults = Faults();
        const QStringList names = TLineFaults::Names();
        QCOMPARE(names, (QStringList{"silence", "bad-crc", "split-frames", "noise"}));
        for (const QString &name : names)
            QVERIFY2(faults->Select(name), qPrintable(name));
        for (const QString &name : {"", "none", "silent", "Silence", "fault-27"})
            QVERIFY2(!faults->Select(name), qPrintable(name));
        // A name it does not know leaves the fault chosen before.
        QVERIFY(faults->Select(QStringLiteral("silence")));
        QVERIFY(!faults->Select(QStringLiteral("noisy")));
        faults->Send(Frame9);
        QVERIFY(Sent.isEmpty());
        faults->Clear();
        faults->Send(Frame9);
        QCOMPARE(Sent, (TPieces{{0, Frame9}}));
    }

    void retryOnly_data()
    {
        QTest::addColumn<QList<QByteArray>>("requests");
        QTest::addColumn<QList<bool>>("taken");
        const QByteArray a = Bytes({0x06});
        const QByteArray b = Bytes({0x04});
        const QByteArray aOtherPayload = Bytes({0x06, 0x01});
        QTest::newRow("taken on its second copy") << QList<QByteArray>{a, a} << QList<bool>{false, true};
        QTest::newRow("the copy after a taken one is a first again")
            << QList<QByteArray>{a, a, a, a, a} << QList<bool>{false, true, false, true, false};
        QTest::newRow("requests in turn keep their own copies")
            << QList<QByteArray>{a, b, a, b} << QList<bool>{false, false, true, true};
        QTest::newRow("another payload is another request")
            << QList<QByteArray>{a, aOtherPayload, a, aOtherPayload} << QList<bool>{false, false, true, true};
    }

    void retryOnly()
    {
        QFETCH(QList<QByteArray>, requests);
        QFETCH(QList<bool>, taken);
        THeaterFaults faults([] {});
        for (const QByteArray &request : std::as_const(requests))
            QVERIFY(faults.Takes(request)); // no fault chosen: everything is taken
        QVERIFY(faults.Select(QStringLiteral("retry-only")));
        QList<bool> got;
        for (const QByteArray &request : std::as_const(requests))
            got << faults.Takes(request);
        QCOMPARE(got, taken);
        // Cleared, a request heard once is not owed an answer any more.
        faults.Takes(requests.first());
        faults.Clear();
        QVERIFY(faults.Select(QStringLiteral("retry-only")));
        QVERIFY(!faults.Takes(requests.first()));
    }

    void restartIsDeafAndMuteForAWhileThenAtRest()
    {
        int powerOns = 0;
        THeaterFaults faults([&] { ++powerOns; });
        QVERIFY(faults.Select(QStringLiteral("restart")));
        Clock.AdvanceBy(THeaterFaults::RestartAfterMs - 1);
        QVERIFY(!faults.Rebooting());
        QVERIFY(faults.Takes(Frame9));
        QCOMPARE(powerOns, 0);
        Clock.AdvanceBy(1);
        QCOMPARE(powerOns, 1);
        QVERIFY(faults.Rebooting());
        QVERIFY(!faults.Takes(Frame9));
        Clock.AdvanceBy(THeaterFaults::RebootMs - 1);
        QVERIFY(faults.Rebooting());
        Clock.AdvanceBy(1);
        QVERIFY(!faults.Rebooting());
        QVERIFY(faults.Takes(Frame9));
        // Once: the heater does not keep restarting.
        Clock.AdvanceBy(10 * THeaterFaults::RestartAfterMs);
        QCOMPARE(powerOns, 1);
    }

    void restartIsCalledOff_data()
    {
        QTest::addColumn<QString>("instead");
        QTest::newRow("cleared") << "";
        QTest::newRow("retry-only chosen") << "retry-only";
    }

    void restartIsCalledOff()
    {
        QFETCH(QString, instead);
        bool restarted = false;
        THeaterFaults faults([&] { restarted = true; });
        QVERIFY(faults.Select(QStringLiteral("restart")));
        Clock.AdvanceBy(THeaterFaults::RestartAfterMs / 2);
        if (instead.isEmpty())
            faults.Clear();
        else
            QVERIFY(faults.Select(instead));
        Clock.AdvanceBy(2 * THeaterFaults::RestartAfterMs);
        QVERIFY(!restarted);
        QVERIFY(!faults.Rebooting());
    }

    void heaterFaultsAreChosenByName()
    {
        THeaterFaults faults([] {});
        QCOMPARE(THeaterFaults::Names(), (QStringList{"retry-only", "restart"}));
        for (const QString &name : {"", "none", "silence", "retry", "Restart"})
            QVERIFY2(!faults.Select(name), qPrintable(name));
        // A name it does not know leaves the fault chosen before.
        QVERIFY(faults.Select(QStringLiteral("retry-only")));
        QVERIFY(!faults.Select(QStringLiteral("retry-once")));
        QVERIFY(!faults.Takes(Frame9));
        QVERIFY(faults.Takes(Frame9));
    }

    void registryKnowsTheSimulatedModels()
    {
        // Named by the model menu's captions.
        for (const QString &model : {"Hydrel-7S", "Zephal-33 [new rev.]", "Zephal-1", "Corva-mini",
                                     "Zephal-3/-33/-6 [old rev.]", "Corva", "Hydrel-7"})
            QVERIFY2(SimulatedModels().contains(model), qPrintable(model));
        for (const QString &model : SimulatedModels()) {
            QVERIFY2(CreateSimulator(model), qPrintable(model));
            QVERIFY2(CreateSimulator(model.toUpper()), qPrintable(model));
        }
        for (const QString &model : {"", "Hydrel-7 ", "Zephal-33", "Corva-mini ", "Hydrel-7S "})
            QVERIFY2(!CreateSimulator(model), qPrintable(model));
    }

    // The registry's Hydrel-7S is a heater that answers the version request of the current family.
    void registrySimulatorAnswers()
    {
        const std::unique_ptr<THeaterSimulator> heater = CreateSimulator(QStringLiteral("Hydrel-7S"));
        QByteArray answer;
        heater->Send = [&answer](const QByteArray &bytes) { answer += bytes; };
        heater->Receive(Bytes({0xAA, 0x03, 0x00, 0x00, 0x06, 0x5E, 0xBC}));
        Clock.AdvanceBy(100);
        QVERIFY(answer.size() > 7);
        QCOMPARE(quint8(answer[0]), quint8(0xAA));
        QCOMPARE(quint8(answer[4]), quint8(6));
    }
};

QTEST_GUILESS_MAIN(TestSimShared)
#include "tst_sim_shared.moc"
