#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A run-log file read back: the header's captions and every row's values. The file is Windows-1251
// text, ";"-separated with a ";" after the last field, one line each; the decimal separator is
// whichever of ',' and '.' the numbers use. A file that is not such a run log gives a message that
// names the offending line, and no rows.
struct TRunLogContent {
    QString Header;            // the header line as written
    QStringList Columns;       // its captions
    QList<QList<double>> Rows; // one value per column
    QChar DecimalSeparator;    // ',' or '.'; '.' when no number has a fraction
    QString Error;             // empty when the whole file was read
    int ErrorLine = 0;         // 1-based line of the fault; 0 when the file as a whole is at fault
};

TRunLogContent ReadRunLogBytes(const QByteArray &bytes);
