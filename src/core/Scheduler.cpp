#include "core/Scheduler.h"
#include "core/QtScheduler.h"

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
