// Ports that will not open, on the real serial channel: the error keeps its message and number, and
// its cause is told in words with the fix where one is known.
#include "serial/ComErrors.h"
#include "serial/ComPort.h"
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

class TestConnectionPortErrors : public QObject {
    Q_OBJECT

    QTemporaryDir Folder;

    // Opens the name on a fresh port; the error it raised, or none.
    static std::optional<EComPort> OpenError(const QString &name)
    {
        TComPort port;
        port.SetPort(name);
        try {
            port.Open();
        } catch (const EComPort &error) {
            if (port.Connected())
                qWarning("the port is open after its error");
            return error;
        }
        return std::nullopt;
    }

private slots:
    void causesInWords_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("detail");
        QTest::newRow("missing") << int(ENOENT) << "ttyUSB0: No such device: the adapter is not plugged in, or the port's name is wrong";
        QTest::newRow("no permission") << int(EACCES) << "ttyUSB0: Permission denied: add your user to the dialout group";
        QTest::newRow("busy") << int(EBUSY) << "ttyUSB0: Device or resource busy: another program uses the port";
        QTest::newRow("directory") << int(EISDIR) << "ttyUSB0: Is a directory: not a serial port";
        QTest::newRow("no terminal") << int(ENOTTY) << "ttyUSB0: Not a terminal: not a serial port";
        QTest::newRow("input/output") << int(EIO) << "ttyUSB0: Input/output error: plug the adapter in again";
        QTest::newRow("no system code") << 0 << "";
    }
    void causesInWords()
    {
        QFETCH(int, code);
        QFETCH(QString, detail);
        const EComPort error = code ? EComPort(EComPort::OpenFailed, code) : EComPort(EComPort::NotOpen);
        QCOMPARE(PortErrorDetail(error, QStringLiteral("ttyUSB0")), detail);
    }

    void realPortsThatWillNotOpen_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::newRow("missing path") << "missing" << int(ENOENT);
        QTest::newRow("directory") << "directory" << int(EISDIR);
        QTest::newRow("regular file") << "file" << int(ENOTTY);
        QTest::newRow("/dev/null") << "null" << int(ENOTTY);
        QTest::newRow("unreadable file") << "unreadable" << int(EACCES);
        QTest::newRow("pseudo-terminal held by another port") << "busy" << int(EBUSY);
    }
    void realPortsThatWillNotOpen()
    {
        QFETCH(QString, kind);
        QFETCH(int, code);
        QVERIFY(Folder.isValid());
        QString name;
        TComPort holder;
        int master = -1;
        if (kind == QLatin1String("missing")) {
            name = Folder.filePath(QStringLiteral("ttyNOTHERE"));
        } else if (kind == QLatin1String("directory")) {
            name = Folder.path();
        } else if (kind == QLatin1String("file") || kind == QLatin1String("unreadable")) {
            name = Folder.filePath(kind);
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            if (kind == QLatin1String("unreadable")) {
                if (::geteuid() == 0)
                    QSKIP("the superuser reads every file");
                QVERIFY(file.setPermissions(QFileDevice::Permissions()));
            }
        } else if (kind == QLatin1String("null")) {
            name = QStringLiteral("/dev/null");
        } else {
            master = ::posix_openpt(O_RDWR | O_NOCTTY);
            QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
            name = QString::fromLocal8Bit(::ptsname(master));
            holder.SetPort(name);
            holder.Open();
        }
        const std::optional<EComPort> error = OpenError(name);
        if (master >= 0) {
            holder.Close();
            ::close(master);
        }
        QVERIFY(error);
        QCOMPARE(error->ErrorNumber, EComPort::OpenFailed);
        QCOMPARE(error->SystemCode, code);
        QCOMPARE(error->Message, QStringLiteral("Unable to open com port (Error: %1)").arg(code));
        QVERIFY(PortErrorDetail(*error, name).startsWith(name + QStringLiteral(": ")));
    }
};

QTEST_MAIN(TestConnectionPortErrors)
#include "tst_connection_port_errors.moc"
