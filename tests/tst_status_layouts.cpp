// The tests' own status layouts: a status answer built with each model's row holds every value at the
// offsets and widths written here by hand, and nothing anywhere else.
#include "support/CurrentPeer.h"
#include <QtTest>

using namespace CurrentTest;

class TestStatusLayouts : public QObject {
    Q_OBJECT

private slots:
    void valuesSitWhereTheModelSendsThem_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("fuelPump");
        QTest::addColumn<int>("payloadLength");
        QTest::addColumn<QString>("bytes"); // frame offset = byte, hexadecimal; every other payload byte is 0
        QTest::newRow("Hydrel-7S") << "Hydrel-7S" << 0x7D << 40
                                   << "5=03 6=08 7=00 8=0A 9=0B 10=00 11=0C 12=0D 13=00 14=00 15=0E 16=28 17=29 18=37 "
                                      "21=7D 22=01 23=2C 24=3C 26=3E 27=00 28=7E 30=14 41=1B";
        QTest::newRow("Zephal-33D") << "Zephal-33D" << 0xC2F7 << 52
                                    << "5=03 6=08 7=00 8=0A 9=0B 10=00 11=0C 12=0D 13=00 14=00 15=0E 16=28 17=29 "
                                       "18=C2 19=F7 24=37 27=01 28=2C 30=14 31=3E 32=00 33=7E 56=1B";
        QTest::newRow("Zephal-1") << "Zephal-1" << 0xC2F7 << 52
                                  << "5=03 6=08 7=00 8=0A 9=0B 10=00 11=0C 12=0D 13=00 14=00 15=0E 16=28 17=29 "
                                     "18=C2 19=F7 24=37 27=01 28=2C 30=14 31=3E 32=00 33=7E 54=1B";
        QTest::newRow("Corva-Mini") << "Corva-Mini" << 0xC2F7 << 50
                                    << "5=03 6=08 7=0A 8=0B 9=0C 10=0D 11=0E 12=28 13=29 14=C2 15=F7 20=37 21=01 22=02 "
                                       "23=01 24=2C 27=3C 28=3D 29=3E 30=00 31=7E 54=1B";
    }

    void valuesSitWhereTheModelSendsThem()
    {
        QFETCH(QString, model);
        QFETCH(int, fuelPump);
        QFETCH(int, payloadLength);
        QFETCH(QString, bytes);
        const TStatusLayout *layout = nullptr;
        for (const TStatusLayout *row : StatusLayouts)
            if (model == QLatin1String(row->Model))
                layout = row;
        QVERIFY(layout);

        TStatus status;
        status.Stage = 3;
        status.Mode = 8;
        status.WorkTime = 0x0A0B;
        status.StageTime = 0x0C0D;
        status.ModeTime = 0x0E;
        status.BlowerSet = 0x28;
        status.BlowerActual = 0x29;
        status.PlugPwm = 0x37;
        status.FuelPump = quint16(fuelPump);
        status.FlameKelvin = 0x012C;
        status.Liquid = 0x3C;
        status.Overheat = 0x3D;
        status.Plate = 0x3E;
        status.VoltageTenths = 0x007E;
        status.External = 0x14;
        status.Pump = 0x01;
        status.Relay = 0x02;
        status.Fault = 0x1B;
        const QByteArray frame = status.Frame(*layout);

        QCOMPARE(frame.size(), payloadLength + 7);
        QCOMPARE(quint8(frame[0]), quint8(0xAA));
        QCOMPARE(int(quint8(frame[2])), payloadLength);
        QCOMPARE(int(frame[4]), 1);
        QByteArray expected = frame.left(5) + QByteArray(payloadLength, '\0') + frame.right(2);
        for (const QString &pair : bytes.split(QLatin1Char(' '))) {
            const QStringList parts = pair.split(QLatin1Char('='));
            expected[parts[0].toInt()] = char(parts[1].toInt(nullptr, 16));
        }
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
        QCOMPARE(PayloadValue(frame.mid(5), layout->Fault), qint64(0x1B));
        QCOMPARE(PayloadValue(frame.mid(5), layout->FuelPump), qint64(fuelPump));
    }
};

QTEST_MAIN(TestStatusLayouts)
#include "tst_status_layouts.moc"
