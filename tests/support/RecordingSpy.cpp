#include "support/RecordingSpy.h"
#include "app/Globals.h"
#include "core/Scheduler.h"
#include "product/Product.h"
#include "serial/ComPort.h"
#include <cmath>

TRecordingSpy::TRecordingSpy(TPresentation *windows, TStatusRule isStatus)
    : Windows(windows), IsStatus(std::move(isStatus))
{
}

void TRecordingSpy::NewHandler()
{
    ++Handler;
    AnsweredSinceTick = false;
    Answers = 0;
    LastAnswerAt = -1;
}

bool TRecordingSpy::ConfirmedLater(const TTick &tick) const
{
    return LastAnswer.value({tick.Handler, tick.Losses}, -1) > tick.AnswersBefore;
}

void TRecordingSpy::SetGridCell(int column, int row, const QString &text)
{
    Windows->SetGridCell(column, row, text);
    const TProduct *product = CurrentProduct;
    if (column != 1 || row != 0 || !product)
        return;
    TTick tick;
    tick.Handler = Handler;
    tick.Charts = Charts;
    tick.Tick = product->Tick;
    tick.Running = product->Running;
    tick.Away = ComPort && ComPort->Lost();
    tick.Answered = AnsweredSinceTick;
    tick.Losses = Losses;
    tick.AnswersBefore = Answers;
    tick.AtMs = TScheduler::Instance().Now();
    TickList << tick;
    AnsweredSinceTick = false;
}

void TRecordingSpy::ClearCharts()
{
    Windows->ClearCharts();
    ++Charts;
}

void TRecordingSpy::AddPoint(TSeries series, double x, double y)
{
    Windows->AddPoint(series, x, y);
    const qint64 tick = std::llround(x * 86400);
    const int during = int(TickList.size()) - 1;
    if (PointList.isEmpty() || PointList.last().Handler != Handler || PointList.last().Charts != Charts
        || PointList.last().Tick != tick || PointList.last().DuringTick != during
        || PointList.last().Values.contains(series))
        PointList.append({Handler, Charts, tick, during, {}});
    PointList.last().Values.insert(series, y);
}

void TRecordingSpy::NoteFrame(TFrameDirection direction, const QByteArray &frame, bool valid)
{
    Windows->NoteFrame(direction, frame, valid);
    if (direction != TFrameDirection::Received || !valid || !IsStatus(frame))
        return;
    AnsweredSinceTick = true;
    ++Answers;
    LastAnswerAt = TScheduler::Instance().Now();
    LastAnswer.insert({Handler, Losses}, Answers);
}
