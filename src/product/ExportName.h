#pragma once
#include <QDateTime>
#include <QString>

// Names of the files a technician takes away (EDR report, chart, trace): they begin as the run logs
// do, with the heater's serial number and the moment, so that files of one heater sort together and
// the next heater's never replace them.

// "[<serial>] yyyy-mm-dd hh-mm-ss <what>.<extension>", e.g. "[934200004] 2026-12-11 08-00-37 EDR.txt".
QString ExportFileName(const QString &serialNumber, const QDateTime &localTime, const QString &what,
                       const QString &extension);
// The same for what covers a whole day: "[<serial>] yyyy-mm-dd <what>.<extension>", e.g.
// "[934200004] 2026-12-11 service report.pdf".
QString DayExportFileName(const QString &serialNumber, const QDate &day, const QString &what,
                          const QString &extension);
// The path with ".<extension>" added when its file name has no extension of its own; an empty path
// (a cancelled dialog) stays empty.
QString WithExtension(const QString &path, const QString &extension);

// The heater a file or a printed page is about, as the handler knows it.
struct THeaterIdentity {
    QString Model;        // the menu caption, e.g. "Corva-mini"
    QString SerialNumber; // empty: never identified
    QString Firmware;     // the version answer's text
};
