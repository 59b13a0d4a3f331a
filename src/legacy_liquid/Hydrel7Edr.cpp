// Reading the Hydrel-7's EEPROM, three bytes a request, into the EDR report. The status stream is
// paused meanwhile and restarted after a complete reading.
#include "legacy_liquid/Hydrel7.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "product/Presentation.h"

namespace {
constexpr quint8 EepromReadCode = 119;
// The image is read three bytes at a time from 0 to 252, then from 253 for its last three bytes.
constexpr int TripleReads = 85;
constexpr int LastTripleAt = 253;
constexpr int WaitsPerRead = 30;
constexpr int WaitMs = 200;
} // namespace

THydrelOld::TReadResult THydrelOld::ReadEepromTriple(int address)
{
    Log(QStringLiteral("Reading ") + QString::number(address == LastTripleAt ? LastTripleAt : address / 3));
    EepromWait = WaitsPerRead;
    EepromAnswered = false;
    Request(EepromReadCode, quint8(address));
    do {
        if (!Delay(WaitMs))
            return TReadResult::TornDown;
        if (View().WaitCancelled())
            return TReadResult::Cancelled;
        --EepromWait;
    } while (!EepromAnswered && EepromWait > 0);
    if (!EepromAnswered)
        return TReadResult::Unanswered;
    for (int i = 0; i < 3; ++i)
        EepromImage[size_t(address + i)] = EepromReply[size_t(i)];
    return TReadResult::Answered;
}

void THydrelOld::EndEdrReading()
{
    EdrReading = false;
    View().SetWaitPanelVisible(false);
}

void THydrelOld::ReadEDR()
{
    if (Stage != 0) {
        ShowMessage(QStringLiteral("Can't read EDR: Hydrel-7 launched"));
        return;
    }
    if (!StatusActive)
        return;
    try {
        View().SetWaitPanelVisible(true);
        for (int i = 0; i < 3; ++i) {
            StopPolling();
            if (!Delay(500))
                return EndEdrReading();
        }
        StatusActive = false;
        EdrReading = true;
        QList<int> addresses;
        for (int n = 0; n < TripleReads; ++n)
            addresses << 3 * n;
        addresses << LastTripleAt;
        for (qsizetype i = 0; i < addresses.size(); ++i) {
            View().SetWaitProgress(int(i + 1), int(addresses.size()));
            const TReadResult result = View().WaitCancelled() ? TReadResult::Cancelled : ReadEepromTriple(addresses[i]);
            if (result == TReadResult::TornDown)
                return EndEdrReading();
            if (result == TReadResult::Cancelled) {
                // Nothing of a half-read image is shown; the status stream comes back.
                Log(QStringLiteral("EDR reading cancelled."));
                EndEdrReading();
                StartPolling();
                return;
            }
            if (result == TReadResult::Unanswered) {
                Log(QStringLiteral("EEPROM reading error."));
                EndEdrReading();
                ShowMessage(QStringLiteral("Can't read EDR. Try again."));
                return;
            }
        }
        View().SetEdrReport(Hydrel7::EdrReport(EepromImage));
        EdrReading = false;
        StartPolling();
        View().SetWaitPanelVisible(false);
        View().BringUpEdr();
    } catch (const std::exception &error) {
        Log(QStringLiteral("EEPROM reading exception: ") + ErrorMessage(error));
        ShowMessage(QStringLiteral("Error reading EDR: ") + ErrorMessage(error));
        EndEdrReading();
        View().PutAwayEdr();
    }
}
