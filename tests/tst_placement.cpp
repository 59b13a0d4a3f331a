// Where a window opens, as plain geometry: screen, work area, the control panel's buttons and the
// windows to keep in sight -> the frame. Each case also holds the two rules that must never break:
// the frame lies on the screen inside the work area, and it leaves the buttons free.
#include "views/Placement.h"
#include <QtTest>

using TRects = QList<QRect>;
Q_DECLARE_METATYPE(TRects)

class TestPlacement : public QObject {
    Q_OBJECT

private slots:
    void placeWindow_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("keepFree");
        QTest::addColumn<TRects>("ratherFree");
        QTest::addColumn<QSize>("wanted");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QRect>("placed");

        const QRect laptop(0, 0, 1366, 768);
        const QRect laptopArea(0, 20, 1366, 700);
        const QRect panel(0, 20, 135, 700);
        QTest::newRow("EDR on a laptop: beside the panel, at its top")
            << laptop << laptopArea << panel << TRects{} << QSize(844, 635) << QSize(200, 100)
            << QRect(145, 20, 844, 635);
        QTest::newRow("log wider than the room: narrowed to it")
            << laptop << laptopArea << panel << TRects{} << QSize(1297, 648) << QSize(200, 100)
            << QRect(145, 20, 1221, 648);
        QTest::newRow("taller than the area: as tall as it")
            << laptop << laptopArea << panel << TRects{} << QSize(700, 900) << QSize(200, 100)
            << QRect(145, 20, 700, 700);
        QTest::newRow("area larger than the screen: the screen bounds it")
            << laptop << QRect(0, 20, 2000, 1200) << QRect(0, 20, 135, 1200) << TRects{} << QSize(1297, 900)
            << QSize(200, 100) << QRect(145, 20, 1221, 748);
        QTest::newRow("main window off the left edge: from the screen's edge")
            << laptop << QRect(-150, 20, 1366, 700) << QRect(-150, 20, 135, 700) << TRects{} << QSize(844, 635)
            << QSize(200, 100) << QRect(0, 20, 844, 635);
        QTest::newRow("on a second screen to the right")
            << QRect(1920, 0, 1024, 600) << QRect(1920, 20, 1024, 540) << QRect(1920, 20, 135, 540) << TRects{}
            << QSize(844, 635) << QSize(200, 100) << QRect(2065, 20, 844, 540);
        QTest::newRow("review with room below the live graphs: below them")
            << QRect(0, 0, 1920, 1080) << QRect(0, 20, 1920, 1010) << QRect(0, 20, 135, 1010)
            << TRects{QRect(146, 70, 1745, 460)} << QSize(1745, 460) << QSize(600, 460)
            << QRect(145, 540, 1745, 460);
        QTest::newRow("review without room below: hides as little of them as it can")
            << laptop << laptopArea << panel << TRects{QRect(146, 70, 1190, 460)} << QSize(1190, 460)
            << QSize(600, 460) << QRect(145, 260, 1190, 460);
        QTest::newRow("too narrow beside the buttons: below them")
            << QRect(0, 0, 600, 800) << QRect(0, 0, 600, 800) << QRect(0, 0, 135, 60) << TRects{}
            << QSize(500, 300) << QSize(480, 200) << QRect(0, 70, 500, 300);
        QTest::newRow("buttons out of the area: the whole room")
            << laptop << laptopArea << QRect(-400, 20, 135, 60) << TRects{} << QSize(844, 635) << QSize(200, 100)
            << QRect(0, 20, 844, 635);
    }
    void placeWindow()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, area);
        QFETCH(QRect, keepFree);
        QFETCH(TRects, ratherFree);
        QFETCH(QSize, wanted);
        QFETCH(QSize, minimum);
        QFETCH(QRect, placed);
        const QRect result = PlaceWindow({screen, area, keepFree, ratherFree}, wanted, minimum);
        QCOMPARE(result, placed);
        QVERIFY(screen.intersected(area).contains(result));
        QVERIFY(!result.intersects(keepFree));
    }

    // A window with a place of its own keeps it where it fits, and is pulled into the room where not.
    void placeNear_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("wanted");
        QTest::addColumn<QRect>("placed");
        QTest::newRow("fits: its own place") << QRect(0, 0, 1920, 1080) << QRect(146, 70, 1745, 460)
                                             << QRect(146, 70, 1745, 460);
        QTest::newRow("wider than the screen: narrowed") << QRect(0, 0, 1366, 768) << QRect(146, 70, 1745, 460)
                                                         << QRect(146, 70, 1220, 460);
        QTest::newRow("too low for its height: moved up") << QRect(0, 0, 1024, 500) << QRect(146, 70, 800, 460)
                                                          << QRect(145, 20, 800, 460);
    }
    void placeNear()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, wanted);
        QFETCH(QRect, placed);
        const QRect area(0, 20, 2000, 1200);
        const QRect panel(0, 20, 135, 1200);
        QCOMPARE(PlaceNear({screen, area, panel, {}}, wanted, QSize(600, 460)), placed);
    }
};

QTEST_APPLESS_MAIN(TestPlacement)
#include "tst_placement.moc"
