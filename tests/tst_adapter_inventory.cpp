// The adapter dialog over a stand-in inventory: each adapter's description, maker and serial number
// beside its port, adapters that come and go while the dialog is open, and the adapter chosen last
// offered first next time.
#include "app/dlgPortSelect.h"
#include "core/Dialogs.h"
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

namespace {
const TAdapterInfo Ftdi{QStringLiteral("ttyUSB0"), QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
                        QStringLiteral("A10K1XQ")};
const TAdapterInfo Prolific{QStringLiteral("ttyUSB1"), QStringLiteral("USB-Serial Controller"),
                            QStringLiteral("Prolific Technology Inc."), QString()};
const TAdapterInfo Bare{QStringLiteral("ttyACM0"), QString(), QString(), QString()};
} // namespace

Q_DECLARE_METATYPE(QList<TAdapterInfo>)

class TestAdapterInventory : public QObject {
    Q_OBJECT

    QList<TAdapterInfo> Plugged;
    std::function<QList<TAdapterInfo>()> SavedInventory;

    static QStringList Listed(const TfrmPortSelect &dialog)
    {
        QStringList ports;
        for (int i = 0; i < dialog.cbPort->count(); ++i)
            ports << dialog.cbPort->itemText(i);
        return ports;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Thermoryx"),
                  QStringLiteral("Thermoryx Diagnostic"))
            .clear();
        SetDialogHook([](TDialogKind, const QString &) { return TDialogResult::Ok; });
        Plugged = {Ftdi, Prolific};
        SavedInventory = std::exchange(TfrmPortSelect::Inventory(), [this] { return Plugged; });
    }
    void cleanup()
    {
        TfrmPortSelect::Inventory() = SavedInventory;
        SetDialogHook(nullptr);
    }

    void detailsBesideThePort_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("details");
        QTest::newRow("all known") << 0 << "FT232R USB UART, FTDI, S/N A10K1XQ";
        QTest::newRow("no serial number") << 1 << "USB-Serial Controller, Prolific Technology Inc.";
        QTest::newRow("nothing known") << 2 << "";
    }
    void detailsBesideThePort()
    {
        QFETCH(int, index);
        QFETCH(QString, details);
        Plugged = {Ftdi, Prolific, Bare};
        TfrmPortSelect dialog;
        dialog.show();
        QCOMPARE(Listed(dialog), QStringList({"ttyUSB0", "ttyUSB1", "ttyACM0"}));
        dialog.cbPort->setCurrentIndex(index);
        QCOMPARE(dialog.lblAdapter->text(), details);
        QVERIFY(dialog.lblAdapter->isVisible());
        QCOMPARE(dialog.lblAdapter->geometry().intersected(dialog.cbPort->geometry()), QRect());
    }

    // Plugged in and pulled out while the dialog is open: the list follows, the pick stays.
    void listFollowsTheInventoryWhileOpen()
    {
        Plugged = {Ftdi};
        TfrmPortSelect dialog;
        dialog.show();
        QVERIFY(dialog.RefreshTimer->isActive());
        QCOMPARE(Listed(dialog), QStringList({"ttyUSB0"}));

        Plugged = {Ftdi, Prolific};
        QTRY_COMPARE(Listed(dialog), QStringList({"ttyUSB0", "ttyUSB1"}));
        dialog.cbPort->setCurrentIndex(1);

        Plugged = {Bare, Prolific};
        dialog.Refresh();
        QCOMPARE(Listed(dialog), QStringList({"ttyACM0", "ttyUSB1"}));
        QCOMPARE(dialog.cbPort->currentText(), QStringLiteral("ttyUSB1"));
        QCOMPARE(dialog.lblAdapter->text(), QStringLiteral("USB-Serial Controller, Prolific Technology Inc."));

        Plugged = {};
        dialog.Refresh();
        QVERIFY(Listed(dialog).isEmpty());
        QVERIFY(!dialog.btnOk->isEnabled());
        QCOMPARE(dialog.lblAdapter->text(), QString());

        dialog.hide();
        QVERIFY(!dialog.RefreshTimer->isActive());
    }

    void adapterChosenLastIsOfferedFirst_data()
    {
        QTest::addColumn<QList<TAdapterInfo>>("later");
        QTest::addColumn<QString>("offered");
        QTest::newRow("still there") << QList<TAdapterInfo>{Ftdi, Bare, Prolific} << "ttyUSB1";
        QTest::newRow("gone") << QList<TAdapterInfo>{Ftdi, Bare} << "ttyUSB0";
    }
    void adapterChosenLastIsOfferedFirst()
    {
        QFETCH(QList<TAdapterInfo>, later);
        QFETCH(QString, offered);
        {
            TfrmPortSelect dialog;
            dialog.show();
            QCOMPARE(dialog.cbPort->currentText(), QStringLiteral("ttyUSB0"));
            dialog.cbPort->setCurrentIndex(1);
            dialog.btnOk->click();
            QCOMPARE(dialog.ChosenPort(), QStringLiteral("ttyUSB1"));
        }
        QCOMPARE(TfrmPortSelect::LastPort(), QStringLiteral("ttyUSB1"));
        Plugged = later;
        TfrmPortSelect dialog;
        dialog.show();
        QCOMPARE(dialog.cbPort->currentText(), offered);
    }
};

QTEST_MAIN(TestAdapterInventory)
#include "tst_adapter_inventory.moc"
