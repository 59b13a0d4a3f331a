// Reading the heater's event data recorder: the status stream is paused, the EEPROM is read block by
// block with retries, and the report goes to the EDR window.
#include "current/CurrentFrame.h"
#include "current/CurrentProduct.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "product/Presentation.h"

namespace {
constexpr int AttemptsPerBlock = 3;
constexpr int WaitsPerAttempt = 30;
constexpr int WaitMs = 300;
} // namespace

void TCurrentProduct::DecodeEepromBlock(const QByteArray &frame)
{
    const int dataLength = quint8(frame[2]) - 2;
    const int address = int(FrameBE(frame, 5, 2));
    for (int i = 0; i < dataLength; ++i) {
        // Data past the end of the image is dropped.
        if (address + i >= EepromSize)
            break;
        EepromImage[size_t(address + i)] = FrameByte(frame, 7 + i);
    }
    EepromAnswered = true;
}

TCurrentProduct::TBlockResult TCurrentProduct::ReadEepromBlock(int address, int length)
{
    const QByteArray request = Payload({quint8(address >> 8), quint8(address & 0xFF), quint8(length)});
    for (int attempt = 0; attempt < AttemptsPerBlock; ++attempt) {
        EepromAnswered = false;
        SendCommand(3, 0, 11, request);
        EepromWait = WaitsPerAttempt;
        do {
            if (!Delay(WaitMs))
                return TBlockResult::TornDown;
            if (View().WaitCancelled())
                return TBlockResult::Cancelled;
            --EepromWait;
        } while (!EepromAnswered && EepromWait > 0);
        if (EepromAnswered)
            return TBlockResult::Answered;
    }
    return TBlockResult::Unanswered;
}

void TCurrentProduct::ReadEDR()
{
    if (Stage != 0 || Mode != 1) {
        ShowMessage(Model.EdrRefusal);
        return;
    }
    if (!StatusActive)
        return;
    auto endReading = [this] {
        EdrReading = false;
        View().SetWaitPanelVisible(false);
    };
    try {
        View().SetWaitPanelVisible(true);
        StopPolling();
        if (!Delay(300))
            return endReading();
        StatusActive = false;
        EdrReading = true;
        const TEdrBlocks blocks = EdrBlocks();
        for (int block = 0; block < blocks.Count; ++block) {
            View().SetWaitProgress(block + 1, blocks.Count);
            if (!Delay(blocks.PauseMs))
                return endReading();
            const TBlockResult result = View().WaitCancelled() ? TBlockResult::Cancelled
                                                               : ReadEepromBlock(block * blocks.Length, blocks.Length);
            if (result == TBlockResult::TornDown)
                return endReading();
            if (result == TBlockResult::Cancelled) {
                // Nothing of a half-read image is shown; the status stream comes back.
                Log(QStringLiteral("EDR reading cancelled."));
                endReading();
                StartPolling();
                return;
            }
            if (result == TBlockResult::Unanswered) {
                Log(QStringLiteral("EEPROM reading error."));
                endReading();
                ShowMessage(QStringLiteral("Can't read EDR. Try again."));
                return;
            }
        }
        View().SetEdrReport(EdrReport());
        EdrReading = false;
        StartPolling();
        View().SetWaitPanelVisible(false);
        View().BringUpEdr();
    } catch (const std::exception &error) {
        Log(QStringLiteral("EEPROM reading exception: ") + ErrorMessage(error));
        ShowMessage(Model.EdrErrorPrefix + ErrorMessage(error));
        endReading();
        View().PutAwayEdr();
    }
}
