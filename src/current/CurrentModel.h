#pragma once
#include "product/Presentation.h"
#include "serial/ComPort.h"
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// How a current-family heater states its serial number: the high part is the two bytes 5..6
// (liquid heater) or the one byte 5 (air heaters and the pre-heater); the low part, 24 bits, follows.
enum class TSerialLayout { TwoByteHigh, OneByteHigh };
// How it states its firmware version: five bytes as five numbers, or four numbers from BE16(5..6),
// byte 7's low seven bits, byte 7's top bit and byte 8.
enum class TVersionLayout { FiveBytes, FourNumbers };

// What sets one current-family model apart in its link, windows and texts. The family constructor
// applies it; the model class adds only its status offsets, texts and report.
struct TCurrentModel {
    TBaudRate BaudRate = TBaudRate::Br2400;
    // The name in the title lines ("Hydrel-7S" in "Thermoryx Diagnostic - Hydrel-7S - Connecting...").
    QString TitleName;
    // The title at creation when it differs from the searching title after a connection loss.
    QString CreationTitle;
    // The name in the refusals ("Unable to perform: Hydrel-7S launched.").
    QString RefusalName;
    TSerialLayout Serial = TSerialLayout::TwoByteHigh;
    TVersionLayout Version = TVersionLayout::FiveBytes;
    // The payload length of the model's status answer; an answer of another length is another model's.
    int StatusLength = 0;

    // The control-panel sections and the legend changes of the model.
    QList<TPanelSection> PanelSections;
    QList<TLegendEntry> HiddenLegendEntries;
    QList<QPair<TLegendCaption, QString>> LegendCaptions;
    // The captions of the current-data grid, one row each.
    QStringList GridCaptions;

    // Texts of the EDR reading: the refusal while the heater runs, the message box of a failure.
    QString EdrRefusal;
    QString EdrErrorPrefix = QStringLiteral("Error reading EDR: ");
    // The refusal of fuel pumping while the heater runs; empty: the launched refusal.
    QString PumpFuelRefusal;
    // ApplySettings only while the heater runs; a blower started from rest begins a recording.
    bool ApplySettingsNeedsLaunch = true;
    bool RecordsBlowerFromRest = true;
};
