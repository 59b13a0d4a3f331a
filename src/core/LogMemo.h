#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

class TTimer;

// The program's log: lines are only ever appended, and nothing here keeps them. Two kinds of
// listener take them:
// - LineRecorded gets every line exactly as appended (the --log-file keeps the whole record);
// - LineShown gets the lines for the log window, with repetition folded: a line that repeats one of
//   the few lines shown just before it (ignoring the time of day in front) is counted instead of
//   shown, and the count goes out as one line when a new line breaks the repetition, or once a
//   minute while it lasts. A heater that stays silent for a day thus fills the window with one
//   count line a minute, not with thousands of identical errors.
class TLogMemo : public QObject {
    Q_OBJECT
public:
    // How many different lines one repetition may cycle through and still be folded.
    static constexpr int FoldWidth = 8;
    // How often a repetition that goes on reports its count.
    static constexpr int FoldReportMs = 60'000;

    explicit TLogMemo(QObject *parent = nullptr);

    void Append(const QString &line);
    // The count of the repetition in progress goes out now (nothing when there is none).
    void ReportRepeats();

signals:
    void LineRecorded(const QString &line);
    void LineShown(const QString &line);

private:
    void Show(const QString &line);
    // The line without the time of day in front.
    static QString KeyOf(const QString &line);

    QStringList Group; // keys of the lines shown since the last new line broke a repetition
    QStringList RepeatedKeys; // which of them came again since the last count
    qint64 Repeats = 0;
    QString LastTime;  // time of day of the last repeated line, when it had one
    TTimer *FoldTimer;
};
