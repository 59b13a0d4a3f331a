// A current-family model is its descriptor plus its status offsets and texts. A test model with the
// air heaters' link details (9600 baud, a one-byte serial prefix, a four-number version, a creation
// title of its own) and their command rules checks that the family applies each descriptor entry.
#include "support/CurrentPeer.h"
#include "support/RunLogHeaders.h"
#include "app/Models.h"
#include "core/Errors.h"
#include "views/StringGrid.h"
#include "views/fControl.h"
#include "views/fGraph.h"
#include "views/fViewData.h"
#include <QLabel>
#include <QtTest>

using namespace CurrentTest;

namespace {

const QString Slot = QStringLiteral("Zephal-33 [new rev.]");

const TCurrentModel AirLike = [] {
    TCurrentModel model;
    model.BaudRate = TBaudRate::Br9600;
    model.TitleName = QStringLiteral("Seam-1");
    model.CreationTitle = QStringLiteral("Thermoryx Diagnostic - Seam-1 - Connecting");
    model.RefusalName = QStringLiteral("Seam");
    model.Serial = TSerialLayout::OneByteHigh;
    model.Version = TVersionLayout::FourNumbers;
    model.PanelSections = {TPanelSection::SettingsZ1, TPanelSection::FuelPumping};
    model.HiddenLegendEntries = {TLegendEntry::Overheat};
    model.LegendCaptions = {{TLegendCaption::Liquid, QStringLiteral("T air(ext. sensor) (°C)")}};
    model.GridCaptions = {QStringLiteral("Workmode"), QStringLiteral("T air(ext. sensor)")};
    model.EdrRefusal = QStringLiteral("Can't read EDR: Seam launched");
    model.EdrErrorPrefix = QStringLiteral("Ошибка чтения ЧЯ: ");
    model.ApplySettingsNeedsLaunch = false;
    model.RecordsBlowerFromRest = false;
    return model;
}();

// Stage and mode only; the report fails on request, as a damaged image would make it.
class TSeamModel : public TCurrentProduct {
public:
    TSeamModel() : TCurrentProduct(AirLike) {}
    QString ClassName() const override { return QStringLiteral("TSeamModel"); }
    QString ModelName() const override { return QStringLiteral("Seam-1"); }
    void UpdateStateText() override {}
    QString RunLogHeader() const override { return RunLogHeaders::English; }
    QString PumpFuelRunLogHeader() const override { return RunLogHeaders::English; }
    QString RunLogRow() const override { return {}; }
    bool ReportFails = false;

protected:
    void DecodeStatusFields(const QByteArray &) override {}
    QString FaultName(quint8) const override { return {}; }
    void FillStringGrid() override {}
    void AddChartPoints(TPresentation &, double) override {}
    bool BlowerAllowedWhileLaunched() const override { return false; }
    QStringList EdrReport() const override
    {
        if (ReportFails)
            throw Exception(QStringLiteral("image damaged"));
        return {QStringLiteral("report")};
    }
};

} // namespace

class TestCurrentModelSeam : public QObject {
    Q_OBJECT

    std::unique_ptr<THandlerStandIn> StandIn;
    std::unique_ptr<THarness> H;
    TScriptedHeater Heater;
    TMemoryChannel *Line = nullptr;

    TSeamModel *Product() { return static_cast<TSeamModel *>(CurrentProduct); }
    void Feed(const QByteArray &bytes)
    {
        Product()->RxData += bytes;
        Product()->ParseData();
    }
    QByteArray TakeWritten()
    {
        const QByteArray written = Line->Written;
        Line->Written.clear();
        return written;
    }

private slots:
    void init()
    {
        H = std::make_unique<THarness>();
        Heater = {};
        Line = H->Connect(&Heater);
        StandIn = std::make_unique<THandlerStandIn>(Slot, [] { return new TSeamModel; });
        H->Choose(Slot);
        QVERIFY(Product());
        TakeWritten();
    }
    void cleanup()
    {
        // A run still being recorded is saved as the handler goes, under an empty serial number.
        H.reset();
        StandIn.reset();
        const QString folder = RunLogFolder();
        for (const QString &name : QDir(folder).entryList(QDir::Files))
            if (name.startsWith(QStringLiteral("[unidentified] ")))
                QFile::remove(folder + name);
    }

    void creationAppliesTheDescriptor()
    {
        QCOMPARE(Line->LineBaudRate(), 9600);
        QCOMPARE(H->Title(), QStringLiteral("Thermoryx Diagnostic - Seam-1 - Connecting"));
        QVERIFY(frmControl->pnlSetParamZ1->isVisibleTo(frmControl));
        QVERIFY(frmControl->pnlTN->isVisibleTo(frmControl));
        QVERIFY(!frmControl->pnlPump->isVisibleTo(frmControl));
        QVERIFY(!frmGraph->lbl8->isVisibleTo(frmGraph));
        QCOMPARE(frmGraph->lbl7->text(), QStringLiteral("T air(ext. sensor) (°C)"));
        QCOMPARE(frmViewData->strngrd->RowCount(), 2);
        QCOMPARE(frmViewData->strngrd->Cells(0, 1), QStringLiteral("T air(ext. sensor)"));
    }

    void identityAnswersFollowTheLayouts()
    {
        Feed(Frame(4, QByteArray::fromHex("12 000102")));
        QCOMPARE(Product()->SerialHigh, 18);
        QCOMPARE(Product()->SerialLow, 258);
        Feed(Frame(6, QByteArray::fromHex("00128305")));
        QCOMPARE(Product()->VersionText, QStringLiteral("18.3.1.5"));
        QCOMPARE(H->Title(), QStringLiteral("Thermoryx Diagnostic - Seam-1 #180000258 firmware version: 18.3.1.5"));
        QVERIFY(Product()->Identified);
    }

    void searchingTitleAfterALossHasTheDots()
    {
        Feed(Frame(6, QByteArray::fromHex("00128305")));
        H->Clock.AdvanceBy(2000 * 7);
        QVERIFY(H->LogContains(QStringLiteral(" Connection lost.")));
        QCOMPARE(H->Title(), QStringLiteral("Thermoryx Diagnostic - Seam-1 - Connecting..."));
    }

    void commandRulesOfTheDescriptor()
    {
        // Settings are applied also to an idle heater.
        Product()->ApplySettings(20, 1, 22, 1, 5);
        QCOMPARE(TakeWritten(), Frame(2, QByteArray::fromHex("0014011601 05")));
        // Blowing from rest begins no recording.
        Product()->SetBlower(25);
        QCOMPARE(TakeWritten(), Frame(8, QByteArray(1, char(25))));
        QVERIFY(!Product()->Running);
        QVERIFY(Product()->RunLog().isEmpty());
        // Without a text of its own, fuel pumping while launched gets the launched refusal.
        Product()->Start();
        Feed(Frame(1));
        QVERIFY(Product()->Running);
        H->Dialogs.clear();
        Product()->PumpFuel(3);
        QCOMPARE(H->Messages(), QStringList{QStringLiteral("Unable to perform: Seam launched.")});
    }

    void edrTextsOfTheDescriptor_data()
    {
        QTest::addColumn<bool>("launched");
        QTest::addColumn<QString>("message");
        QTest::newRow("refused while launched") << true << "Can't read EDR: Seam launched";
        QTest::newRow("a failing report") << false << "Ошибка чтения ЧЯ: image damaged";
    }
    void edrTextsOfTheDescriptor()
    {
        QFETCH(bool, launched);
        QFETCH(QString, message);
        TStatus status;
        status.Stage = launched ? 3 : 0;
        Feed(status.Frame());
        Product()->ReportFails = true;
        Product()->ReadEDR();
        QCOMPARE(H->Messages(), QStringList{message});
        // The log line keeps its own words whatever the message box says.
        QCOMPARE(H->LogContains(QStringLiteral("EEPROM reading exception: image damaged")), !launched);
    }
};

QTEST_MAIN(TestCurrentModelSeam)
#include "tst_current_model_seam.moc"
