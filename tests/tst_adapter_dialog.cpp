// The adapter dialog: which inventory captions name an adapter port, the entry cut from them, the
// number an entry gives, and the dialog's OK and Exit.
#include "app/PortCaption.h"
#include "app/dlgPortSelect.h"
#include "core/Dialogs.h"
#include <QComboBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

class TestAdapterDialog : public QObject {
    Q_OBJECT

    QStringList Shown;

private slots:
    // "OK" keeps the port for the next run; the tests keep it in the test location.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        Shown.clear();
        SetDialogHook([this](TDialogKind, const QString &text) {
            Shown << text;
            return TDialogResult::Ok;
        });
    }
    void cleanup() { SetDialogHook(nullptr); }

    void captionToEntry_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<QString>("entry");
        QTest::newRow("adapter") << "USB Serial Port (COM3)" << true << "COM3";
        QTest::newRow("two digits") << "USB Serial Port (COM12)" << true << "COM12";
        QTest::newRow("other phrase") << "Prolific USB-to-Serial Comm Port (COM5)" << true << "COM5";
        QTest::newRow("no COM") << "USB Serial Port" << false << "";
        QTest::newRow("COM without adapter phrase") << "Communications Port (COM1)" << false << "";
        QTest::newRow("lower case phrase") << "usb serial port (COM7)" << false << "";
        QTest::newRow("no parentheses") << "USB Serial Port COM9" << true << "";
        QTest::newRow("empty parentheses") << "USB Serial Port () COM9" << true << "";
        QTest::newRow("NULL caption") << "NULL" << false << "";
    }
    void captionToEntry()
    {
        QFETCH(QString, caption);
        QFETCH(bool, listed);
        QFETCH(QString, entry);
        const auto got = PortEntryFromCaption(caption);
        QCOMPARE(got.has_value(), listed);
        if (listed)
            QCOMPARE(*got, entry);
    }

    void entryToNumber_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("number"); // -1: none
        QTest::newRow("COM4") << "COM4" << 4;
        QTest::newRow("COM12") << "COM12" << 12;
        QTest::newRow("no digits") << "COM" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("text after") << "COM4x" << -1;
    }
    void entryToNumber()
    {
        QFETCH(QString, entry);
        QFETCH(int, number);
        const auto got = PortNumberFromEntry(entry);
        QCOMPARE(got.has_value() ? *got : -1, number);
    }

    void listKeepsInventoryOrderAndDuplicates()
    {
        TfrmPortSelect dialog;
        dialog.FillFrom({"ttyUSB1", "ttyUSB0", "ttyUSB1"});
        QCOMPARE(dialog.cbPort->count(), 3);
        QCOMPARE(dialog.cbPort->itemText(0), QStringLiteral("ttyUSB1"));
        QCOMPARE(dialog.cbPort->itemText(2), QStringLiteral("ttyUSB1"));
        QCOMPARE(dialog.cbPort->currentIndex(), 0);
        QVERIFY(dialog.btnOk->isEnabled());
    }

    void noAdapterDisablesOk()
    {
        TfrmPortSelect dialog;
        dialog.FillFrom({});
        QVERIFY(!dialog.btnOk->isEnabled());
        QVERIFY(dialog.btnExit->isEnabled());
    }

    void okTakesTheChosenPort()
    {
        TfrmPortSelect dialog;
        dialog.FillFrom({"ttyUSB0", "ttyACM3"});
        dialog.cbPort->setCurrentIndex(1);
        dialog.btnOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ChosenPort(), QStringLiteral("ttyACM3"));
        QVERIFY(Shown.isEmpty());
    }

    // An entry edited away to nothing is refused with a message and the dialog stays.
    void okWithoutAnEntryStaysOpen()
    {
        TfrmPortSelect dialog;
        dialog.show(); // showing lists the machine's adapters; the test's list replaces them
        dialog.FillFrom({"ttyUSB0"});
        dialog.cbPort->setCurrentIndex(-1);
        dialog.cbPort->setEditText(QString());
        dialog.btnOk->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(Shown.size(), 1);
        QVERIFY(dialog.ChosenPort().isEmpty());
    }

    void exitAndCloseBoxReject()
    {
        TfrmPortSelect dialog;
        dialog.show();
        dialog.btnExit->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        dialog.show();
        dialog.close();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.ChosenPort().isEmpty());
    }
};

QTEST_MAIN(TestAdapterDialog)
#include "tst_adapter_dialog.moc"
