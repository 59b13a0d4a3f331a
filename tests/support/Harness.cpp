#include "support/Harness.h"
#include "app/Globals.h"
#include "app/Models.h"
#include "app/Windows.h"
#include "app/fMain.h"
#include "core/LogMemo.h"
#include "product/Product.h"
#include "serial/MemoryChannel.h"
#include "serial/ComPort.h"
#include <QAction>

THandlerStandIn::THandlerStandIn(const QString &caption, std::function<TProduct *()> create) : Caption(caption)
{
    auto &model = *const_cast<TModel *>(FindModel(caption));
    Saved = std::exchange(model.CreateHandler, std::move(create));
}

THandlerStandIn::~THandlerStandIn()
{
    const_cast<TModel *>(FindModel(Caption))->CreateHandler = std::move(Saved);
}

THarness::THarness()
{
    TScheduler::Install(&Clock);
    SetDialogHook([this](TDialogKind kind, const QString &text) {
        Dialogs.emplace_back(kind, text);
        return kind == TDialogKind::Warning ? WarningAnswer : TDialogResult::Ok;
    });
    CreateWindows();
    QObject::connect(mLog, &TLogMemo::LineRecorded, mLog, [this](const QString &line) { Recorded << line; });
    frmMain->show();
    Connect(nullptr);
    ComPort->SetPort(QStringLiteral("ttyTEST0"));
}

THarness::~THarness()
{
    if (TProduct *product = CurrentProduct) {
        CurrentProduct = nullptr;
        product->Destroy();
        delete product;
    }
    DestroyWindows();
    SetDialogHook(nullptr);
    TScheduler::Install(nullptr);
}

TMemoryChannel *THarness::Connect(TLinePeer *peer)
{
    auto channel = std::make_unique<TMemoryChannel>(peer);
    TMemoryChannel *line = channel.get();
    ComPort->SetChannel(std::move(channel));
    return line;
}

void THarness::Choose(const QString &caption)
{
    const TModel *model = FindModel(caption);
    Q_ASSERT(model);
    frmMain->findChild<QAction *>(model->MenuItem)->trigger();
}

QStringList THarness::LogLines() const
{
    return Recorded;
}

bool THarness::LogContains(const QString &text) const
{
    for (const QString &line : Recorded)
        if (line.contains(text))
            return true;
    return false;
}

QString THarness::Title() const
{
    return frmMain->windowTitle();
}

QStringList THarness::Messages() const
{
    QStringList texts;
    for (const auto &[kind, text] : Dialogs)
        texts << text;
    return texts;
}
