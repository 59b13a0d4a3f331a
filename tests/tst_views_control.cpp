// The control panel: which operation each button calls with which arguments, the "Not connected"
// routing by handler class, and the sections and legend entries each model leaves on show.
#include "app/Globals.h"
#include "app/fMain.h"
#include "core/Errors.h"
#include "product/Product.h"
#include "support/Harness.h"
#include "views/fBB.h"
#include "views/fControl.h"
#include "views/LegendSquare.h"
#include "views/fGraph.h"
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>
#include <functional>
#include <memory>

namespace {
// A handler that records the operations the panel calls; its class name is chosen per test, and
// Stop can be made to fail.
class TRecordingProduct : public TProduct {
public:
    explicit TRecordingProduct(QString className, const std::function<void()> &showModel = {})
        : Class(std::move(className))
    {
        if (showModel)
            showModel();
    }
    QString ClassName() const override { return Class; }
    QString ModelName() const override { return QStringLiteral("Test model"); }

    void UpdateStateText() override {}
    void ParseData() override {}
    void TimerEvent(QObject *) override {}
    void ErTimerEvent(QObject *) override {}
    void TransmitTimerEvent(QObject *) override {}
    void OnSearchTimer(QObject *) override {}
    void RequestSerialNumber() override {}
    void RequestVersion() override {}
    void StartPolling() override {}
    void StopPolling() override {}
    QString SearchingTitle() const override { return {}; }
    void FillStringGrid() override {}
    void AddChartPoints(TPresentation &, double) override {}
    QString RunLogRow() const override { return {}; }

    void ReadEDR() override { Calls << QStringLiteral("ReadEDR"); }
    void Start() override { Calls << QStringLiteral("Start"); }
    void Stop() override
    {
        if (FailStop)
            throw Exception(QStringLiteral("Port Not Open"));
        Calls << QStringLiteral("Stop");
    }
    void SetBlower(quint8 rps) override { Calls << QStringLiteral("SetBlower(%1)").arg(rps); }
    void StartWithSettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode, quint8 power) override
    {
        Calls << QStringLiteral("StartWithSettings(%1,%2,%3,%4,%5)").arg(workTime).arg(workMode).arg(setpoint).arg(waitMode).arg(power);
    }
    void ApplySettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode, quint8 power) override
    {
        Calls << QStringLiteral("ApplySettings(%1,%2,%3,%4,%5)").arg(workTime).arg(workMode).arg(setpoint).arg(waitMode).arg(power);
    }
    void PumpFuel(quint8 count) override { Calls << QStringLiteral("PumpFuel(%1)").arg(count); }
    void CalibrateFI() override { Calls << QStringLiteral("CalibrateFI"); }
    void ApplySettingsOld(quint8 workMode, quint8 setpointIndex, quint8 rcSetpointIndex, quint8 power) override
    {
        Calls << QStringLiteral("ApplySettingsOld(%1,%2,%3,%4)").arg(workMode).arg(setpointIndex).arg(rcSetpointIndex).arg(power);
    }
    void RunPump(quint16 minutes) override { Calls << QStringLiteral("RunPump(%1)").arg(minutes); }
    // SetPumpType stays the base's: no handler implements it.

    QString Class;
    QStringList Calls;
    bool FailStop = false;
};

using TAction = std::function<void(TfrmControl &panel)>;

struct TModelView {
    QString Caption;
    QString Class;
    std::function<void()> Show; // what the model's handler shows at its creation
};

const std::vector<TModelView> &ModelViews()
{
    static const QString air = QStringLiteral("T air(ext. sensor) (°C)");
    static const std::vector<TModelView> models = {
        {QStringLiteral("Hydrel-7S"), QStringLiteral("TOrvel"),
         [] {
             frmControl->ShowFuelPumping();
             frmControl->ShowCirculationPump();
             frmGraph->SetLiquidCaption(QStringLiteral("T liq. (°C)"));
             frmGraph->HideOverheatEntry();
         }},
        {QStringLiteral("Zephal-33 [new rev.]"), QStringLiteral("TZephal33new"),
         [] {
             frmControl->ShowSettingsZ1();
             frmControl->ShowFuelPumping();
             frmGraph->SetLiquidCaption(air);
             frmGraph->HideOverheatEntry();
         }},
        {QStringLiteral("Zephal-1"), QStringLiteral("TZephal1"),
         [] {
             frmControl->ShowSettingsZ1();
             frmControl->ShowFuelPumping();
             frmGraph->SetLiquidCaption(air);
             frmGraph->HideOverheatEntry();
         }},
        {QStringLiteral("Corva-mini"), QStringLiteral("TCorvaMini"),
         [] { frmGraph->SetLiquidCaption(QStringLiteral("T liq. (°C)")); }},
        {QStringLiteral("Zephal-3/-33/-6 [old rev.]"), QStringLiteral("TZephalOld"),
         [] {
             frmControl->ShowSettingsZephalOld();
             frmControl->ShowOldBlower();
             frmControl->ShowCalibrateFI();
             frmGraph->SetLiquidCaption(air);
             frmGraph->HideOverheatEntry();
             frmGraph->HidePlugVoltageEntry();
         }},
        {QStringLiteral("Corva"), QStringLiteral("TCorvaOld"),
         [] {
             frmControl->ShowOldBlower();
             frmGraph->SetLiquidCaption(QStringLiteral("T ovrht.(°C)"));
             frmGraph->HideOverheatEntry();
             frmGraph->HideFpFrequencyEntry();
             frmGraph->HidePlugVoltageEntry();
         }},
        {QStringLiteral("Hydrel-7"), QStringLiteral("THydrelOld"),
         [] {
             frmControl->HideBlower();
             frmControl->ShowCalibrateFI();
             frmControl->ShowPumpTypes();
             frmGraph->SetLiquidCaption(QStringLiteral("T liq.1(°C)"));
             frmGraph->SetOverheatCaption(QStringLiteral("T liq.2(°C)"));
         }},
    };
    return models;
}

const TModelView &ModelView(const QString &caption)
{
    for (const TModelView &model : ModelViews())
        if (model.Caption == caption)
            return model;
    qFatal("unknown model");
}

bool Shown(const QWidget *widget)
{
    return !widget->isHidden();
}
} // namespace

Q_DECLARE_METATYPE(TAction)

class TestViewsControl : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<THarness> Harness;
    TRecordingProduct *Product = nullptr;

    TRecordingProduct *Install(const QString &className)
    {
        Product = new TRecordingProduct(className);
        CurrentProduct = Product;
        return Product;
    }
    // Creates the model's handler as the menu does: the base resets, the model shows its own.
    void SwitchTo(const TModelView &model)
    {
        delete CurrentProduct;
        CurrentProduct = nullptr;
        Product = new TRecordingProduct(model.Class, model.Show);
        CurrentProduct = Product;
    }

private slots:
    void init()
    {
        Harness = std::make_unique<THarness>();
        Product = nullptr;
    }

    void cleanup()
    {
        delete CurrentProduct;
        CurrentProduct = nullptr;
        Product = nullptr;
        Harness.reset();
    }

    void initialState()
    {
        TfrmControl &c = *frmControl;
        QCOMPARE(c.windowTitle(), QStringLiteral("Управление"));
        QVERIFY(Shown(c.pnlOther));
        QVERIFY(Shown(c.grpAir));
        for (QWidget *hidden : {c.pnlSetParamZ1, c.pnlSetParamZephalOld, c.pnlTN, c.pnlPumpHydrel, c.pnlPump,
                                static_cast<QWidget *>(c.grpAirOld), static_cast<QWidget *>(c.btnLearnDP)})
            QVERIFY2(!Shown(hidden), qPrintable(hidden->objectName()));
        QCOMPARE(c.cbT->count(), 26);
        QCOMPARE(c.cbT->itemText(11), QStringLiteral("12"));
        QCOMPARE(c.cbT->itemText(25), QStringLiteral("50"));
        QCOMPARE(c.cbWorkMode->currentIndex(), -1);
        QCOMPARE(c.cbTold->count(), 16);
        QCOMPARE(c.cbWorkModeOld->count(), 7);
        QCOMPARE(c.edWorkTime->text(), QStringLiteral("20"));
        QCOMPARE(c.edPumpTime->text(), QStringLiteral("1"));
        QCOMPARE(c.trbPowerOld->minimum(), 1);
        QCOMPARE(c.trbPowerOld->maximum(), 8);
        QCOMPARE(c.trbPower->maximum(), 9);
    }

    // A hidden section takes no room: the ones below move up.
    void stackingLeavesNoGaps()
    {
        TfrmControl &c = *frmControl;
        c.layout()->activate();
        QCOMPARE(c.pnlOther->y(), 0);
        c.ShowSettingsZ1();
        c.ShowFuelPumping();
        c.layout()->activate();
        QCOMPARE(c.pnlOther->y(), 249);
        QCOMPARE(c.pnlTN->y(), 249 + 168);
        c.ResetModelSections();
        c.ShowSettingsZephalOld();
        c.ShowCirculationPump();
        c.layout()->activate();
        QCOMPARE(c.pnlOther->y(), 203);
        QCOMPARE(c.pnlPump->y(), 203 + 168);
        QCOMPARE(c.pnlPump->height(), 80);
    }

    void buttonArguments_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<TAction>("action");
        QTest::addColumn<QStringList>("calls");

        auto pump = [](const QString &text) {
            return TAction([text](TfrmControl &c) {
                c.edTNcount->setText(text);
                c.btnPumpOff->click();
            });
        };
        QTest::newRow("fuel pumping 256") << "TOrvel" << pump("256") << QStringList{"PumpFuel(0)"};
        QTest::newRow("fuel pumping -1") << "TOrvel" << pump("-1") << QStringList{"PumpFuel(0)"};
        QTest::newRow("fuel pumping abc") << "TOrvel" << pump("abc") << QStringList{"PumpFuel(0)"};
        QTest::newRow("fuel pumping empty") << "TOrvel" << pump("") << QStringList{"PumpFuel(0)"};
        QTest::newRow("fuel pumping 255") << "TOrvel" << pump("255") << QStringList{"PumpFuel(255)"};
        QTest::newRow("fuel pumping 0") << "TZephal1" << pump("0") << QStringList{"PumpFuel(0)"};

        auto blower = [](const QString &text) {
            return TAction([text](TfrmControl &c) {
                c.edtV_ust->setText(text);
                c.btnSetAir->click();
            });
        };
        QTest::newRow("blower 40") << "TCorvaMini" << blower("40") << QStringList{"SetBlower(40)"};
        QTest::newRow("blower not a number") << "TCorvaMini" << blower("4o") << QStringList{"SetBlower(0)"};
        // 300 does not fit the byte the heater takes: not wrapped round to 44.
        QTest::newRow("blower out of range") << "TCorvaMini" << blower("300") << QStringList{"SetBlower(0)"};
        QTest::newRow("old blower on") << "TZephalOld" << TAction([](TfrmControl &c) {
            c.edtV_ust->setText("55");
            c.btnAirOn->click();
        }) << QStringList{"SetBlower(55)"};

        auto circulation = [](const QString &text) {
            return TAction([text](TfrmControl &c) {
                c.edPumpTime->setText(text);
                c.btnPumpOn->click();
            });
        };
        QTest::newRow("circulation pump 15") << "TOrvel" << circulation("15") << QStringList{"RunPump(15)"};
        QTest::newRow("circulation pump abc") << "TOrvel" << circulation("abc") << QStringList{"RunPump(1)"};

        QTest::newRow("Zephal-1 start defaults") << "TZephal1" << TAction([](TfrmControl &c) { c.btnStart->click(); })
                                                 << QStringList{"StartWithSettings(20,-1,0,2,0)"};
        QTest::newRow("work time empty") << "TZephal1" << TAction([](TfrmControl &c) {
            c.edWorkTime->clear();
            c.btnStart->click();
        }) << QStringList{"StartWithSettings(20,-1,0,2,0)"};
        QTest::newRow("work time 12") << "TZephal1" << TAction([](TfrmControl &c) {
            c.edWorkTime->setText("12");
            c.btnStart->click();
        }) << QStringList{"StartWithSettings(12,-1,0,2,0)"};
        QTest::newRow("unlimited wins over the edit") << "TZephal1" << TAction([](TfrmControl &c) {
            c.edWorkTime->setText("12");
            c.chkUnlimTime->setChecked(true);
            c.btnStart->click();
        }) << QStringList{"StartWithSettings(-1,-1,0,2,0)"};
        QTest::newRow("setpoint is the number shown") << "TZephal1" << TAction([](TfrmControl &c) {
            c.cbT->setCurrentText("50");
            c.btnStart->click();
        }) << QStringList{"StartWithSettings(20,-1,50,2,0)"};
        QTest::newRow("setpoint 12 not its index") << "TZephal1" << TAction([](TfrmControl &c) {
            c.cbT->setCurrentIndex(11);
            c.btnStart->click();
        }) << QStringList{"StartWithSettings(20,-1,12,2,0)"};
        QTest::newRow("typed setpoint that is no item keeps the selection") << "TZephal1" << TAction([](TfrmControl &c) {
            c.cbT->setCurrentText("23");
            c.cbT->setCurrentText("99");
            c.btnStart->click();
        }) << QStringList{"StartWithSettings(20,-1,23,2,0)"};
        QTest::newRow("all five settings, applied") << "TZephal1" << TAction([](TfrmControl &c) {
            c.edWorkTime->setText("90");
            c.cbWorkMode->setCurrentIndex(3);
            c.cbT->setCurrentText("18");
            c.chkWaitMode->setChecked(true);
            c.trbPower->setValue(9);
            c.btnSetParamZ1->click();
        }) << QStringList{"ApplySettings(90,3,18,1,9)"};

        QTest::newRow("old settings are indexes") << "TZephalOld" << TAction([](TfrmControl &c) {
            c.cbWorkModeOld->setCurrentIndex(2);
            c.cbTold->setCurrentText("30");
            c.cbTpultOld->setCurrentText("16");
            c.trbPowerOld->setValue(8);
            c.btnSetParamZOld->click();
        }) << QStringList{"ApplySettingsOld(2,15,1,8)"};
        QTest::newRow("old settings defaults") << "TZephalOld" << TAction([](TfrmControl &c) { c.btnSetParamZOld->click(); })
                                               << QStringList{"ApplySettingsOld(0,0,0,1)"};
    }

    void buttonArguments()
    {
        QFETCH(QString, className);
        QFETCH(TAction, action);
        QFETCH(QStringList, calls);
        Install(className);
        action(*frmControl);
        QCOMPARE(Product->Calls, calls);
        QCOMPARE(Harness->Messages(), QStringList());
    }

    // Which class each button acts for; everything else hears "Not connected" (or, for the Z1
    // settings "Set", nothing at all).
    void routingByClass_data()
    {
        QTest::addColumn<QString>("className"); // empty: no handler
        QTest::addColumn<TAction>("action");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("messages");

        const QStringList notConnected{"Not connected"};
        const std::vector<std::pair<const char *, TAction>> buttons = {
            {"Start", [](TfrmControl &c) { c.btnStart->click(); }},
            {"Stop", [](TfrmControl &c) { c.Button2->click(); }},
            {"Get EDR", [](TfrmControl &c) { c.Button3->click(); }},
            {"blower Set", [](TfrmControl &c) { c.btnSetAir->click(); }},
            {"fuel pumping Set", [](TfrmControl &c) { c.btnPumpOff->click(); }},
            {"Z1 settings Set", [](TfrmControl &c) { c.btnSetParamZ1->click(); }},
            {"blower On", [](TfrmControl &c) { c.btnAirOn->click(); }},
            {"blower Off", [](TfrmControl &c) { c.btnAirOff->click(); }},
            {"Calibrate FI", [](TfrmControl &c) { c.btnLearnDP->click(); }},
            {"old settings Set", [](TfrmControl &c) { c.btnSetParamZOld->click(); }},
            {"Bosch", [](TfrmControl &c) { c.btnPumpBosch->click(); }},
            {"Kestor", [](TfrmControl &c) { c.btnPumpKestor->click(); }},
            {"pump Start", [](TfrmControl &c) { c.btnPumpOn->click(); }},
        };
        for (const auto &[name, action] : buttons)
            QTest::addRow("no handler: %s", name) << QString() << action << QStringList() << notConnected;

        auto click = [&](const char *name) {
            for (const auto &[buttonName, action] : buttons)
                if (qstrcmp(buttonName, name) == 0)
                    return action;
            qFatal("unknown button");
        };
        QTest::newRow("Hydrel-7 starts without settings") << "THydrelOld" << click("Start") << QStringList{"Start"} << QStringList();
        QTest::newRow("Zephal-33 new starts without settings") << "TZephal33new" << click("Start") << QStringList{"Start"} << QStringList();
        QTest::newRow("Zephal-33 new: Z1 Set does nothing") << "TZephal33new" << click("Z1 settings Set") << QStringList() << QStringList();
        QTest::newRow("Zephal-1: Z1 Set applies") << "TZephal1" << click("Z1 settings Set") << QStringList{"ApplySettings(20,-1,0,2,0)"} << QStringList();
        QTest::newRow("Corva: old blower On") << "TCorvaOld" << click("blower On") << QStringList() << notConnected;
        QTest::newRow("Corva: old blower Off") << "TCorvaOld" << click("blower Off") << QStringList() << notConnected;
        QTest::newRow("Zephal old: blower Off stops") << "TZephalOld" << click("blower Off") << QStringList{"Stop"} << QStringList();
        QTest::newRow("Zephal old: Calibrate FI") << "TZephalOld" << click("Calibrate FI") << QStringList{"CalibrateFI"} << QStringList();
        QTest::newRow("Hydrel-7: Calibrate FI") << "THydrelOld" << click("Calibrate FI") << QStringList{"CalibrateFI"} << QStringList();
        QTest::newRow("Hydrel-7S: Calibrate FI") << "TOrvel" << click("Calibrate FI") << QStringList() << notConnected;
        QTest::newRow("Zephal-1: old settings") << "TZephal1" << click("old settings Set") << QStringList() << notConnected;
        QTest::newRow("Hydrel-7S: Bosch") << "TOrvel" << click("Bosch") << QStringList() << notConnected;
        QTest::newRow("Zephal-1: Kestor") << "TZephal1" << click("Kestor") << QStringList() << notConnected;
        QTest::newRow("Hydrel-7: pump Start") << "THydrelOld" << click("pump Start") << QStringList() << notConnected;
        QTest::newRow("Hydrel-7S: pump Start") << "TOrvel" << click("pump Start") << QStringList{"RunPump(1)"} << QStringList();
        QTest::newRow("Corva: Stop") << "TCorvaOld" << click("Stop") << QStringList{"Stop"} << QStringList();
        QTest::newRow("Corva-mini: Get EDR") << "TCorvaMini" << click("Get EDR") << QStringList{"ReadEDR"} << QStringList();
        // The class name must match exactly.
        QTest::newRow("class name match is exact") << "TZephalOld2" << click("blower On") << QStringList() << notConnected;
    }

    void routingByClass()
    {
        QFETCH(QString, className);
        QFETCH(TAction, action);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, messages);
        if (!className.isEmpty())
            Install(className);
        action(*frmControl);
        if (Product)
            QCOMPARE(Product->Calls, calls);
        QCOMPARE(Harness->Messages(), messages);
    }

    // No handler implements the pump type; the Hydrel-7's buttons get the base's refusal.
    void pumpTypeRefusedCleanly()
    {
        Install("THydrelOld");
        frmControl->btnPumpBosch->click();
        QCOMPARE(Harness->Messages().size(), 1);
        QVERIFY(Harness->Messages().first().startsWith("Unable to perform: "));
    }

    void operationErrorReachesDefaultReporting()
    {
        Install("TOrvel")->FailStop = true;
        frmControl->Button2->click();
        QCOMPARE(Harness->Messages(), QStringList{"Port Not Open"});
    }

    void startMinimisesEdrWindow_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<TAction>("action");
        QTest::newRow("Start, no handler") << QString() << TAction([](TfrmControl &c) { c.btnStart->click(); });
        QTest::newRow("Start") << "TOrvel" << TAction([](TfrmControl &c) { c.btnStart->click(); });
        QTest::newRow("Z1 Set, other class") << "TZephal33new" << TAction([](TfrmControl &c) { c.btnSetParamZ1->click(); });
        QTest::newRow("Z1 Set") << "TZephal1" << TAction([](TfrmControl &c) { c.btnSetParamZ1->click(); });
    }

    void startMinimisesEdrWindow()
    {
        QFETCH(QString, className);
        QFETCH(TAction, action);
        if (!className.isEmpty())
            Install(className);
        frmBB->Append("report");
        frmMain->ShowChildNormal(frmBB);
        QVERIFY(frmMain->ChildIsNormal(frmBB));
        action(*frmControl);
        QVERIFY(frmBB->parentWidget()->isMinimized());
        QCOMPARE(frmBB->Lines(), QStringList{"report"});
    }

    // An EDR window put away stays out of sight when Start minimises it.
    void startLeavesHiddenEdrWindowHidden()
    {
        Install("TOrvel");
        QVERIFY(!frmBB->parentWidget()->isVisible());
        frmControl->btnStart->click();
        QVERIFY(!frmBB->parentWidget()->isVisible());
        QCOMPARE(Product->Calls, QStringList{"Start"});
    }

    // A panel built on its own reaches only the handler its source gives, and asks for the EDR window
    // to be minimised before "Start" acts, with or without a handler.
    void panelUsesTheHandlerItIsHanded()
    {
        TRecordingProduct handed(QStringLiteral("TOrvel"));
        TProduct *active = nullptr;
        TfrmControl panel([&active] { return active; });
        connect(&panel, &TfrmControl::EdrMinimiseWanted, &panel, [&handed] { handed.Calls << "minimise EDR"; });
        Install("TOrvel"); // the program's active handler is not the panel's

        panel.btnStart->click();
        QCOMPARE(Harness->Messages(), QStringList{"Not connected"});
        active = &handed;
        panel.btnStart->click();
        panel.Button2->click();
        QCOMPARE(handed.Calls, QStringList({"minimise EDR", "minimise EDR", "Start", "Stop"}));
        QCOMPARE(Product->Calls, QStringList());
    }

    void controlsSurviveModelSwitch()
    {
        frmControl->edTNcount->setText("17");
        SwitchTo(ModelView("Hydrel-7S"));
        SwitchTo(ModelView("Zephal-1"));
        QCOMPARE(frmControl->edTNcount->text(), QStringLiteral("17"));
    }

    // Every model after every other: the reset leaves nothing of the previous model on show.
    void modelSections_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("blower"); // grpAir, grpAirOld or none
        QTest::addColumn<QList<bool>>("sections"); // Z1, ZephalOld, LearnDP, TN, PumpHydrel, Pump
        QTest::addColumn<QString>("liquidCaption");
        QTest::addColumn<QString>("overheatCaption"); // empty: entry hidden
        QTest::addColumn<bool>("fpFrequency");
        QTest::addColumn<bool>("plugVoltage");

        QTest::newRow("Hydrel-7S") << "Hydrel-7S" << "grpAir" << QList<bool>{false, false, false, true, false, true}
                                   << "T liq. (°C)" << "" << true << true;
        QTest::newRow("Zephal-33 new") << "Zephal-33 [new rev.]" << "grpAir" << QList<bool>{true, false, false, true, false, false}
                                       << "T air(ext. sensor) (°C)" << "" << true << true;
        QTest::newRow("Zephal-1") << "Zephal-1" << "grpAir" << QList<bool>{true, false, false, true, false, false}
                                  << "T air(ext. sensor) (°C)" << "" << true << true;
        QTest::newRow("Corva-mini") << "Corva-mini" << "grpAir" << QList<bool>{false, false, false, false, false, false}
                                    << "T liq. (°C)" << "T overheat (°C)" << true << true;
        QTest::newRow("Zephal old") << "Zephal-3/-33/-6 [old rev.]" << "grpAirOld" << QList<bool>{false, true, true, false, false, false}
                                    << "T air(ext. sensor) (°C)" << "" << true << false;
        QTest::newRow("Corva") << "Corva" << "grpAirOld" << QList<bool>{false, false, false, false, false, false}
                               << "T ovrht.(°C)" << "" << false << false;
        QTest::newRow("Hydrel-7") << "Hydrel-7" << "none" << QList<bool>{false, false, true, false, true, false}
                                  << "T liq.1(°C)" << "T liq.2(°C)" << true << true;
    }

    void modelSections()
    {
        QFETCH(QString, model);
        QFETCH(QString, blower);
        QFETCH(QList<bool>, sections);
        QFETCH(QString, liquidCaption);
        QFETCH(QString, overheatCaption);
        QFETCH(bool, fpFrequency);
        QFETCH(bool, plugVoltage);

        const TfrmControl &c = *frmControl;
        const TfrmGraph &g = *frmGraph;
        for (const TModelView &previous : ModelViews()) {
            SwitchTo(previous);
            SwitchTo(ModelView(model));
            const QString after = " after " + previous.Caption;
            QVERIFY2(Shown(c.pnlOther), qPrintable(after));
            QCOMPARE(Shown(c.grpAir), blower == "grpAir");
            QCOMPARE(Shown(c.grpAirOld), blower == "grpAirOld");
            const QList<bool> shown{Shown(c.pnlSetParamZ1), Shown(c.pnlSetParamZephalOld), Shown(c.btnLearnDP),
                                    Shown(c.pnlTN), Shown(c.pnlPumpHydrel), Shown(c.pnlPump)};
            QVERIFY2(shown == sections, qPrintable(after));
            QCOMPARE(g.lbl7->text(), liquidCaption);
            QCOMPARE(Shown(g.shp8), !overheatCaption.isEmpty());
            QCOMPARE(Shown(g.lbl8), !overheatCaption.isEmpty());
            if (!overheatCaption.isEmpty())
                QCOMPARE(g.lbl8->text(), overheatCaption);
            QVERIFY2(Shown(g.shp3) == fpFrequency && Shown(g.lbl3) == fpFrequency, qPrintable(after));
            QVERIFY2(Shown(g.shp16) == plugVoltage && Shown(g.lbl17) == plugVoltage, qPrintable(after));
            QCOMPARE(g.lbl17->text(), QStringLiteral("Plug voltage (V)"));
        }
    }
};

QTEST_MAIN(TestViewsControl)
#include "tst_views_control.moc"
