#pragma once
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// What the service history holds, as the History window reads it.

// A heater the program has identified: one row per model and serial number.
struct THeaterRecord {
    qint64 Id = 0;
    QString Model;        // the menu caption, e.g. "Hydrel-7S"
    QString SerialNumber;
    QString Firmware;     // as the last identification answered it
    QDateTime FirstSeen;
    QDateTime LastSeen;
};

// A day the heater was seen (identified, a run recorded or its EDR read), with what that day holds.
struct TVisitRecord {
    QDate Day;
    int Runs = 0;
    int EdrReads = 0;
};

// A recorded run: its file and what the file shows.
struct TRunRecord {
    qint64 Id = 0;
    qint64 HeaterId = 0;
    QString CsvPath;
    QDateTime Started;
    QDateTime Ended;
    qint64 DurationSeconds = 0;
    QString Stages;              // the stages passed, in the order first reached: "0, 1, 2, 3, 4"
    QString HighestTemperatures; // per temperature column: "T plate 85.5, T liq. 70"
    std::optional<double> LowestVoltage;
    QString FaultCodes;          // the fault codes seen, other than 0: "12, 33"; empty for none
};

// An EDR read: the image as the heater's memory held it and the report made from it.
struct TEdrReadRecord {
    qint64 Id = 0;
    qint64 HeaterId = 0;
    QDateTime ReadAt;
    QByteArray Image;
    QString Report;
};

// One page of the heater list and how many heaters match in all.
struct THeaterPage {
    QList<THeaterRecord> Heaters;
    qint64 Total = 0;
};
