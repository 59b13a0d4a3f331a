#pragma once
#include "product/Presentation.h"
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// What sets the old-revision air heater apart from the pre-heater on the same command-queue line:
// timing, the poll cycle, which answers it decodes, its log lines, its windows and its texts.
struct TAirModel {
    QString ClassName;  // "TZephalOld"
    QString ModelName;  // the menu caption
    QString TitleName;  // "Zephal" in "Thermoryx Diagnostic - Zephal - Connecting..."

    int SearchIntervalMs = 2000;
    int PollIntervalMs = 2000;
    int WatchdogIntervalMs = 350;
    int PollPauseMs = 200;      // after each command of the poll cycle
    int SerialPauseMs = 100;    // between the two serial-number requests
    int StopPauseMs = 100;      // after the stop command
    QList<quint8> PollCycle;    // after the status command
    quint8 CycleEndCode = 35;   // the answer that completes a poll cycle
    // Search: the extra commands sent before the identity requests, and the pause between steps.
    QList<quint8> SearchProbes;
    int SearchPauseMs = 250;

    bool AcceptZeroStatus = true;    // an answer with status byte 0 is an answer, not noise
    bool ResendOnWatchdog = false;   // a silent watchdog interval sends the command in flight again
    bool LogsQueueLength = false;    // SendCommand logs the queue length
    bool LogsSentCommand = true;     // ProcessCommand logs each transmission
    QSet<quint8> DecodedAnswers;

    // Windows.
    QList<TPanelSection> PanelSections;
    QList<TLegendEntry> HiddenLegendEntries;
    QString ExternalCaption;          // lbl7
    QStringList GridCaptions;
    QString RunLogHeader;
    bool HasFuelPump = true;          // the pump frequency is polled, shown and charted
    bool EdrShowsFiCalibration = true;
};

const TAirModel &ZephalOldModel();
const TAirModel &CorvaOldModel();
