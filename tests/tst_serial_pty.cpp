// The serial port over a real pseudo-terminal pair with the QSerialPort channel: the program's side
// opens the terminal as its port, the test plays the heater on the master side.
#include "core/Errors.h"
#include "serial/ComErrors.h"
#include "serial/ComPort.h"
#include <QtTest>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {
// One pseudo-terminal: the master end in raw mode for the test, the slave path for the port.
struct TPty {
    int Master = -1;
    QString Path;

    TPty()
    {
        Master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        grantpt(Master);
        unlockpt(Master);
        Path = QString::fromLocal8Bit(ptsname(Master));
    }
    ~TPty() { ::close(Master); }

    void Send(const QByteArray &bytes) const { QCOMPARE(::write(Master, bytes.constData(), bytes.size()), ssize_t(bytes.size())); }

    // What the port wrote, collected until count bytes have come (bounded real-time wait).
    QByteArray Receive(int count, int timeoutMs = 3000) const
    {
        QByteArray got;
        QDeadlineTimer deadline(timeoutMs);
        while (got.size() < count && !deadline.hasExpired()) {
            char buffer[256];
            const ssize_t n = ::read(Master, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, n);
            else
                QTest::qWait(5);
        }
        return got;
    }
};

const QByteArray flowBytes = QByteArray::fromHex("00111300aa1113ff00");
} // namespace

class TestSerialPty : public QObject {
    Q_OBJECT

    std::unique_ptr<TPty> Pty;
    std::unique_ptr<TComPort> Port;

private slots:
    void init()
    {
        Pty = std::make_unique<TPty>();
        Port = std::make_unique<TComPort>();
        Port->SetPort(Pty->Path);
        Port->SetBaudRate(TBaudRate::Br2400);
    }
    void cleanup()
    {
        Port.reset();
        Pty.reset();
    }

    void openAndCloseAreIdempotent()
    {
        QVERIFY(!Port->Connected());
        Port->Close();
        Port->Open();
        Port->Open();
        QVERIFY(Port->Connected());
        Port->Close();
        Port->Close();
        QVERIFY(!Port->Connected());
    }

    void namingWhileClosedOpensNothing()
    {
        TComPort other;
        QCOMPARE(other.Port(), QStringLiteral("COM1"));
        other.SetPort(Pty->Path);
        QVERIFY(!other.Connected());
        other.Open();
        QVERIFY(other.Connected());
    }

    // Zero bytes and the XON/XOFF characters 17 and 19 pass unchanged in both directions.
    void flowControlBytesPassBothWays()
    {
        Port->Open();
        QByteArray received;
        int events = 0;
        Port->OnRxChar = [&](QObject *sender, int count) {
            QCOMPARE(sender, Port.get());
            QVERIFY(count > 0);
            ++events;
            received += Port->Read(count);
        };
        Pty->Send(flowBytes);
        QTRY_COMPARE_WITH_TIMEOUT(received, flowBytes, 3000);
        QVERIFY(events >= 1);

        QCOMPARE(Port->Write(flowBytes), qint64(flowBytes.size()));
        QCOMPARE(Pty->Receive(flowBytes.size()), flowBytes);
    }

    void writeOfNothingReturnsZero()
    {
        Port->Open();
        QCOMPARE(Port->Write(QByteArray()), qint64(0));
        QCOMPARE(Pty->Receive(1, 200), QByteArray());
    }

    void readReturnsAtOnceWithWhatIsThere()
    {
        Port->Open();
        Pty->Send("ab");
        QTRY_VERIFY_WITH_TIMEOUT(Port->Channel()->BytesAvailable() >= 2, 3000);
        QElapsedTimer took;
        took.start();
        QCOMPARE(Port->Read(100), QByteArray("ab"));
        QCOMPARE(Port->Read(100), QByteArray());
        QVERIFY(took.elapsed() < 1000);
    }

    // A new speed on an open port takes effect without closing it, and keeps what has arrived.
    void baudRateChangeWhileOpenKeepsThePortOpen()
    {
        Port->Open();
        Pty->Send("ab");
        QTRY_VERIFY_WITH_TIMEOUT(Port->Channel()->BytesAvailable() >= 2, 3000);
        Port->SetBaudRate(TBaudRate::Br19200);
        QCOMPARE(Port->Read(100), QByteArray("ab"));
        QVERIFY(Port->Connected());
        QCOMPARE(Port->BitsPerSecond(), 19200);
        termios settings{};
        QCOMPARE(tcgetattr(Pty->Master, &settings), 0);
        QCOMPARE(cfgetospeed(&settings), speed_t(B19200));
        QCOMPARE(Port->Write("x"), qint64(1));
        QCOMPARE(Pty->Receive(1), QByteArray("x"));
    }

    void customRateIsUsedForBrCustom()
    {
        Port->SetCustomBaudRate(4800);
        Port->SetBaudRate(TBaudRate::BrCustom);
        QCOMPARE(Port->BitsPerSecond(), 4800);
        Port->Open();
        termios settings{};
        tcgetattr(Pty->Master, &settings);
        QCOMPARE(cfgetospeed(&settings), speed_t(B4800));
    }

    void renamingWhileOpenReopensOnTheNewName()
    {
        TPty second;
        Port->Open();
        Port->SetPort(second.Path);
        QVERIFY(Port->Connected());
        Port->Write("z");
        QCOMPARE(second.Receive(1), QByteArray("z"));
    }

    void missingPortRaisesUnableToOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("device name") << "ttyTHERMORYXNONE";
        QTest::newRow("path") << "/dev/does/not/exist";
    }
    void missingPortRaisesUnableToOpen()
    {
        QFETCH(QString, name);
        Port->SetPort(name);
        try {
            Port->Open();
            QFAIL("opened a port that does not exist");
        } catch (const EComPort &error) {
            QCOMPARE(error.ErrorNumber, EComPort::OpenFailed);
            QVERIFY2(QRegularExpression(R"(^Unable to open com port \(Error: \d+\)$)").match(error.Message).hasMatch(),
                     qPrintable(error.Message));
        }
        QVERIFY(!Port->Connected());
    }

    void closedPortRefusesReadAndWrite()
    {
        QVERIFY_THROWS_EXCEPTION(EComPort, Port->Write("x"));
        try {
            Port->Read(1);
            QFAIL("read on a closed port");
        } catch (const EComPort &error) {
            QCOMPARE(error.Message, QStringLiteral("Port Not Open"));
            QCOMPARE(error.ErrorNumber, EComPort::NotOpen);
        }
    }

    // Once Close has returned no receive event comes, even for bytes already on their way.
    void noReceiveEventAfterClose()
    {
        Port->Open();
        int events = 0;
        Port->OnRxChar = [&](QObject *, int) { ++events; };
        Pty->Send("late");
        Port->Close();
        QTest::qWait(200);
        QCOMPARE(events, 0);
    }

    // Leftovers in the driver from before the open are not handed over as if the heater sent them.
    void staleBytesAreDiscardedOnOpen()
    {
        Port->Open();
        Port->Close();
        Pty->Send("stale");
        QTest::qWait(50);
        Port->Open();
        QByteArray received;
        Port->OnRxChar = [&](QObject *, int count) { received += Port->Read(count); };
        Pty->Send("new");
        QTRY_VERIFY_WITH_TIMEOUT(received.endsWith("new"), 3000);
        QCOMPARE(received, QByteArray("new"));
    }

    // An unplugged adapter: one log line, the port closes itself from the event loop, no flood.
    void lostDeviceIsReportedOnceAndClosed()
    {
        Port->Open();
        QStringList lines;
        Port->OnLog = [&](const QString &line) { lines << line; };
        Port->OnRxChar = [&](QObject *, int count) { Port->Read(count); };
        Pty.reset(); // the master end goes away: reads on the port now fail
        QTRY_VERIFY_WITH_TIMEOUT(!Port->Connected(), 3000);
        QTest::qWait(100);
        QCOMPARE(lines.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSerialPty)
#include "tst_serial_pty.moc"
