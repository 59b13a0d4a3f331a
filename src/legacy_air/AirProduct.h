#pragma once
#include "legacy_air/AirFrame.h"
#include "legacy_air/AirModel.h"
#include "product/Product.h"
#include <QByteArray>
#include <QList>
#include <QSet>
#include <QStringList>

// What the old-revision air heater and the pre-heater share: a queue of commands with one in flight,
// answers taken as the answer to the command at the head of the queue, polling by a cycle of
// commands, the identity, the values and their presentation, the run log, the EDR dump and the
// start, stop and blower commands. The model descriptor holds what differs.
class TAirProduct : public TProduct {
public:
    explicit TAirProduct(const TAirModel &model);

    QString ClassName() const override { return Model.ClassName; }
    QString ModelName() const override { return Model.ModelName; }
    // The dump's first 256 bytes: what the report is made from.
    QByteArray EdrImage() const override { return EdrBlock.left(256); }

    void UpdateStateText() override;
    void ParseData() override;
    void TimerEvent(QObject *sender) override;
    void ErTimerEvent(QObject *sender) override;
    void OnSearchTimer(QObject *sender) override;
    void TransmitTimerEvent(QObject *sender) override;
    void ReadEDR() override;
    void RequestSerialNumber() override;
    void RequestVersion() override;
    void StartPolling() override;
    void StopPolling() override;
    void Start() override;
    void Stop() override;
    void SetBlower(quint8 rps) override;

    // Queues one command; it goes out at once when nothing is in flight.
    void SendCommand(quint8 code);
    // Transmits the head of the queue, if any.
    void ProcessCommand();

    // "-" without a fault, else "[code]" and the fault's name.
    static QString MakeFaultText(quint8 code);
    // The fault's name alone; empty for a code without one.
    static QString FaultName(quint8 code);
    static QString StageText(quint8 stage);
    // The band colour of a stage of this family (its stages map onto the key's colours).
    static std::optional<QColor> AirStageColor(int stage);
    QString RunLogRow() const override;

    QList<quint8> pq;
    QByteArray EdrBlock;
    bool EdrReceived = false;
    int EdrWaitCount = 0;
    quint8 StatusCommand = 3;
    quint16 SerialRawHigh = 0;
    quint16 SerialRawLow = 0;
    bool FaultFlag = false;
    bool StatusBit0 = false;
    double SpareValue[2] = {0, 0};
    TAirDrops Drops;

    // A dump that fails its sum is asked for again at most this many times.
    static constexpr int DumpRepeats = 3;

protected:
    const TAirModel &Model;

    QString SearchingTitle() const override;
    // An answer names no command and carries a one-byte sum, so a noise burst can pass for one: a
    // value that no heater shows counts once it outlasts a poll cycle and a half.
    int MisfitTicks() const override { return 5; }
    bool SearchBurst() override;
    void BeginPolling() override;
    int WatchdogLimit() const override { return 15; }
    void ClearDecodedValues() override;
    void FillStringGrid() override;
    void AddChartPoints(TPresentation &charts, double x) override;
    std::optional<QColor> StageBandColor() const override;

    // Answers a model decodes beyond the shared ones (the FI calibration values, say).
    virtual void DecodeOwnAnswer(quint8 code, const QByteArray &frame);
    void RefuseLaunched() const;

private:
    void HandleDump(TAirCut kind, const QByteArray &dump);
    void DecodeAnswer(quint8 code, const QByteArray &frame);
    void DecodeStatus(quint8 d1, quint8 d2);
    void DecodeIdentity(quint8 code, quint8 d1, quint8 d2);
    void CompleteCycle();
    QString IdentifiedTitle() const;

    // A request of the poll cycle that met nothing at all on the line, while the rest of the cycle
    // was answered: the heater does not know it, and is of the other model of this line.
    void NoteUnansweredPoll();

    bool Parsing = false;
    int DumpFailures = 0;
    bool DumpGivenUp = false;
    // The commands answered since the identification, and whether any byte came back since the
    // command in flight went out.
    QSet<quint8> AnsweredCodes;
    bool HeardSinceSent = false;
};
