#include "product/Scheduler.h"
#include "product/QtScheduler.h"

namespace {
TScheduler *installed = nullptr;
}

TScheduler &TScheduler::Instance()
{
    if (installed)
        return *installed;
    static TQtScheduler qtScheduler;
    return qtScheduler;
}

void TScheduler::Install(TScheduler *scheduler)
{
    installed = scheduler;
}
