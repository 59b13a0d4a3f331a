// The main window's side of the connection, offscreen on the virtual clock: the product items' marks
// follow the handler really in force, another adapter is taken without a restart, and a port that
// will not open says which port and why, in the message box and in the log.
#include "app/Globals.h"
#include "app/Models.h"
#include "app/fMain.h"
#include "product/Product.h"
#include "serial/ByteChannel.h"
#include "serial/MemoryChannel.h"
#include "serial/ComErrors.h"
#include "serial/ComPort.h"
#include "sim/current/CurrentHeaterSim.h"
#include "sim/current/CurrentVariants.h"
#include "support/Harness.h"
#include <QAction>
#include <QtTest>
#include <cerrno>
#include <memory>

namespace {

// Two adapters, each on its own in-memory line to its own heater; the port's name picks the line.
class TTwoAdapters : public TByteChannel {
public:
    TTwoAdapters(TLinePeer *first, TLinePeer *second) : First(first), Second(second) {}

    void Open(const QString &portName, qint32 baudRate) override
    {
        if (portName != QLatin1String("ttyUSB0") && portName != QLatin1String("ttyUSB1"))
            throw EComPort(EComPort::OpenFailed, ENOENT);
        Active = portName == QLatin1String("ttyUSB0") ? &First : &Second;
        Active->OnBytesArrived = OnBytesArrived;
        Active->OnDeviceLost = OnDeviceLost;
        Active->Open(portName, baudRate);
    }
    void Close() override
    {
        if (Active)
            Active->Close();
        Active = nullptr;
    }
    void SetBaudRate(qint32 baudRate) override
    {
        First.SetBaudRate(baudRate);
        Second.SetBaudRate(baudRate);
    }
    qint64 Write(const QByteArray &bytes, int timeoutMs) override { return Active->Write(bytes, timeoutMs); }
    QByteArray Read(qint64 maxCount) override { return Active->Read(maxCount); }
    qint64 BytesAvailable() const override { return Active ? Active->BytesAvailable() : 0; }

    TMemoryChannel First;
    TMemoryChannel Second;

private:
    TMemoryChannel *Active = nullptr;
};

std::unique_ptr<TCurrentHeaterSim> Heater(quint32 serial)
{
    auto heater = std::make_unique<TCurrentHeaterSim>(*FindCurrentVariant(QStringLiteral("Hydrel-7S")));
    heater->SetIdentity(41, serial, QByteArray("\x01\x02\x00\x03\x11", 5));
    return heater;
}

QStringList Marked()
{
    QStringList marked;
    for (const TModel &model : Models())
        if (frmMain->findChild<QAction *>(model.MenuItem)->isChecked())
            marked << model.MenuItem;
    return marked;
}

} // namespace

class TestConnectionMenu : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;

private slots:
    void init() { H = std::make_unique<THarness>(); }
    void cleanup() { H.reset(); }

    // A choice that made no handler leaves the marks as they were before it, or none when the handler
    // that was in force is gone too.
    void marksFollowTheHandlerInForce_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("portFails");
        QTest::addColumn<QStringList>("marked");
        QTest::addColumn<bool>("handlerLeft");
        QTest::newRow("not supported, radio item before") << "Zephal-1" << "Corva-mini" << false << QStringList{"N21"} << true;
        QTest::newRow("not supported, Hydrel item before") << "Hydrel-7" << "Hydrel-7S" << false << QStringList{"Hydrel71"} << true;
        QTest::newRow("not supported, nothing before") << QString() << "Zephal-1" << false << QStringList{} << false;
        QTest::newRow("port fails, radio item before") << "Zephal-1" << "Zephal-33 [new rev.]" << true << QStringList{} << false;
        QTest::newRow("port fails, Hydrel item before") << "Hydrel-7" << "Hydrel-7S" << true << QStringList{} << false;
        QTest::newRow("port fails for the same item") << "Zephal-1" << "Zephal-1" << true << QStringList{} << false;
    }
    void marksFollowTheHandlerInForce()
    {
        QFETCH(QString, first);
        QFETCH(QString, failing);
        QFETCH(bool, portFails);
        QFETCH(QStringList, marked);
        QFETCH(bool, handlerLeft);
        TMemoryChannel *line = H->Connect(nullptr);
        if (!first.isEmpty()) {
            H->Choose(first);
            QVERIFY(CurrentProduct);
        }
        THandlerStandIn missing(failing, portFails ? FindModel(failing)->CreateHandler : std::function<TProduct *()>());
        if (portFails)
            line->MissingPorts.insert(ComPort->Port());
        H->Choose(failing);
        QCOMPARE(Marked(), marked);
        QCOMPARE(CurrentProduct != nullptr, handlerLeft);
        QCOMPARE(H->Messages().size(), 1);

        // A later choice that works is marked as ever.
        line->MissingPorts.clear();
        H->Choose(QStringLiteral("Zephal-33 [new rev.]"));
        QVERIFY(Marked().contains(QStringLiteral("N4")));
        QVERIFY(!Marked().contains(QStringLiteral("N21")));
    }

    // The message box keeps its first line and names the port and the cause under it; the log has
    // the same, so a port given at start that will not open leaves its trace there too.
    void portThatWillNotOpenIsExplained()
    {
        TMemoryChannel *line = H->Connect(nullptr);
        line->MissingPorts.insert(ComPort->Port());
        H->Choose(QStringLiteral("Hydrel-7S"));
        const QString cause = QStringLiteral("No such device: the adapter is not plugged in, or the port's name is wrong");
        QCOMPARE(H->Messages(), QStringList{QStringLiteral("Unable to open com port (Error: 2)\nttyTEST0: ") + cause});
        QVERIFY(H->LogContains(QStringLiteral(" Serial port ttyTEST0: Unable to open com port (Error: 2); ") + cause));
    }

    // Another adapter chosen while a heater is followed: the handler of the same model searches
    // afresh on the new port and finds the heater there.
    void anotherAdapterWithoutRestart()
    {
        auto first = Heater(1111111);
        auto second = Heater(2222222);
        auto adapters = std::make_unique<TTwoAdapters>(first.get(), second.get());
        TTwoAdapters *lines = adapters.get();
        ComPort->SetChannel(std::move(adapters));
        ComPort->SetPort(QStringLiteral("ttyUSB0"));
        H->Choose(QStringLiteral("Hydrel-7S"));
        QVERIFY(H->Clock.AdvanceUntil([] { return CurrentProduct && CurrentProduct->Identified; }, 10000));
        QCOMPARE(CurrentProduct->SerialNumberText, QStringLiteral("411111111"));
        const int writtenToFirst = int(lines->First.Written.size());

        frmMain->ChangePort(QStringLiteral("ttyUSB1"));
        QCOMPARE(ComPort->Port(), QStringLiteral("ttyUSB1"));
        QVERIFY(CurrentProduct && !CurrentProduct->Identified);
        QVERIFY(H->Clock.AdvanceUntil([] { return CurrentProduct->Identified; }, 10000));
        QCOMPARE(CurrentProduct->SerialNumberText, QStringLiteral("412222222"));
        QCOMPARE(CurrentProduct->ModelName(), QStringLiteral("Hydrel-7S"));
        QCOMPARE(Marked(), QStringList{"Hydrel7S1"});
        QCOMPARE(lines->First.Written.size(), writtenToFirst);
        QVERIFY(H->Messages().isEmpty());

        // Without a handler the new name is only kept; nothing opens.
        CurrentProduct->Destroy();
        delete std::exchange(CurrentProduct, nullptr);
        frmMain->ChangePort(QStringLiteral("ttyUSB0"));
        QCOMPARE(ComPort->Port(), QStringLiteral("ttyUSB0"));
        QVERIFY(!ComPort->Connected());
        ComPort->SetChannel(std::make_unique<TMemoryChannel>());
    }
};

QTEST_MAIN(TestConnectionMenu)
#include "tst_connection_menu.moc"
