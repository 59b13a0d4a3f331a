// The EDR window (out of sight at start, the close box puts it away with its text) and the current
// data window (its grid, and its place beside the control panel when shown).
#include "app/Globals.h"
#include "app/fMain.h"
#include "support/Harness.h"
#include "views/StringGrid.h"
#include "views/fBB.h"
#include "views/fControl.h"
#include "views/fViewData.h"
#include <QAction>
#include <QPlainTextEdit>
#include <QtTest>
#include <memory>

class TestViewsWindows : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<THarness> Harness;

    QWidget *EdrFrame() const { return frmBB->parentWidget(); }

private slots:
    void init()
    {
        Harness = std::make_unique<THarness>();
        frmMain->show();
        QVERIFY(QTest::qWaitForWindowExposed(frmMain));
    }

    void cleanup()
    {
        Harness.reset();
    }

    void edrWindowStartsOutOfSight()
    {
        QVERIFY(EdrFrame()->isHidden());
        QVERIFY(!frmMain->N7->isChecked());
        QVERIFY(frmBB->mEE->font().fixedPitch());
        QCOMPARE(frmBB->mEE->font().pixelSize(), 15);
        QVERIFY(!frmBB->mEE->isReadOnly());
    }

    void edrCloseAndShowKeepsText()
    {
        const QStringList report{"EDR report", "  Work time        12:34", "  Faults           3"};
        frmBB->Clear();
        for (const QString &line : report)
            frmBB->Append(line);
        frmBB->BringUp();
        QVERIFY(!EdrFrame()->isHidden());
        QVERIFY(frmMain->ChildIsNormal(frmBB));
        QVERIFY(frmMain->N7->isChecked());

        // The close box.
        QVERIFY(!EdrFrame()->close());
        QVERIFY(EdrFrame()->isHidden());
        QVERIFY(EdrFrame()->isMinimized());
        QVERIFY(!frmMain->N7->isChecked());
        QVERIFY(frmBB);
        QCOMPARE(frmBB->Lines(), report);

        frmMain->N7->trigger();
        QVERIFY(!EdrFrame()->isHidden());
        QVERIFY(frmMain->ChildIsNormal(frmBB));
        QVERIFY(frmMain->N7->isChecked());
        QCOMPARE(frmBB->Lines(), report);
        // Shown again, it is not put away by its own show handling.
        QCoreApplication::processEvents();
        QVERIFY(!EdrFrame()->isHidden());
    }

    void putAwayUntick()
    {
        frmBB->BringUp();
        frmBB->PutAway();
        QVERIFY(EdrFrame()->isHidden());
        QVERIFY(!frmMain->N7->isChecked());
    }

    // What the EDR window asks of whoever hosts it, in order: a completed reading ticks the View item,
    // then shows the window minimised, then normal; a failed one hides it, then unticks the item.
    void edrWindowRequests_data()
    {
        QTest::addColumn<bool>("bringUp");
        QTest::addColumn<QStringList>("requests");
        QTest::newRow("bring up") << true << QStringList{"tick", "minimised", "normal"};
        QTest::newRow("put away") << false << QStringList{"hide", "untick"};
    }
    void edrWindowRequests()
    {
        QFETCH(bool, bringUp);
        QFETCH(QStringList, requests);
        TfrmBB window;
        QStringList asked;
        connect(&window, &TfrmBB::ViewItemCheckWanted, &window,
                [&asked](bool checked) { asked << (checked ? "tick" : "untick"); });
        connect(&window, &TfrmBB::ShowWanted, &window, [&asked](Qt::WindowState state) {
            asked << (state == Qt::WindowMinimized ? "minimised" : "normal");
        });
        connect(&window, &TfrmBB::HideWanted, &window, [&asked] { asked << "hide"; });
        if (bringUp)
            window.BringUp();
        else
            window.PutAway();
        QCOMPARE(asked, requests);
    }

    void gridAtStart()
    {
        TStringGrid *grid = frmViewData->strngrd;
        QCOMPARE(grid->ColCount(), 2);
        QCOMPARE(grid->columnWidth(0), 149);
        QCOMPARE(grid->columnWidth(1), 328);
        QVERIFY(grid->font().bold());
        QCOMPARE(grid->Cells(0, 0), QString());
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void currentDataPlacedBesideControlPanelWhenShown()
    {
        QWidget *panel = frmControl->parentWidget();
        panel->move(40, 0);
        frmMain->N5->trigger(); // hide
        QVERIFY(frmViewData->parentWidget()->isHidden());
        frmMain->N5->trigger(); // show
        const QRect p = panel->geometry();
        QCOMPARE(frmViewData->parentWidget()->geometry(), QRect(p.left() + p.width() + 10, p.top(), 500, 405));
    }

    // The longest grid of any model, 14 rows, is seen whole in the window as placed.
    void longestGridFitsTheCurrentDataWindow()
    {
        frmMain->N5->trigger(); // hide
        frmMain->N5->trigger(); // show, placed
        TStringGrid *grid = frmViewData->strngrd;
        grid->SetRowCount(14);
        for (int row = 0; row < 14; ++row)
            grid->SetCells(0, row, QStringLiteral("row %1").arg(row));
        QCoreApplication::processEvents();
        const int lastBottom = grid->rowViewportPosition(13) + grid->rowHeight(13);
        QVERIFY2(lastBottom <= grid->viewport()->height(),
                 qPrintable(QStringLiteral("%1 > %2").arg(lastBottom).arg(grid->viewport()->height())));
    }
};

QTEST_MAIN(TestViewsWindows)
#include "tst_views_windows.moc"
