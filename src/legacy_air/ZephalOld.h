#pragma once
#include "legacy_air/AirProduct.h"

// The old-revision air heaters "Zephal-3/-33/-6": the shared queue protocol plus the FI calibration,
// the old-revision settings and the fuel-pump frequency.
class TZephalOld : public TAirProduct {
public:
    TZephalOld();

    void StartWithSettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode,
                           quint8 power) override;
    void ApplySettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode,
                       quint8 power) override;
    void CalibrateFI() override;
    void ApplySettingsOld(quint8 workMode, quint8 setpointIndex, quint8 rcSetpointIndex, quint8 power) override;

    quint8 FiResultA = 0;
    quint8 FiResultB = 0;

protected:
    void DecodeOwnAnswer(quint8 code, const QByteArray &frame) override;

private:
    bool FiAnsweredA = false;
    bool FiAnsweredB = false;
};
