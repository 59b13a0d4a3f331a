#pragma once
#include "product/Product.h"
#include <QStringList>

// A minimal handler for testing the product base and the main window: it opens the port, searches
// with a burst of waits like the real families, and records what reaches it.
class TTestProduct : public TProduct {
public:
    TTestProduct();
    ~TTestProduct() override;

    QString ClassName() const override { return QStringLiteral("TTestProduct"); }
    QString ModelName() const override { return QStringLiteral("Corva"); }

    void UpdateStateText() override {}
    void ParseData() override;
    void TimerEvent(QObject *) override { Calls << "TimerEvent"; }
    void ErTimerEvent(QObject *) override { Calls << "ErTimerEvent"; }
    void TransmitTimerEvent(QObject *) override { Calls << "TransmitTimerEvent"; }
    void OnSearchTimer(QObject *) override;
    void ReadEDR() override { Calls << "ReadEDR"; }
    void RequestSerialNumber() override {}
    void RequestVersion() override {}
    void StartPolling() override {}
    void StopPolling() override {}
    void Start() override { Calls << "Start"; }
    void Stop() override { Calls << "Stop"; }
    void SetBlower(quint8) override {}

protected:
    QString SearchingTitle() const override { return QStringLiteral("Thermoryx Diagnostic - Corva - Connecting..."); }
    void FillStringGrid() override {}
    void AddChartPoints(TPresentation &, double) override {}
    QString RunLogRow() const override { return {}; }

public:

    // How many waits of 100 ms a search tick makes, and how many it made before it had to stop.
    int SearchWaits = 0;
    int WaitsDone = 0;
    bool InOperation = false;
    QStringList Calls;
    QList<QByteArray> Parsed;

    // Set when a handler was deleted while one of its operations was still running.
    static bool DeletedWhileBusy;
    static int Alive;
    // Instances in order of creation; a new handler may reuse the address of the one it replaced.
    static int Created;
    int Number = 0;
};
