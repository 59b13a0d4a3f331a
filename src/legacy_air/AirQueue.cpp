// The command queue of the legacy air family: one command in flight, its answer cut from the
// receive buffer and taken as the answer to the head of the queue, then the next command goes out.
#include "legacy_air/AirProduct.h"
#include "core/Errors.h"
#include "core/Timer.h"
#include "product/Presentation.h"
#include "serial/ComPort.h"

void TAirProduct::SendCommand(quint8 code)
{
    try {
        Log(TimeText() + QStringLiteral(" SendCommand(") + QString::number(code) + QLatin1Char(')'));
        if (Model.LogsQueueLength)
            Log(TimeText() + QStringLiteral(" SendCommand: Length(pq)=") + QString::number(pq.size()));
        pq.append(code);
        if (pq.size() == 1)
            ProcessCommand();
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("SendCommand"), QString::number(code), error);
    }
}

void TAirProduct::ProcessCommand()
{
    if (pq.isEmpty())
        return;
    const quint8 code = pq.first();
    if (code == AirDumpCommand)
        EdrReceived = false;
    // While the adapter is away nothing is sent: the watchdog runs out and the search opens the
    // port again once the adapter is back.
    if (Port && Port->Lost()) {
        if (ErTimer)
            ErTimer->SetEnabled(true);
        return;
    }
    try {
        if (!Port)
            throw Exception(QStringLiteral("The serial port is released."));
        const QByteArray request = AirRequest(code);
        Port->Write(request);
        HeardSinceSent = false;
        View().NoteFrame(TFrameDirection::Sent, request, true);
        if (Model.LogsSentCommand)
            Log(TimeText() + QStringLiteral(" ProcessCommand: ") + QString::number(code) + QLatin1Char(',')
                + QString::number(code) + QStringLiteral(" sent."));
        if (ErTimer)
            ErTimer->SetEnabled(true);
    } catch (const std::exception &error) {
        Log(TimeText() + QStringLiteral(" ProcessCommand exception: ") + ErrorMessage(error));
        // The command stays at the head: the watchdog decides what comes next.
        if (ErTimer)
            ErTimer->SetEnabled(true);
        try {
            if (Port) {
                Port->Close();
                Port->Open();
            }
        } catch (const std::exception &reopen) {
            Log(TimeText() + QStringLiteral(" Reopen Port exception: ") + ErrorMessage(reopen));
        }
    }
}

void TAirProduct::ParseData()
{
    // A decoder that pumps events could bring the receive event back in here; the running call takes
    // the new bytes itself.
    if (Parsing)
        return;
    Parsing = true;
    if (!RxData.isEmpty())
        HeardSinceSent = true;
    try {
        for (;;) {
            const bool dumpExpected = !pq.isEmpty() && pq.first() == AirDumpCommand;
            if (dumpExpected && ErTimer)
                ErTimer->SetEnabled(false);
            const TAirCutResult cut = CutAirAnswer(RxData, dumpExpected, {Model.AcceptZeroStatus}, &Drops);
            if (!cut.Skipped.isEmpty())
                View().NoteFrame(TFrameDirection::Received, cut.Skipped, false);
            if (cut.Kind != TAirCut::Waiting)
                View().NoteFrame(TFrameDirection::Received, cut.Bytes, cut.Kind != TAirCut::BadDump);
            if (cut.Kind == TAirCut::Waiting)
                break;
            if (cut.Kind != TAirCut::Answer) {
                HandleDump(cut.Kind, cut.Bytes);
                continue;
            }
            if (ErTimer)
                ErTimer->SetEnabled(false);
            ErrorCount = 0;
            NoteAnswer();
            if (!pq.isEmpty()) {
                AnsweredCodes.insert(pq.first());
                DecodeAnswer(pq.first(), cut.Bytes);
            }
            if (!pq.isEmpty())
                pq.removeFirst();
            ProcessCommand();
        }
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("ParseData"), error);
    }
    Parsing = false;
}

void TAirProduct::HandleDump(TAirCut kind, const QByteArray &dump)
{
    if (kind == TAirCut::Dump) {
        EdrBlock = dump;
        EdrReceived = true;
        DumpFailures = 0;
        pq.removeFirst();
    } else if (++DumpFailures > DumpRepeats) {
        // The heater keeps sending damaged dumps: the request is given up so the queue moves on.
        DumpFailures = 0;
        DumpGivenUp = true;
        pq.removeFirst();
    }
    ProcessCommand();
}

void TAirProduct::DecodeAnswer(quint8 code, const QByteArray &frame)
{
    const quint8 s = quint8(frame[0]);
    StatusBit0 = (s & 1) != 0;
    FaultFlag = (s & 2) != 0 && s < 32;
    if (!Model.DecodedAnswers.contains(code))
        return;
    const quint8 d1 = quint8(frame[1]);
    const quint8 d2 = quint8(frame[2]);
    const int word = d1 * 256 + d2;
    auto temperature = [word] { return (word * 5.0 / 1023 - 2.73) * 100; };
    switch (code) {
    case 1:
    case 3:
        DecodeStatus(d1, d2);
        break;
    case 23:
        Stage = d1 % 16;
        UpdateStateText();
        break;
    case 4:
    case 27:
    case 56:
    case 57:
        DecodeIdentity(code, d1, d2);
        break;
    case 7:
        Voltage = word / 10.0;
        break;
    case 15:
        TempExternal = temperature();
        break;
    case 16:
        TempPlate = temperature();
        break;
    case 26:
        FlameIndicator = word - 273;
        break;
    case 29:
        BlowerSet = d1;
        BlowerActual = d2;
        if (Model.CycleEndCode == 29)
            CompleteCycle();
        break;
    case 30:
        SpareValue[0] = d1;
        SpareValue[1] = d2;
        break;
    case 35:
        FuelPumpFrequency = d1 / 10.0;
        CompleteCycle();
        break;
    default:
        DecodeOwnAnswer(code, frame);
        break;
    }
}

void TAirProduct::DecodeOwnAnswer(quint8, const QByteArray &) {}

void TAirProduct::CompleteCycle()
{
    if (!TransmitTimer->Enabled())
        TransmitTimer->SetEnabled(true);
    StatusActive = true;
}
