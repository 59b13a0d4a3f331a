// thermoryx-heater-sim as a process: for each model caption it serves a heater on a pseudo-terminal
// that this test opens as the program would, wakes when the model needs it, and asks for the
// firmware version. Real time, bounded to a few seconds per model.
#include "support/Bytes.h"
#include "support/CurrentPeer.h"
#include <QDeadlineTimer>
#include <QProcess>
#include <QtTest>
#include "support/Processes.h"
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace ProcessTest;

namespace {
// The program's end of the pseudo-terminal, raw.
struct TPort {
    int Fd = -1;

    explicit TPort(const QString &path) : Fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        if (Fd < 0)
            return;
        termios raw{};
        tcgetattr(Fd, &raw);
        cfmakeraw(&raw);
        tcsetattr(Fd, TCSANOW, &raw);
    }
    ~TPort()
    {
        if (Fd >= 0)
            ::close(Fd);
    }

    bool Write(const QByteArray &bytes) const { return ::write(Fd, bytes.constData(), size_t(bytes.size())) == bytes.size(); }

    // What comes back until count bytes have come or the time is up.
    QByteArray Receive(int count, int timeoutMs = 3000) const
    {
        QByteArray got;
        QDeadlineTimer deadline(timeoutMs);
        while (got.size() < count && !deadline.hasExpired()) {
            char buffer[256];
            const ssize_t n = ::read(Fd, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, n);
            else
                QTest::qWait(10);
        }
        return got;
    }
};

// Starts the simulator with the arguments; returns the pseudo-terminal it serves, or why it does not.
QString StartHeater(QProcess &heater, const QStringList &arguments)
{
    heater.start(Binary("thermoryx-heater-sim"), arguments);
    if (!heater.waitForStarted(5000))
        return heater.errorString();
    const QString pty = PtyPath(heater);
    return pty.startsWith(QLatin1String("/dev/")) ? pty : pty + QString::fromLocal8Bit(heater.readAllStandardError());
}
} // namespace

class TestHeaterSimTool : public QObject {
    Q_OBJECT

private slots:
    void servesTheModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QByteArray>("wakeUp");
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("Corva-mini") << "Corva-mini" << Bytes({0x96, 0x96, 0x97, 0x97}) << Bytes({0x00, 0x03, 0x81, 0x02});
        QTest::newRow("any letter case") << "corva-MINI" << Bytes({0x96, 0x96, 0x97, 0x97}) << Bytes({0x00, 0x03, 0x81, 0x02});
        QTest::newRow("Zephal-1") << "Zephal-1" << QByteArray() << Bytes({0x00, 0x07, 0x02, 0x0B});
        QTest::newRow("Zephal-33 [new rev.]") << "Zephal-33 [new rev.]" << QByteArray() << Bytes({0x00, 0x12, 0x83, 0x05});
    }

    void servesTheModel()
    {
        QFETCH(QString, model);
        QFETCH(QByteArray, wakeUp);
        QFETCH(QByteArray, version);
        QProcess heater;
        auto end = qScopeGuard([&] { End(heater); });
        const QString pty = StartHeater(heater, {"--model", model});
        QVERIFY2(pty.startsWith(QLatin1String("/dev/")), qPrintable(pty));
        TPort port(pty);
        QVERIFY(port.Fd >= 0);
        const QByteArray request = CurrentTest::Frame(6);
        if (!wakeUp.isEmpty()) {
            QVERIFY(port.Write(request));
            QVERIFY(port.Receive(1, 1000).isEmpty()); // asleep
            QVERIFY(port.Write(wakeUp));
        }
        QVERIFY(port.Write(request));
        const QByteArray answer = port.Receive(version.size() + 7);
        QCOMPARE(answer.size(), version.size() + 7);
        QCOMPARE(quint8(answer[0]), quint8(0xAA));
        QCOMPARE(quint8(answer[4]), quint8(6));
        QCOMPARE(answer.mid(5, version.size()), version);

        end.dismiss();
        heater.terminate();
        QVERIFY(heater.waitForFinished(5000));
        QCOMPARE(heater.exitStatus(), QProcess::NormalExit);
        QCOMPARE(heater.exitCode(), 0);
    }

    // --fault starts the heater in any of its failure modes, the heater-side ones included: under
    // retry-only the first version request goes unanswered and the same request sent again is answered.
    void startsInAFailureMode()
    {
        QProcess heater;
        auto end = qScopeGuard([&] { End(heater); });
        const QString pty = StartHeater(heater, {"--model", "Zephal-1", "--fault", "retry-only"});
        QVERIFY2(pty.startsWith(QLatin1String("/dev/")), qPrintable(pty));
        TPort port(pty);
        QVERIFY(port.Fd >= 0);
        const QByteArray request = CurrentTest::Frame(6);
        QVERIFY(port.Write(request));
        QVERIFY(port.Receive(1, 1000).isEmpty());
        QVERIFY(port.Write(request));
        const QByteArray answer = port.Receive(11);
        QCOMPARE(answer.size(), 11);
        QCOMPARE(quint8(answer[4]), quint8(6));
    }

    void refusesAnUnknownFailureMode()
    {
        QProcess heater;
        heater.start(Binary("thermoryx-heater-sim"), {"--model", "Hydrel-7", "--fault", "reboot"});
        auto end = qScopeGuard([&] { End(heater); });
        QVERIFY(heater.waitForFinished(5000));
        QCOMPARE(heater.exitCode(), 2);
        const QString error = QString::fromLocal8Bit(heater.readAllStandardError());
        QVERIFY2(error.contains(QLatin1String("unknown failure mode reboot")), qPrintable(error));
        for (const char *mode : {"silence", "retry-only", "restart", "unconfirmed-once"})
            QVERIFY2(error.contains(QLatin1String(mode)), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestHeaterSimTool)
#include "tst_heater_sim_tool.moc"
