#pragma once
#include "legacy_liquid/Hydrel7EdrReport.h"
#include "legacy_liquid/Hydrel7Frame.h"
#include "product/Product.h"
#include <array>

// The legacy liquid heater "Hydrel-7": ten-byte frames at 1200 baud. Once asked, the heater streams a
// cycle of status messages on its own; the message that ends a cycle carries the program's pending
// requests (start, stop, pump type) until the heater confirms them, and it also tells when a
// recorded run has ended. FI calibration and the EDR read pause the stream and restart it after.
class THydrelOld : public TProduct {
public:
    THydrelOld();

    QString ClassName() const override { return QStringLiteral("THydrelOld"); }
    QString ModelName() const override { return QStringLiteral("Hydrel-7"); }
    QByteArray EdrImage() const override
    {
        return QByteArray(reinterpret_cast<const char *>(EepromImage.data()), qsizetype(EepromImage.size()));
    }

    void UpdateStateText() override;
    void ParseData() override;
    // The stream needs no request of its own.
    void TimerEvent(QObject *) override {}
    void ReadEDR() override;
    void RequestSerialNumber() override;
    void RequestVersion() override;
    void StartPolling() override;
    void StopPolling() override;
    void Start() override;
    void Stop() override;
    // The blower and fuel-pumping sections are hidden for this model: nothing to do.
    void SetBlower(quint8) override {}
    void PumpFuel(quint8) override {}
    void CalibrateFI() override;
    // Raises a pump-type request that goes out with the next end of a status cycle.
    void SetPumpType(bool bosch) override;

    // Frame bytes 1 to 8; the frame goes out with its start byte and sum, and arms the watchdog.
    void SendCommand(const Hydrel7::TRequestBytes &bytes);

    // The run log's header and the row of the current values.
    static QString RunLogHeader();
    QString RunLogRow() const override;

    // A request waits for the next end of a status cycle (Waiting), is confirmed, or there is none.
    enum TPending : qint32 { None = -1, Waiting = 0, Confirmed = 1 };
    qint32 StartPending = None;
    qint32 StopPending = None;
    qint32 PumpTypePending = None;
    quint8 PumpType = 0;

    quint8 Relay = 0;
    quint8 Pump = 0;

    // FI calibration: the stored value and the result, and which of their replies came.
    quint8 FiOldValue = 0;
    double FiResult = 0;
    bool FiOldValueAnswered = false;
    bool FiResultAnswered = false;

    bool EepromAnswered = false;
    std::array<quint8, 3> EepromReply{};
    qint32 EepromWait = 0;
    Hydrel7::TEepromImage EepromImage{};

    // What the extraction has dropped so far.
    const Hydrel7::TDrops &Drops() const { return LineDrops; }

protected:
    QString SearchingTitle() const override;
    // The liquid temperatures keep their last readings; the pending requests are forgotten.
    void ClearDecodedValues() override;

    void FillStringGrid() override;
    void AddChartPoints(TPresentation &charts, double x) override;
    std::optional<QColor> StageBandColor() const override;

private:
    void DispatchFrame(const QByteArray &frame);
    void DecodeReply(const QByteArray &frame);
    void DecodeStatus(const QByteArray &frame);
    void EndOfCycle();
    void Request(quint8 command, quint8 data = 0, quint8 flags = Hydrel7::RequestFlags);
    // One EEPROM read into image bytes at..at + 2; false without a reply or when the handler goes.
    enum class TReadResult { Answered, Unanswered, TornDown, Cancelled };
    TReadResult ReadEepromTriple(int address);
    void EndEdrReading();

    Hydrel7::TDrops LineDrops;
    bool Parsing = false;
};
