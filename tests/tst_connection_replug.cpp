// The adapter pulled out and plugged in again while a handler runs, on the virtual clock with the
// in-memory line: the port is tried again on each search tick, the log says once that the adapter went
// and once that it is back, the heater is identified again without a menu choice, a run being
// recorded is saved once, and the windows are told each state of the connection in turn.
#include "app/Globals.h"
#include "core/LogMemo.h"
#include "product/Presentation.h"
#include "product/Product.h"
#include "product/ProductEnvironment.h"
#include "product/RunLogFile.h"
#include "serial/MemoryChannel.h"
#include "serial/ComPort.h"
#include "sim/Simulators.h"
#include "support/Harness.h"
#include <QDir>
#include <QRegularExpression>
#include <QPointF>
#include <QSet>
#include <QtTest>
#include <memory>

namespace {

// The connection states a handler reports, as text, in order, and the voltage points of the run
// drawn since the charts were last cleared.
class TStateRecorder : public TPresentation {
public:
    void ClearCharts() override { VoltagePoints.clear(); }
    void AddPoint(TSeries series, double x, double y) override
    {
        if (series == TSeries::U)
            VoltagePoints << QPointF(x, y);
    }
    QList<QPointF> VoltagePoints;
    void SetConnectionState(TConnectionState state, const QString &detail) override
    {
        static const char *const names[] = {"no port", "opening", "searching", "identified", "lost", "adapter missing"};
        States << (QString::fromLatin1(names[int(state)]) + (detail.isEmpty() ? QString() : QLatin1Char(' ') + detail));
    }
    QStringList States;
};

QSet<QString> RunLogFiles()
{
    const QStringList names = QDir(RunLogFolder()).entryList({QStringLiteral("*.csv")}, QDir::Files);
    return QSet<QString>(names.begin(), names.end());
}

int LinesWith(const QStringList &lines, const QString &text)
{
    return int(std::count_if(lines.begin(), lines.end(), [&](const QString &line) { return line.contains(text); }));
}

} // namespace

class TestConnectionReplug : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;
    std::unique_ptr<THeaterSimulator> Sim;
    TMemoryChannel *Line = nullptr;
    TStateRecorder Recorder;
    TPresentation *Windows = nullptr;
    QSet<QString> FilesBefore;

    bool Advance(const std::function<bool()> &until, qint64 limitMs) { return H->Clock.AdvanceUntil(until, limitMs, 50); }

private slots:
    void init()
    {
        FilesBefore = RunLogFiles();
        H = std::make_unique<THarness>();
        Windows = std::exchange(ProductEnvironment().View, &Recorder);
        Recorder.States.clear();
    }

    void cleanup()
    {
        if (TProduct *product = CurrentProduct) {
            CurrentProduct = nullptr;
            product->Destroy();
            delete product;
        }
        ProductEnvironment().View = Windows;
        H->Connect(nullptr);
        Sim.reset();
        H.reset();
        for (const QString &name : RunLogFiles() - FilesBefore)
            QFile::remove(QDir(RunLogFolder()).filePath(name));
    }

    void heaterIsFoundAgainAfterReplug_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("recordRun");
        QTest::addColumn<int>("searchTickMs"); // the port is tried again on each search tick
        QTest::newRow("current family, a run under way") << "Hydrel-7S" << true << 1000;
        QTest::newRow("current family, at rest") << "Zephal-1" << false << 1000;
        QTest::newRow("legacy liquid") << "Hydrel-7" << false << 1000;
        QTest::newRow("legacy air, a run under way") << "Zephal-3/-33/-6 [old rev.]" << true << 2000;
        QTest::newRow("legacy air pre-heater, at rest") << "Corva" << false << 2500;
    }

    void heaterIsFoundAgainAfterReplug()
    {
        QFETCH(QString, model);
        QFETCH(bool, recordRun);
        QFETCH(int, searchTickMs);
        Sim = CreateSimulator(model);
        QVERIFY(Sim);
        Line = H->Connect(Sim.get());
        H->Choose(model);
        QVERIFY(CurrentProduct);
        QVERIFY(Advance([&] { return CurrentProduct->Identified; }, 10000));
        const QString identified = QStringLiteral("identified ") + CurrentProduct->ModelName() + QStringLiteral(" #")
                                   + CurrentProduct->SerialNumberText;
        QCOMPARE(Recorder.States.join(QStringLiteral(" / ")), QStringLiteral("opening ttyTEST0 / searching / ") + identified);
        if (recordRun) {
            CurrentProduct->Start();
            QVERIFY(Advance([&] { return CurrentProduct->Running; }, 5000));
            // A few rows recorded: the old-revision air heater's first poll cycle takes its time.
            QVERIFY(Advance([&] { return CurrentProduct->RunLog().size() >= 3; }, 15000));
        }
        const QString title = H->Title();
        const int logBefore = int(H->LogLines().size());

        Line->Unplug();
        QVERIFY2(Advance([&] { return H->LogContains(QStringLiteral("Connection lost.")); }, 30000),
                 qPrintable(H->LogLines().mid(logBefore).join(QLatin1Char('\n'))));
        QCOMPARE(RunLogFiles().size() - FilesBefore.size(), recordRun ? 1 : 0);
        const qsizetype lostAt = H->LogLines().lastIndexOf(QRegularExpression(QStringLiteral(".* Connection lost\\.")));
        QVERIFY(lostAt >= logBefore);
        // Away for half a minute: the port is tried about once a search tick and the log stays quiet.
        const int attemptsBefore = Line->OpenAttempts;
        H->Clock.AdvanceBy(30000);
        const int attempts = Line->OpenAttempts - attemptsBefore;
        const int ticks = 30000 / searchTickMs;
        QVERIFY2(attempts >= ticks * 5 / 6 && attempts <= ticks + 1, qPrintable(QString::number(attempts)));
        QVERIFY(!ComPort->Connected());
        // Until the loss the handler logs what it always logs (a family that logs each command it
        // queues goes on doing so); from the loss on the log stays quiet.
        const QStringList sinceUnplug = H->LogLines().mid(logBefore);
        QCOMPARE(LinesWith(sinceUnplug, QStringLiteral("reading stopped")), 1);
        QCOMPARE(LinesWith(sinceUnplug, QStringLiteral("Port Not Open")), 0);
        const QStringList away = H->LogLines().mid(lostAt);
        QCOMPARE(LinesWith(away, QStringLiteral(".OnSearchTimer.")), 0);
        QVERIFY2(away.size() <= 6, qPrintable(away.join(QLatin1Char('\n'))));

        Line->Replug();
        QVERIFY(Advance([&] { return CurrentProduct->Identified; }, 10000));
        QCOMPARE(H->Title(), title);
        const QStringList all = H->LogLines().mid(logBefore);
        QCOMPARE(LinesWith(all, QStringLiteral("reading stopped")), 1);
        QCOMPARE(LinesWith(all, QStringLiteral("the adapter is back")), 1);
        QCOMPARE(Recorder.States.join(QStringLiteral(" / ")),
                 QStringLiteral("opening ttyTEST0 / searching / %1 / adapter missing ttyTEST0 / searching / %1")
                     .arg(identified));
        // The run was saved once when the connection went; none is written again.
        H->Clock.AdvanceBy(10000);
        QCOMPARE(RunLogFiles().size() - FilesBefore.size(), recordRun ? 1 : 0);
    }

    // Pulled out in the middle of a run, every model: the status bar says so at once, no row and
    // no point is added from then on, the connection is declared lost once, and the saved file
    // holds exactly the rows the graphs drew.
    void adapterPulledMidRun_data()
    {
        QTest::addColumn<QString>("model");
        for (const QString &model : SimulatedModels())
            QTest::newRow(qPrintable(model)) << model;
    }
    void adapterPulledMidRun()
    {
        QFETCH(QString, model);
        Sim = CreateSimulator(model);
        Line = H->Connect(Sim.get());
        H->Choose(model);
        QVERIFY(Advance([&] { return CurrentProduct->Identified && CurrentProduct->StatusActive; }, 20000));
        CurrentProduct->Start();
        QVERIFY(Advance([&] { return CurrentProduct->RunLog().size() >= 4; }, 30000));
        const int logBefore = int(H->LogLines().size());

        Line->Unplug();
        H->Clock.AdvanceBy(1);
        QCOMPARE(Recorder.States.last(), QStringLiteral("adapter missing ttyTEST0"));
        const QList<QPointF> drawn = Recorder.VoltagePoints;
        const QStringList recorded = CurrentProduct->RunLog();
        QVERIFY(Advance([&] { return H->LogContains(QStringLiteral("Connection lost.")); }, 30000));
        QCOMPARE(Recorder.VoltagePoints, drawn);
        H->Clock.AdvanceBy(20000);
        QCOMPARE(LinesWith(H->LogLines().mid(logBefore), QStringLiteral("Connection lost.")), 1);
        QCOMPARE(Recorder.States.last(), QStringLiteral("adapter missing ttyTEST0"));

        const QStringList files = (RunLogFiles() - FilesBefore).values();
        QCOMPARE(files.size(), 1);
        QFile file(QDir(RunLogFolder()).filePath(files.first()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        // The header, one row per point drawn, and the empty piece after the last CR LF.
        QCOMPARE(lines.size() - 2, drawn.size());
        QVERIFY(lines.size() - 1 >= recorded.size());
    }

    // Pulled out while still searching: nothing was identified, so nothing is lost; the port comes
    // back and the search goes on to find the heater.
    void replugWhileSearching()
    {
        Sim = CreateSimulator(QStringLiteral("Hydrel-7S"));
        Line = H->Connect(Sim.get());
        Sim->SetFailureMode(QStringLiteral("silence"));
        H->Choose(QStringLiteral("Hydrel-7S"));
        H->Clock.AdvanceBy(3000);
        Line->Unplug();
        H->Clock.AdvanceBy(5000);
        QCOMPARE(Recorder.States.join(QStringLiteral(" / ")),
                 QStringLiteral("opening ttyTEST0 / searching / adapter missing ttyTEST0"));
        Sim->SetFailureMode(QStringLiteral("none"));
        Line->Replug();
        QVERIFY(Advance([&] { return CurrentProduct->Identified; }, 10000));
        QCOMPARE(Recorder.States.mid(3, 1), QStringList({QStringLiteral("searching")}));
        QVERIFY(Recorder.States.last().startsWith(QStringLiteral("identified Hydrel-7S #")));
        QVERIFY(!H->LogContains(QStringLiteral("Connection lost.")));
    }
};

QTEST_MAIN(TestConnectionReplug)
#include "tst_connection_replug.moc"
