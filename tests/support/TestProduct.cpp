#include "support/TestProduct.h"
#include "core/Timer.h"
#include "serial/ComPort.h"

bool TTestProduct::DeletedWhileBusy = false;
int TTestProduct::Alive = 0;
int TTestProduct::Created = 0;

TTestProduct::TTestProduct()
{
    Port->SetBaudRate(TBaudRate::Br2400);
    Port->Open();
    SetTitle(SearchingTitle());
    SearchTimer->SetEnabled(true);
    ++Alive;
    Number = ++Created;
}

TTestProduct::~TTestProduct()
{
    if (InOperation)
        DeletedWhileBusy = true;
    --Alive;
}

void TTestProduct::ParseData()
{
    Parsed << RxData;
    RxData.clear();
}

void TTestProduct::OnSearchTimer(QObject *)
{
    Calls << "OnSearchTimer";
    SearchTimer->SetEnabled(false);
    InOperation = true;
    for (int i = 0; i < SearchWaits; ++i) {
        if (!Delay(100))
            break;
        ++WaitsDone;
    }
    InOperation = false;
}
