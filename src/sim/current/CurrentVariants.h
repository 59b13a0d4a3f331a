#pragma once
#include "sim/current/StageProgramme.h"
#include "sim/current/StatusFields.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// What sets one current-family heater apart from another on the line: speed, where each value sits
// in its status answer and how it encodes it, its run after a start, how it states its identity, and
// what its EEPROM holds. One simulator plays every model from such a row.

// Where each value sits in a status answer and how the heater encodes it (see StatusFields.h).
struct TStatusLayout {
    int PayloadLength = 0;
    TField Stage{}, Mode{};
    TField WorkTime{}, StageTime{}, ModeTime{}; // seconds
    TField BlowerSet{}, BlowerActual{};         // revolutions per second
    TField PlugPwm{};                           // the plug's pulse width, in the heater's own steps
    TField FuelPump{};                          // fuel-pump frequency, Hz
    TField FlameIndicator{};                    // degrees Celsius
    TField TempLiquid{}, TempPlate{};           // degrees Celsius: the liquid (at the outlet), the board
    TField TempOverheat{};                      // degrees Celsius, the overheat sensor on the heat exchanger
    TField Voltage{};                           // volts
    TField TempExternal{};                      // degrees Celsius; 127 when no sensor is fitted
    TField CirculationPump{}, FanRelay{};       // 1 while on, else 0
    TField FaultCode{};
};

struct TCurrentVariant;
using TEepromBuilder = QByteArray (*)(const TCurrentVariant &variant);

struct TCurrentVariant {
    QString Model; // the menu caption, e.g. "Hydrel-7S"
    qint32 BaudRate = 2400;
    // A heater that sleeps until it hears these raw bytes at WakeUpBaudRate; empty: always awake.
    QByteArray WakeUp;
    qint32 WakeUpBaudRate = 0;
    TStatusLayout Status;
    bool ExternalSensor = false; // an air-temperature sensor is plugged in
    // Identity: the serial answer is a prefix of SerialPrefixBytes bytes and a 24-bit number.
    int SerialPrefixBytes = 2;
    quint16 SerialPrefix = 7;
    quint32 SerialNumber = 1234;
    QByteArray VersionAnswer; // the payload of the version answer, as the heater sends it
    // Its run after a start, and the modes it rests in.
    TStageProgramme Programme;
    // The 1024-byte EEPROM image for this model, with its counters and fault records.
    TEepromBuilder BuildEeprom = nullptr;
};

// The models the simulator plays; nullptr for a model it does not know.
const TCurrentVariant *FindCurrentVariant(const QString &model);
QStringList CurrentVariantModels();
