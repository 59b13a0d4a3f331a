// The main window's shell offscreen: windows opened from View leave the control panel's Start and
// Stop buttons free, the graphs window can be maximised, View > Log, Exit, the shortcuts and the icon.
#include "app/Globals.h"
#include "app/fLog.h"
#include "app/fMain.h"
#include "app/dlgPortSelect.h"
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
