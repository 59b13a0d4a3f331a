// The main window's shell offscreen: windows opened from View leave the control panel's Start and
// Stop buttons free, the graphs window can be maximised, View > Log, Exit, the shortcuts and the icon.
#include "app/Globals.h"
#include "app/fLog.h"
#include "app/fMain.h"
#include "app/dlgPortSelect.h"
#include "app/RunLogWindow.h"
#include "support/Harness.h"
#include "views/fBB.h"
#include "views/fControl.h"
#include "views/fGraph.h"
#include "views/fViewData.h"
#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

namespace {
QRect GlobalRect(const QWidget *widget)
{
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// The frames shown in the main window, but the control panel's, that cover its Start or Stop button.
QStringList FramesOverButtons()
{
    QStringList covering;
    for (QMdiSubWindow *frame : frmMain->Area->subWindowList()) {
        if (!frame->isVisible() || frame->widget() == frmControl)
            continue;
        for (const QPushButton *button : {frmControl->btnStart, frmControl->Button2})
            if (GlobalRect(frame).intersects(GlobalRect(button)))
                covering << frame->widget()->windowTitle() + QStringLiteral(" over ") + button->text();
    }
    return covering;
}
} // namespace

class TestShellWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;

private slots:
    void init() { H = std::make_unique<THarness>(); }
    void cleanup() { H.reset(); }

    void windowsLeaveStartAndStopFree_data()
    {
        QTest::addColumn<QSize>("mainSize");
        QTest::addColumn<QString>("opened"); // the View item triggered, none for the start
        for (const QSize size : {QSize(1024, 600), QSize(1920, 1050)}) {
            const QString at = QStringLiteral(" %1x%2").arg(size.width()).arg(size.height());
            QTest::newRow(qPrintable("at start" + at)) << size << QString();
            QTest::newRow(qPrintable("EDR" + at)) << size << QStringLiteral("N7");
            QTest::newRow(qPrintable("Log" + at)) << size << QStringLiteral("NLog");
            QTest::newRow(qPrintable("current data again" + at)) << size << QStringLiteral("N5,N5");
            QTest::newRow(qPrintable("graphs again" + at)) << size << QStringLiteral("N6,N6");
        }
    }
    void windowsLeaveStartAndStopFree()
    {
        QFETCH(QSize, mainSize);
        QFETCH(QString, opened);
        frmMain->resize(mainSize);
        for (const QString &name : opened.split(QLatin1Char(','), Qt::SkipEmptyParts))
            frmMain->findChild<QAction *>(name)->trigger();
        QVERIFY(frmControl->btnStart->isVisible() && frmControl->Button2->isVisible());
        const QStringList covering = FramesOverButtons();
        QVERIFY2(covering.isEmpty(), qPrintable(covering.join(QStringLiteral("; "))));
    }

    // Every window a technician opens, on the screens of the test platform (a wide one, a 1366 x 768
    // laptop, a 1024 x 600 netbook) with the main window as it stands there: maximised, smaller, larger
    // than the screen, partly off its left edge. Each frame shown lies whole on the screen (its title
    // bar boxes in reach) and leaves Start and Stop free. The EDR is brought up as a finished reading
    // does (minimised, then normal), the others from their menu items; the review of a saved run,
    // the adapter dialog.
    void everyWindowOnScreenBesideStartAndStop_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QRect>("main"); // relative to the screen's top-left corner
        QTest::addColumn<QString>("opened");
        const QStringList windows = {"EDR", "N7", "NLog", "NTrace", "review", "N5,N5", "N6,N6", "adapter dialog"};
        const std::pair<const char *, QSize> screens[] = {
            {"Wide", {1920, 1080}}, {"Laptop", {1366, 768}}, {"Netbook", {1024, 600}}};
        for (const auto &[screen, size] : screens) {
            const std::pair<const char *, QRect> mains[] = {
                {"maximised", QRect(QPoint(0, 0), size)},
                {"smaller", QRect(100, 80, size.width() * 3 / 4, size.height() * 3 / 4)},
                {"larger than the screen", QRect(0, 0, size.width() + 400, size.height() + 300)},
                {"off the left edge", QRect(-150, 0, size.width(), size.height())},
            };
            for (const auto &[mainName, main] : mains)
                for (const QString &window : windows)
                    QTest::addRow("%s, %s, %s", screen, mainName, qPrintable(window))
                        << QString::fromLatin1(screen) << main << window;
        }
    }
    void everyWindowOnScreenBesideStartAndStop()
    {
        QFETCH(QString, screen);
        QFETCH(QRect, main);
        QFETCH(QString, opened);
        QScreen *shownOn = nullptr;
        for (QScreen *candidate : QGuiApplication::screens())
            if (candidate->name() == screen)
                shownOn = candidate;
        QVERIFY2(shownOn, "the test platform's screens come from tests/support/screens.json");
        frmMain->winId();
        frmMain->windowHandle()->setScreen(shownOn);
        const QRect onScreen = shownOn->availableGeometry();
        frmMain->setGeometry(main.translated(onScreen.topLeft()));
        frmMain->show();
        QVERIFY(QTest::qWaitForWindowExposed(frmMain));
        QCOMPARE(frmMain->screen(), shownOn);

        QTemporaryDir dir;
        QList<QWidget *> shown;
        if (opened == QLatin1String("EDR")) {
            frmBB->BringUp();
            shown << frmBB->parentWidget();
        } else if (opened == QLatin1String("review")) {
            const QString path = dir.filePath(QStringLiteral("run.csv"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;FI;T ext. sens.;T plate;Voltage;FaultCode;\r\n"
                       "3;1;0;8;8;40;41;3.00;8.0;0.00;180;60;90;12.40;0;\r\n");
            file.close();
            TfrmGraph *review = OpenRunLogWindow(*frmMain, path);
            QVERIFY(review);
            shown << review;
        } else if (opened == QLatin1String("adapter dialog")) {
            frmPortSelect->show();
            shown << frmPortSelect;
        } else {
            for (const QString &name : opened.split(QLatin1Char(',')))
                frmMain->findChild<QAction *>(name)->trigger();
        }
        for (QMdiSubWindow *frame : frmMain->Area->subWindowList())
            if (frame->isVisible() && frame->widget() != frmControl && !shown.contains(frame))
                shown << frame;
        QVERIFY(shown.size() >= 2);
        QCoreApplication::processEvents();

        const QRect buttons = GlobalRect(frmControl->btnStart).united(GlobalRect(frmControl->Button2));
        for (const QWidget *window : shown) {
            const QRect placed = GlobalRect(window);
            const QString where = QStringLiteral("%1 at %2,%3 %4x%5 (screen %6x%7)")
                                      .arg(window->windowTitle().isEmpty() ? window->objectName() : window->windowTitle())
                                      .arg(placed.x()).arg(placed.y()).arg(placed.width()).arg(placed.height())
                                      .arg(onScreen.width()).arg(onScreen.height());
            QVERIFY2(onScreen.contains(placed), qPrintable(where + QStringLiteral(" is not whole on the screen")));
            QVERIFY2(!placed.intersects(buttons), qPrintable(where + QStringLiteral(" covers Start or Stop")));
        }
        frmPortSelect->hide();
    }

    // Moved over the panel and hidden, the log and EDR windows come back beside it.
    void shownAgainBesideThePanel_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("EDR") << QStringLiteral("N7");
        QTest::newRow("Log") << QStringLiteral("NLog");
    }
    void shownAgainBesideThePanel()
    {
        QFETCH(QString, item);
        auto *action = frmMain->findChild<QAction *>(item);
        action->trigger();
        QWidget *window = item == QLatin1String("N7") ? static_cast<QWidget *>(frmBB) : frmLog;
        window->parentWidget()->move(0, 0);
        QVERIFY(!FramesOverButtons().isEmpty());
        action->trigger();
        QVERIFY(!window->parentWidget()->isVisible());
        action->trigger();
        QVERIFY(window->parentWidget()->isVisible());
        QVERIFY2(FramesOverButtons().isEmpty(), qPrintable(FramesOverButtons().join(QStringLiteral("; "))));
    }

    void logItemTogglesTheLogWindow()
    {
        QWidget *frame = frmLog->parentWidget();
        QVERIFY(!frame->isVisible());
        QVERIFY(!frmMain->NLog->isChecked());
        frmMain->NLog->trigger();
        QVERIFY(frame->isVisible());
        QVERIFY(frmMain->ChildIsNormal(frmLog));
        QVERIFY(frmMain->NLog->isChecked());
        frmMain->NLog->trigger();
        QVERIFY(!frame->isVisible());
        QVERIFY(!frmMain->NLog->isChecked());
    }

    void doubleClickOnTheWaitPanelTicksTheLogItem()
    {
        frmMain->SetWaitPanelVisible(true);
        QTest::mouseDClick(frmMain->pnl1, Qt::LeftButton);
        QVERIFY(frmLog->parentWidget()->isVisible());
        QVERIFY(frmMain->NLog->isChecked());
    }

    void exitClosesTheMainWindow()
    {
        QVERIFY(frmMain->isVisible());
        frmMain->NExit->trigger();
        QVERIFY(!frmMain->isVisible());
    }

    void shortcutsToggleTheirWindows_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QKeyCombination>("keys");
        QTest::newRow("Current data") << QStringLiteral("N5") << QKeyCombination(Qt::CTRL, Qt::Key_D);
        QTest::newRow("Graphs") << QStringLiteral("N6") << QKeyCombination(Qt::CTRL, Qt::Key_G);
        QTest::newRow("EDR") << QStringLiteral("N7") << QKeyCombination(Qt::CTRL, Qt::Key_E);
        QTest::newRow("Log") << QStringLiteral("NLog") << QKeyCombination(Qt::CTRL, Qt::Key_L);
    }
    void shortcutsToggleTheirWindows()
    {
        QFETCH(QString, item);
        QFETCH(QKeyCombination, keys);
        auto *action = frmMain->findChild<QAction *>(item);
        const bool before = action->isChecked();
        frmMain->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frmMain));
        QTest::keyClick(frmMain, keys.key(), keys.keyboardModifiers());
        QCOMPARE(action->isChecked(), !before);
    }

    void exitHasItsShortcut()
    {
        frmMain->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frmMain));
        QTest::keyClick(frmMain, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!frmMain->isVisible());
    }

    void graphsCanBeMaximisedAndStaySo()
    {
        QWidget *frame = frmGraph->parentWidget();
        QVERIFY(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
        frame->showMaximized();
        frmMain->resize(1300, 800);
        QVERIFY(frame->isMaximized());
        QCOMPARE(frame->size(), frmMain->Area->viewport()->size());
    }

    void everyWindowCarriesTheIcon()
    {
        const QImage icon = QIcon(QStringLiteral(":/icons/thermoryx.png")).pixmap(32).toImage();
        QVERIFY(!icon.isNull());
        for (QWidget *window : std::initializer_list<QWidget *>{frmMain, frmBB, frmLog, frmControl, frmGraph,
                                                                frmViewData, frmPortSelect}) {
            QWidget *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget()) ? window->parentWidget() : window;
            QCOMPARE(frame->windowIcon().pixmap(32).toImage(), icon);
        }
    }
};

QTEST_MAIN(TestShellWindows)
#include "tst_shell_windows.moc"
