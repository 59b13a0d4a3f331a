// The product base with a small test handler: the receive path, the tear-down order and its log
// lines, and a handler replaced or the program closed while an operation waits.
#include "app/Globals.h"
#include "app/Models.h"
#include "app/fMain.h"
#include "product/Product.h"
#include "core/Timer.h"
#include "serial/MemoryChannel.h"
#include "serial/ComPort.h"
#include "sim/HeaterSimulator.h"
#include "support/Harness.h"
#include "support/TestProduct.h"
#include <QtTest>

namespace {
// A peer that only sends what the test tells it to.
class TScriptedPeer : public THeaterSimulator {
public:
    void Receive(const QByteArray &bytes) override { Heard += bytes; }
    bool SetFailureMode(const QString &) override { return false; }
    QStringList FailureModes() const override { return {}; }
    QByteArray Heard;
};

const QString testModel = QStringLiteral("Corva");
} // namespace

class TestProductBase : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;
    TScriptedPeer Peer;
    TMemoryChannel *Line = nullptr;
    std::unique_ptr<THandlerStandIn> StandIn;

    TTestProduct *Product() { return static_cast<TTestProduct *>(CurrentProduct); }

private slots:
    void init()
    {
        H = std::make_unique<THarness>();
        Line = H->Connect(&Peer);
        StandIn = std::make_unique<THandlerStandIn>(testModel, [] { return new TTestProduct; });
        TTestProduct::DeletedWhileBusy = false;
    }
    void cleanup()
    {
        H.reset();
        StandIn.reset();
        QCOMPARE(TTestProduct::Alive, 0);
    }

    void constructionOpensThePortAndBindsTheTimers()
    {
        H->Choose(testModel);
        QVERIFY(Product());
        QVERIFY(ComPort->Connected());
        QCOMPARE(Line->LineBaudRate(), 2400);
        QCOMPARE(Product()->LogMemo, mLog);
        QCOMPARE(Product()->Timer->Interval(), 5000);
        QCOMPARE(Product()->ErTimer->Interval(), 2000);
        QCOMPARE(Product()->TransmitTimer->Interval(), 1000);
        QCOMPARE(Product()->SearchTimer->Interval(), 1000);
        QVERIFY(!Product()->Timer->Enabled());
        QVERIFY(!Product()->ErTimer->Enabled());
        H->Clock.AdvanceBy(1000);
        QCOMPARE(Product()->Calls, QStringList({"OnSearchTimer"}));
    }

    void bytesSplitOverEventsAreJoinedInTheBuffer()
    {
        H->Choose(testModel);
        Product()->ParseData(); // nothing yet
        Product()->Parsed.clear();
        Peer.Send(QByteArray::fromHex("aa0102"));
        H->Clock.AdvanceBy(100);
        // One receive event per byte at 2400 baud; every event appends and parses.
        QCOMPARE(Product()->Parsed.size(), 3);
        QCOMPARE(Product()->Parsed.join(), QByteArray::fromHex("aa0102"));
    }

    void shortReadIsLoggedAndDropped()
    {
        H->Choose(testModel);
        Line->ShortReadBy = 1;
        Peer.Send("x");
        H->Clock.AdvanceBy(20);
        QVERIFY(Product()->Parsed.isEmpty());
        const QRegularExpression line(QStringLiteral(
            R"(^\d\d:\d\d:\d\d TTestProduct\.ComPortRxChar\(TComPort,1\) Exception: Exception: )"
            R"(\d\d:\d\d:\d\dКол-во предложенных\(1\) и считанных\(0\) байт не совпадают\.$)"));
        QVERIFY2(H->LogLines().size() == 1 && line.match(H->LogLines().constLast()).hasMatch(),
                 qPrintable(H->LogLines().join('\n')));
    }

    void findByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("index");
        QTest::newRow("empty") << QByteArray() << 0xAA << -1;
        QTest::newRow("absent") << QByteArray::fromHex("0102") << 0xAA << -1;
        QTest::newRow("first of two") << QByteArray::fromHex("01aa02aa") << 0xAA << 1;
        QTest::newRow("zero byte") << QByteArray::fromHex("0100") << 0x00 << 1;
    }
    void findByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, value);
        QFETCH(int, index);
        QCOMPARE(TProduct::FindByte(quint8(value), bytes), index);
    }

    void tearDownLogsInOrderClosesThePortAndResetsTheTitle()
    {
        H->Choose(testModel);
        Product()->ErTimer->SetEnabled(true);
        TTestProduct *product = Product();
        CurrentProduct = nullptr;
        product->Destroy();
        QCOMPARE(H->LogLines(), QStringList({"ErTimer DISABLED! :)"}));
        QVERIFY(!ComPort->Connected());
        QVERIFY(!ComPort->OnRxChar);
        QVERIFY(!product->Port);
        QCOMPARE(H->Title(), QStringLiteral("Thermoryx Diagnostic "));
        delete product;
    }

    // Bytes and ticks that fall due while the handler is torn down never reach it.
    void nothingReachesAHandlerDuringTearDown()
    {
        H->Choose(testModel);
        TTestProduct *product = Product();
        product->Parsed.clear();
        const qint64 at = H->Clock.Now() + 2000;
        H->Clock.CallAt(at, [&] {
            CurrentProduct = nullptr;
            product->Destroy();
        });
        product->ErTimer->SetEnabled(true);    // its tick is due together with the tear-down
        H->Clock.CallAt(at - 4, [&] { Peer.Send("zz"); }); // arrives during the tear-down's pumps
        H->Clock.AdvanceBy(2000);
        QVERIFY(!product->Calls.contains("ErTimerEvent"));
        QVERIFY(product->Parsed.isEmpty());
        QVERIFY(product->RxData.isEmpty());
        delete product;
    }

    void choosingTheSameModelAgainReconnects()
    {
        QStringList titles;
        QObject listening;
        connect(frmMain, &QWidget::windowTitleChanged, &listening, [&](const QString &t) { titles << t; });
        H->Choose(testModel);
        const int first = Product()->Number;
        H->Choose(testModel);
        QVERIFY(Product() && Product()->Number != first);
        QCOMPARE(titles, QStringList({"Thermoryx Diagnostic - Corva - Connecting...", "Thermoryx Diagnostic ",
                                      "Thermoryx Diagnostic - Corva - Connecting..."}));
        QVERIFY(ComPort->Connected());
        QCOMPARE(TTestProduct::Alive, 1);
    }

    void portThatWillNotOpenLeavesNoHandler()
    {
        Line->MissingPorts.insert(ComPort->Port());
        H->Choose(testModel);
        QVERIFY(!CurrentProduct);
        QCOMPARE(TTestProduct::Alive, 0);
        QVERIFY(!ComPort->OnRxChar);
        QCOMPARE(H->Messages(), QStringList({"Unable to open com port (Error: 2)\nttyTEST0: No such device: the adapter "
                                             "is not plugged in, or the port's name is wrong"}));

        Line->MissingPorts.clear();
        H->Choose(testModel);
        QVERIFY(CurrentProduct);
        QVERIFY(ComPort->Connected());
    }

    // A model chosen while a search burst waits takes over once the burst has returned; the burst
    // ends early instead of waiting out its time on a handler that is going away.
    void modelChosenDuringAWaitReplacesTheHandlerAfterwards()
    {
        H->Choose(testModel);
        Product()->SearchWaits = 50;
        const int first = Product()->Number;
        H->Clock.CallAt(H->Clock.Now() + 1500, [&] { H->Choose(testModel); });
        H->Clock.AdvanceBy(1600);
        QVERIFY(!TTestProduct::DeletedWhileBusy);
        QVERIFY(Product() && Product()->Number != first);
        QCOMPARE(TTestProduct::Alive, 1);
        QVERIFY(ComPort->Connected());
    }

    void closingDuringAWaitEndsAfterTheWait()
    {
        H->Choose(testModel);
        Product()->SearchWaits = 50;
        H->Clock.CallAt(H->Clock.Now() + 1500, [&] { frmMain->close(); });
        H->Clock.AdvanceBy(1600);
        QVERIFY(!TTestProduct::DeletedWhileBusy);
        QVERIFY(!CurrentProduct);
        QCOMPARE(TTestProduct::Alive, 0);
        QVERIFY(!ComPort->Connected());
    }

    void operationsAModelLacksAreRefused_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("CalibrateFI") << "CalibrateFI";
        QTest::newRow("SetPumpType") << "SetPumpType";
        QTest::newRow("RunPump") << "RunPump";
        QTest::newRow("ApplySettingsOld") << "ApplySettingsOld";
    }
    void operationsAModelLacksAreRefused()
    {
        QFETCH(QString, operation);
        H->Choose(testModel);
        if (operation == "CalibrateFI")
            CurrentProduct->CalibrateFI();
        else if (operation == "SetPumpType")
            CurrentProduct->SetPumpType(true);
        else if (operation == "RunPump")
            CurrentProduct->RunPump(5);
        else
            CurrentProduct->ApplySettingsOld(0, 0, 0, 1);
        QCOMPARE(H->Messages().size(), 1);
        QVERIFY(H->Messages().constFirst().startsWith("Unable to perform: "));
        QVERIFY(H->Messages().constFirst().contains("Corva"));
    }
};

QTEST_MAIN(TestProductBase)
#include "tst_product_base.moc"
