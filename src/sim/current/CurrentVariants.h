#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// What sets one current-family heater apart from another on the line: speed, where each value sits
// in its status answer, how it states its identity, and what its EEPROM holds. One simulator plays
// every model from such a row.

// Frame offsets (start byte = 0) of the values in a status answer; -1 where the model has no such value.
struct TStatusLayout {
    int PayloadLength = 0;
    int Stage = 5;
    int Mode = 6;
    int WorkTime = 7;
    int StageTime = 10;
    int ModeTime = 13;
    int TimeBytes = 3; // big-endian width of each of the three times
    int BlowerSet = 16;
    int BlowerActual = 17;
    int PlugPwm = 18;         // raw byte, plug PWM / 200
    int FuelPumpHundredths = 21; // fuel-pump frequency in 1/100 Hz, one byte
    int FlameIndicator = 22;  // kelvin, big-endian 16-bit
    int TempLiquid = 24;
    int TempPlate = 26;
    int Voltage = 27;         // 1/10 V, big-endian 16-bit
    int TempExternal = 30;    // 127 = no sensor fitted
    int FaultCode = 41;
};

struct TCurrentVariant;
using TEepromBuilder = QByteArray (*)(const TCurrentVariant &variant);

struct TCurrentVariant {
    QString Model; // the menu caption, e.g. "Hydrel-7S"
    qint32 BaudRate = 2400;
    TStatusLayout Status;
    // Identity: the serial answer is a prefix of SerialPrefixBytes bytes and a 24-bit number.
    int SerialPrefixBytes = 2;
    quint16 SerialPrefix = 7;
    quint32 SerialNumber = 1234;
    QByteArray VersionAnswer; // the payload of the version answer, as the heater sends it
    // The stage-0 mode in which the heater turns its blower on its own request (ventilation).
    quint8 BlowerMode = 3;
    // The 1024-byte EEPROM image for this model, with its counters and fault records.
    TEepromBuilder BuildEeprom = nullptr;
};

// The models the simulator plays; nullptr for a model it does not know.
const TCurrentVariant *FindCurrentVariant(const QString &model);
QStringList CurrentVariantModels();
