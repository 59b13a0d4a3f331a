// The main window offscreen: product menu check marks and the items' binding to the model table,
// View toggles, the hidden log window, the graphs placement, and models whose handler is not there.
#include "app/Globals.h"
#include "app/Models.h"
#include "app/fLog.h"
#include "app/fMain.h"
#include "core/LogMemo.h"
#include "serial/ComPort.h"
#include "support/Harness.h"
#include "support/TestProduct.h"
#include "views/fBB.h"
#include "views/fControl.h"
#include "views/fGraph.h"
#include "views/fViewData.h"
#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QtTest>
#include <algorithm>

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;
    std::vector<TModel> SavedModels;
    // The item names of the models chosen so far, as their handlers were created.
    QStringList Created;

    static QWidget *Frame(QWidget *child) { return child->parentWidget(); }

private slots:
    void init()
    {
        H = std::make_unique<THarness>();
        // Every model gets the test handler, so the marks can be checked whatever is built.
        SavedModels = Models();
        Created.clear();
        for (TModel &model : Models())
            model.CreateHandler = [this, name = model.MenuItem] {
                Created << name;
                return new TTestProduct;
            };
    }
    void cleanup()
    {
        H.reset();
        Models() = SavedModels;
    }

    void startsWithItsTitleAndWindows()
    {
        QCOMPARE(frmMain->windowTitle(), QStringLiteral("Thermoryx Diagnostic "));
        QVERIFY(!CurrentProduct);
        QCOMPARE(ComPort->Port(), QStringLiteral("ttyTEST0"));
        QVERIFY(!ComPort->Connected());
        QVERIFY(!frmMain->WaitPanelVisible());
        QCOMPARE(frmMain->pnl1->text(), QStringLiteral("Reading EDR. Please wait."));
        QVERIFY(frmMain->N3->isChecked() && !frmMain->N3->isEnabled());
        QVERIFY(frmMain->N5->isChecked());
        QVERIFY(frmMain->N6->isChecked());
        QVERIFY(!frmMain->N7->isChecked());
        QVERIFY(Frame(frmControl)->isVisible());
        QVERIFY(Frame(frmGraph)->isVisible());
        QVERIFY(Frame(frmViewData)->isVisible());
        QVERIFY(!Frame(frmLog)->isVisible());
        QVERIFY(!Frame(frmBB)->isVisible());
    }

    // Items are chosen in sequence; after each choice the marks read as listed (R = radio item).
    void productMenuMarks_data()
    {
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QStringList>("marked");
        QTest::newRow("radio item") << QStringList{"Zephal-1"} << QStringList{"N21"};
        QTest::newRow("radio group moves") << QStringList{"Zephal-1", "Corva-mini"} << QStringList{"N141"};
        QTest::newRow("Hydrel-7S toggles on") << QStringList{"Hydrel-7S"} << QStringList{"Hydrel7S1"};
        QTest::newRow("Hydrel-7S toggles off") << QStringList{"Hydrel-7S", "Hydrel-7S"} << QStringList{};
        QTest::newRow("Hydrel-7 beside a radio item")
            << QStringList{"Zephal-33 [new rev.]", "Hydrel-7"} << QStringList{"N4", "Hydrel71"};
        QTest::newRow("Corva never marked") << QStringList{"Corva"} << QStringList{};
        QTest::newRow("Corva leaves the others") << QStringList{"Zephal-3/-33/-6 [old rev.]", "Corva"}
                                                 << QStringList{"N41"};
    }
    void productMenuMarks()
    {
        QFETCH(QStringList, choices);
        QFETCH(QStringList, marked);
        for (const QString &caption : choices)
            H->Choose(caption);
        QStringList nowMarked;
        for (const TModel &model : Models())
            if (frmMain->findChild<QAction *>(model.MenuItem)->isChecked())
                nowMarked << model.MenuItem;
        QCOMPARE(nowMarked, marked);
        QVERIFY(CurrentProduct);
    }

    // The seven items keep their menu order, captions, marks and models whatever the order of the
    // model table; the windows are built again after the table is rearranged.
    void menuItemsFindTheirModelsByName_data()
    {
        QTest::addColumn<QStringList>("tableOrder");
        QTest::newRow("menu order") << QStringList{"N141", "N21", "N41", "N4", "Hydrel71", "Hydrel7S1", "NCorva1"};
        QTest::newRow("reversed") << QStringList{"NCorva1", "Hydrel7S1", "Hydrel71", "N4", "N41", "N21", "N141"};
        QTest::newRow("Hydrel rows first")
            << QStringList{"Hydrel71", "Hydrel7S1", "N141", "N21", "NCorva1", "N41", "N4"};
    }
    void menuItemsFindTheirModelsByName()
    {
        QFETCH(QStringList, tableOrder);
        std::vector<TModel> &models = Models();
        std::ranges::sort(models, {}, [&](const TModel &model) { return tableOrder.indexOf(model.MenuItem); });
        H.reset();
        H = std::make_unique<THarness>();

        struct TItem {
            QAction *Action;
            QString Name;
            QString Caption;
            bool Checkable;
            bool Radio;
        };
        const TItem items[] = {
            {frmMain->N141, "N141", "Corva-mini", true, true},
            {frmMain->N21, "N21", "Zephal-1", true, true},
            {frmMain->N41, "N41", "Zephal-3/-33/-6 [old rev.]", true, true},
            {frmMain->N4, "N4", "Zephal-33 [new rev.]", true, true},
            {frmMain->Hydrel71, "Hydrel71", "Hydrel-7", true, false},
            {frmMain->Hydrel7S1, "Hydrel7S1", "Hydrel-7S", true, false},
            {frmMain->NCorva1, "NCorva1", "Corva", false, false},
        };
        QList<QAction *> menuOrder;
        for (const TItem &item : items) {
            QCOMPARE(item.Action->objectName(), item.Name);
            QCOMPARE(item.Action->text(), item.Caption);
            QCOMPARE(item.Action->isCheckable(), item.Checkable);
            QCOMPARE(item.Action->actionGroup() != nullptr, item.Radio);
            item.Action->trigger();
            QCOMPARE(Created.last(), item.Name);
            menuOrder << item.Action;
        }
        // Below the models, apart from them: "Detect model...".
        const QList<QAction *> actions = frmMain->findChild<QMenu *>("N1")->actions();
        QCOMPARE(actions.mid(0, menuOrder.size()), menuOrder);
        QCOMPARE(actions.size(), menuOrder.size() + 2);
        QVERIFY(actions.at(menuOrder.size())->isSeparator());
        QCOMPARE(actions.last(), frmMain->NDetect);
        QCOMPARE(frmMain->NDetect->text(), QStringLiteral("Detect model..."));
    }

    void missingHandlerSaysSo()
    {
        Models()[0].CreateHandler = nullptr;
        H->Choose(Models()[0].Caption);
        QCOMPARE(H->Messages(), QStringList({"Corva-mini: this model is not supported yet."}));
        QVERIFY(!CurrentProduct);
    }

    void viewToggleHidesAndRestores_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("Current data") << "N5";
        QTest::newRow("Graphs") << "N6";
    }
    void viewToggleHidesAndRestores()
    {
        QFETCH(QString, item);
        QAction *action = frmMain->findChild<QAction *>(item);
        QWidget *window = item == "N5" ? static_cast<QWidget *>(frmViewData) : frmGraph;
        action->trigger();
        QVERIFY(!action->isChecked());
        QVERIFY(!Frame(window)->isVisible());
        QVERIFY(Frame(window)->windowState() & Qt::WindowMinimized);
        action->trigger();
        QVERIFY(action->isChecked());
        QVERIFY(Frame(window)->isVisible());
        QVERIFY(frmMain->ChildIsNormal(window));
    }

    // A maximised child is not in the normal state: the toggle restores it and ticks the item.
    void maximisedChildIsRestoredByTheToggle()
    {
        Frame(frmGraph)->showMaximized();
        frmMain->N6->setChecked(false);
        frmMain->N6->trigger();
        QVERIFY(frmMain->N6->isChecked());
        QVERIFY(frmMain->ChildIsNormal(frmGraph));
        QVERIFY(Frame(frmGraph)->isVisible());
    }

    void edrToggleShowsTheHiddenReport()
    {
        frmMain->N7->trigger();
        QVERIFY(frmMain->N7->isChecked());
        QVERIFY(Frame(frmBB)->isVisible());
        frmMain->N7->trigger();
        QVERIFY(!frmMain->N7->isChecked());
        QVERIFY(!Frame(frmBB)->isVisible());
    }

    void logWindowShowsOnlyOnDoubleClickOfTheWaitPanel()
    {
        mLog->Append("a line");
        QVERIFY(!Frame(frmLog)->isVisible());
        frmMain->SetWaitPanelVisible(true);
        QTest::mouseDClick(frmMain->pnl1, Qt::LeftButton);
        QVERIFY(Frame(frmLog)->isVisible());
        QVERIFY(frmMain->ChildIsNormal(frmLog));
    }

    void resizePlacesTheGraphsBesideTheControlPanel()
    {
        frmMain->resize(1400, 900);
        const QRect panel = Frame(frmControl)->geometry();
        const QRect graphs = Frame(frmGraph)->geometry();
        QCOMPARE(graphs.left(), panel.left() + panel.width() + 10);
        QCOMPARE(graphs.top(), panel.top() + 50);
        QCOMPARE(graphs.width(), 1400 - panel.width() - 40);
    }

    void handlerCreationHidesTheWaitPanel()
    {
        frmMain->SetWaitPanelVisible(true);
        H->Choose("Corva");
        QVERIFY(!frmMain->WaitPanelVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
