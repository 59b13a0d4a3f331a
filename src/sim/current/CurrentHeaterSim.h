#pragma once
#include "core/Scheduler.h"
#include "sim/HeaterFaults.h"
#include "sim/HeaterSimulator.h"
#include "sim/LineFaults.h"
#include "sim/current/CurrentHeaterModel.h"
#include "sim/current/CurrentVariants.h"
#include "sim/current/SimFraming.h"
#include <QList>

// A current-family heater on the line: it answers identification and EEPROM requests, streams its
// status once a second while asked to, acknowledges a start, and obeys stop, blower, fuel-pumping
// and circulation-pump commands. The model row sets the speed, the status layout and the identity.
// A row with a wake-up sequence keeps the heater asleep, hearing nothing, until those raw bytes come
// at the row's wake-up speed. Bytes sent at a speed other than the one the heater listens at are
// garbled on a real line, so they go unheard; a line that never tells its speed (a pseudo-terminal)
// is taken to run at whatever speed the heater listens at.
//
// Failure modes (SetFailureMode):
//   "none"                          everything below off
//   the line faults of TLineFaults  "silence" (still hears and obeys), "bad-crc", "split-frames",
//                                   "noise"; they replace one another
//   the heater faults of THeaterFaults  "retry-only" (a request is one command with its payload),
//                                   "restart" (back asleep when the row has a wake-up sequence)
//   "fault-N" (N = 1..255)          reports fault code N in its status; "fault-0" clears it
//   "edr-first-request-unanswered"  ignores the first EEPROM request it hears afterwards
// The heater fault, the fault code and the EEPROM mode come on top of the line fault.
class TCurrentHeaterSim : public THeaterSimulator {
public:
    explicit TCurrentHeaterSim(const TCurrentVariant &variant, quint32 seed = 1);
    ~TCurrentHeaterSim() override;

    void Receive(const QByteArray &bytes) override;
    void LineBaudRateChanged(qint32 bitsPerSecond) override;
    bool SetFailureMode(const QString &name) override;
    QStringList FailureModes() const override;

    // The status stream keeps one answer a second whatever the speed; 1 by default.
    void SetSpeed(double factor) override;
    void StartByItself() override;
    void StopByItself() override;
    void CutPower(int ms) override;
    // Another serial number and version (the EEPROM image is made afresh with that number).
    void SetIdentity(quint16 serialPrefix, quint32 serialNumber, const QByteArray &versionAnswer);

    const TCurrentHeaterModel &Heater() const { return Physics; }
    bool Streaming() const { return StatusTask != 0; }
    const QByteArray &Eeprom() const { return EepromImage; }
    // The command byte of every valid request heard, in order.
    const QList<quint8> &Heard() const { return HeardCommands; }
    // EEPROM requests left unanswered on purpose, for the tests.
    int EepromRequestsIgnored() const { return EepromIgnored; }

    static constexpr int StatusPeriodMs = 1000;

private:
    bool Hears(qint32 listeningAt) const { return LineSpeed == 0 || LineSpeed == listeningAt; }
    // Takes the bytes up to the end of the wake-up sequence; returns how many it took.
    qsizetype ListenForWakeUp(const QByteArray &bytes);
    void Handle(const SimFraming::TRequest &request);
    void AnswerEeprom(const QByteArray &payload);
    QByteArray StatusPayload() const;
    void StartClock();
    void StepHeater();
    void StartStream();
    void StopStream();
    void SendStatus();
    void PowerOn();

    TCurrentVariant Model;
    TCurrentHeaterModel Physics;
    SimFraming::TRequestReader Reader;
    QByteArray EepromImage;
    QList<quint8> HeardCommands;
    TLineFaults Line;
    THeaterFaults Faults;

    bool IgnoreNextEepromRequest = false;
    qint32 LineSpeed = 0; // 0: the line has not told
    bool WokenUp = false;
    QByteArray WakeUpHeard; // the last bytes heard while asleep
    double Speed = 1.0;
    int EepromIgnored = 0;

    TScheduler::TaskId StepTask = 0;
    TScheduler::TaskId StatusTask = 0;
};
