#pragma once
#include <QString>
#include <QStringList>

// What the command line asks for. The window flow (adapter dialog, then the model menu) is the
// default; the options skip steps of it.
struct TCommandLine {
    QString Port;      // --port NAME
    QString Model;     // --model NAME (a menu caption, or "detect")
    bool Demo = false; // --demo [MODEL]
    QString LogFile;   // --log-file PATH
    QString TraceFile; // --trace-file PATH
    QString Replay;    // --replay PATH
    QString HistoryDb; // --history-db PATH
    bool Help = false;
    bool Version = false;
    QString Error;     // set when the arguments cannot be used

    // --model detect: "Detect model..." at start.
    bool Detect() const { return Model.compare(QStringLiteral("detect"), Qt::CaseInsensitive) == 0; }

    static TCommandLine Parse(const QStringList &arguments);
    static QString HelpText();
};
