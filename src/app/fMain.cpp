#include "app/fMain.h"
#include "app/Globals.h"
#include "app/HistoryActions.h"
#include "app/Models.h"
#include "app/DetectedChoice.h"
#include "app/ModelDetector.h"
#include "app/StatusBar.h"
#include "app/dlgPortSelect.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/LogMemo.h"
#include "product/Presentation.h"
#include "product/Product.h"
#include "product/ProductEnvironment.h"
#include "product/RunLogFile.h"
#include "serial/ComErrors.h"
#include "serial/ComPort.h"
#include "views/fBB.h"
#include "views/fControl.h"
#include "views/fGraph.h"
#include "views/fTrace.h"
#include "views/fViewData.h"
#include "app/fLog.h"
#include "app/RunLogWindow.h"
#include <QFileDialog>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QTime>
#include <utility>

namespace {
void ShowConnectionState(TConnectionState state, const QString &detail = QString())
{
    if (TPresentation *view = ProductEnvironment().View)
        view->SetConnectionState(state, detail);
}
} // namespace

TfrmMain::TfrmMain()
{
    setWindowTitle(QStringLiteral("Thermoryx Diagnostic "));
    resize(1024, 600);
    Area = new QMdiArea(this);
    Area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(Area);

    // The EDR wait panel covers the whole client area while it is visible.
    pnl1 = new QLabel(QStringLiteral("Reading EDR. Please wait."), Area);
    QFont font(QStringLiteral("Courier New"));
    font.setBold(true);
    font.setPixelSize(27);
    pnl1->setFont(font);
    pnl1->setAlignment(Qt::AlignCenter);
    pnl1->setAutoFillBackground(true);
    pnl1->hide();
    pnl1->installEventFilter(this);
    // Below the caption: how far the reading is, and a way to stop it.
    lblWaitProgress = new QLabel(pnl1);
    lblWaitProgress->setAlignment(Qt::AlignCenter);
    btnWaitCancel = new QPushButton(QStringLiteral("Cancel"), pnl1);
    auto *waitLayout = new QVBoxLayout(pnl1);
    waitLayout->addStretch(3);
    waitLayout->addWidget(lblWaitProgress);
    waitLayout->addWidget(btnWaitCancel, 0, Qt::AlignHCenter);
    waitLayout->addStretch(1);
    connect(btnWaitCancel, &QPushButton::clicked, this, [this] { WaitCancelRequested = true; });

    BuildMenus();
    Status = new TStatusBar(this);
    setStatusBar(Status);
    // The graphs are placed again once the work area has its final place in the main window, which
    // it takes only when first shown (after the main window's own first resize).
    Area->viewport()->installEventFilter(this);
    ComPort = new TComPort(this);
    ComPort->OnLog = [](const QString &line) {
        if (mLog)
            mLog->Append(line);
    };
}

TfrmMain::~TfrmMain()
{
    if (CurrentProduct) {
        delete CurrentProduct;
        CurrentProduct = nullptr;
    }
    ComPort = nullptr;
}

// The model table's row of a menu item; every item has one.
static const TModel &ModelOfItem(const QString &name)
{
    for (const TModel &model : Models())
        if (model.MenuItem == name)
            return model;
    qFatal("the model table has no row for the menu item %s", qPrintable(name));
}

void TfrmMain::BuildMenus()
{
    QMenu *N1 = menuBar()->addMenu(QStringLiteral("Choose a product"));
    N1->setObjectName(QStringLiteral("N1"));
    ProductMenu = N1;
    RadioGroup = new QActionGroup(this);
    RadioGroup->setExclusive(true);
    // The items in menu order, each bound to the model table's row of the same item name, so the
    // table's order decides nothing here.
    const std::pair<QAction **, QString> items[] = {
        {&N141, QStringLiteral("N141")},         {&N21, QStringLiteral("N21")},
        {&N41, QStringLiteral("N41")},           {&N4, QStringLiteral("N4")},
        {&Hydrel71, QStringLiteral("Hydrel71")}, {&Hydrel7S1, QStringLiteral("Hydrel7S1")},
        {&NCorva1, QStringLiteral("NCorva1")},
    };
    for (const auto &[item, name] : items) {
        const TModel &model = ModelOfItem(name);
        *item = N1->addAction(model.Caption);
        (*item)->setObjectName(name);
        connect(*item, &QAction::triggered, this, [this, caption = model.Caption] { ChooseProduct(caption); });
    }
    for (QAction *item : {N141, N21, N41, N4}) {
        item->setCheckable(true);
        RadioGroup->addAction(item);
    }
    // The two Hydrel items toggle their own mark; "Corva" never shows one.
    Hydrel71->setCheckable(true);
    Hydrel7S1->setCheckable(true);
    N1->addSeparator();
    NDetect = N1->addAction(QStringLiteral("Detect model..."));
    NDetect->setObjectName(QStringLiteral("NDetect"));
    connect(NDetect, &QAction::triggered, this, &TfrmMain::DetectModel);

    QMenu *N2 = menuBar()->addMenu(QStringLiteral("View"));
    N2->setObjectName(QStringLiteral("N2"));
    auto addView = [&](const QString &name, const QString &caption, bool checked) {
        QAction *item = N2->addAction(caption);
        item->setObjectName(name);
        item->setCheckable(true);
        item->setChecked(checked);
        return item;
    };
    N3 = addView(QStringLiteral("N3"), QStringLiteral("Control panel"), true);
    N3->setEnabled(false);
    N5 = addView(QStringLiteral("N5"), QStringLiteral("Current data"), true);
    N6 = addView(QStringLiteral("N6"), QStringLiteral("Graphs"), true);
    N7 = addView(QStringLiteral("N7"), QStringLiteral("EDR"), false);
    KeepMarks();
    BuildConnectionMenu();
    connect(N5, &QAction::triggered, this, [this] { ToggleView(frmViewData, N5, QStringLiteral("frmViewData")); });
    connect(N6, &QAction::triggered, this, [this] { ToggleView(frmGraph, N6, QStringLiteral("frmGraph")); });
    connect(N7, &QAction::triggered, this, [this] { ToggleView(frmBB, N7, QStringLiteral("frmBB")); });

    QMenu *fileMenu = menuBar()->findChild<QMenu *>(QStringLiteral("mnuFile"));
    if (!fileMenu) {
        fileMenu = new QMenu(QStringLiteral("File"), menuBar());
        fileMenu->setObjectName(QStringLiteral("mnuFile"));
        menuBar()->insertMenu(menuBar()->actions().value(0), fileMenu);
    }
    actOpenRunLog = fileMenu->addAction(QStringLiteral("Open run log..."));
    actOpenRunLog->setObjectName(QStringLiteral("actOpenRunLog"));
    AskRunLogPath = [this](const QString &folder) {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Open run log"), folder,
                                            QStringLiteral("Run logs (*.csv);;All files (*)"));
    };
    connect(actOpenRunLog, &QAction::triggered, this, [this] {
        const QString path = AskRunLogPath(RunLogFolder());
        if (!path.isEmpty())
            OpenRunLogWindow(*this, path);
    });
    actHistory = fileMenu->addAction(QStringLiteral("History..."));
    actHistory->setObjectName(QStringLiteral("actHistory"));
    actHistory->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(actHistory, &QAction::triggered, this, [] { ShowHistoryWindow(); });
    actImportRunLogs = fileMenu->addAction(QStringLiteral("Import run logs..."));
    actImportRunLogs->setObjectName(QStringLiteral("actImportRunLogs"));
    AskImportFolder = [this](const QString &folder) {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("Import the run logs of the folder"), folder);
    };
    connect(actImportRunLogs, &QAction::triggered, this, [this] {
        const QString folder = AskImportFolder(RunLogFolder());
        if (!folder.isEmpty())
            ImportRunLogFolder(folder);
    });
    NTrace = addView(QStringLiteral("NTrace"), QStringLiteral("Trace"), false);
    connect(NTrace, &QAction::triggered, this, [this] { ToggleView(frmTrace, NTrace, QStringLiteral("frmTrace")); });
    AddViewLog(N2);
}

void TfrmMain::AddViewLog(QMenu *view)
{
    NLog = view->addAction(QStringLiteral("Log"));
    NLog->setObjectName(QStringLiteral("NLog"));
    NLog->setCheckable(true);
    connect(NLog, &QAction::triggered, this, [this] { ToggleView(frmLog, NLog, QStringLiteral("frmLog")); });
    N5->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    N6->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    N7->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    NLog->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
}

void TfrmMain::AddExit()
{
    NExit = menuBar()->addAction(QStringLiteral("Exit"));
    NExit->setObjectName(QStringLiteral("NExit"));
    NExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    NExit->setMenuRole(QAction::QuitRole);
    connect(NExit, &QAction::triggered, this, &QWidget::close);
}

QMdiSubWindow *TfrmMain::AddChild(QWidget *child)
{
    QMdiSubWindow *frame = Area->addSubWindow(child, child->windowFlags() | Qt::SubWindow);
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    frame->resize(child->size());
    pnl1->raise();
    return frame;
}

static QWidget *FrameOf(QWidget *child)
{
    QWidget *frame = child->parentWidget();
    return qobject_cast<QMdiSubWindow *>(frame) ? frame : child;
}

bool TfrmMain::ChildIsNormal(QWidget *child) const
{
    const Qt::WindowStates state = FrameOf(child)->windowState();
    return !(state & (Qt::WindowMinimized | Qt::WindowMaximized));
}

void TfrmMain::ShowChildNormal(QWidget *child)
{
    QWidget *frame = FrameOf(child);
    const bool wasHidden = !frame->isVisible();
    frame->setWindowState(frame->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    frame->showNormal();
    child->show();
    // A window comes up placed anew after it was hidden (or first shown minimised), wherever it was.
    if (wasHidden)
        Placed.remove(child);
    // The control panel stays where it is; the graphs and current-data windows have places of their
    // own beside it (they ask for them when shown).
    const bool placesItself = child == frmControl || child == frmGraph || child == frmViewData;
    if (!placesItself && !Placed.contains(child)) {
        PlaceChild(child);
        Placed.insert(child);
    }
}

void TfrmMain::ShowChildMinimized(QWidget *child)
{
    QWidget *frame = FrameOf(child);
    frame->show();
    frame->showMinimized();
}

void TfrmMain::HideChild(QWidget *child)
{
    QWidget *frame = FrameOf(child);
    frame->setWindowState((frame->windowState() & ~Qt::WindowMaximized) | Qt::WindowMinimized);
    frame->hide();
    Placed.remove(child);
}

void TfrmMain::SetWaitPanelVisible(bool visible)
{
    if (visible && !pnl1->isVisible()) {
        WaitCancelRequested = false;
        lblWaitProgress->clear();
    }
    pnl1->setGeometry(Area->rect());
    pnl1->setVisible(visible);
    if (visible)
        pnl1->raise();
}

void TfrmMain::SetWaitProgress(int block, int blocks)
{
    lblWaitProgress->setText(QStringLiteral("Block %1 of %2").arg(block).arg(blocks));
}

bool TfrmMain::WaitPanelVisible() const
{
    return pnl1->isVisible();
}

void TfrmMain::SetEdrItemChecked(bool checked)
{
    N7->setChecked(checked);
}

void TfrmMain::ToggleView(QWidget *window, QAction *item, const QString &name)
{
    if (!window)
        return;
    try {
        if (!ChildIsNormal(window) || !FrameOf(window)->isVisible()) {
            ShowChildNormal(window);
            item->setChecked(true);
        } else {
            HideChild(window);
            item->setChecked(false);
        }
    } catch (const std::exception &error) {
        if (mLog)
            mLog->Append(name + QStringLiteral(".ShowHide exception: ") + ErrorClassName(error)
                         + QStringLiteral(": ") + ErrorMessage(error));
    }
}

void TfrmMain::BuildConnectionMenu()
{
    QMenu *menu = menuBar()->addMenu(QStringLiteral("Connection"));
    menu->setObjectName(QStringLiteral("NConnection"));
    NAdapter = menu->addAction(QStringLiteral("Choose adapter..."));
    NAdapter->setObjectName(QStringLiteral("NAdapter"));
    connect(NAdapter, &QAction::triggered, this, &TfrmMain::ChooseAdapter);
}

void TfrmMain::ChooseAdapter()
{
    if (!frmPortSelect || frmPortSelect->exec() != QDialog::Accepted)
        return;
    ChangePort(frmPortSelect->ChosenPort());
}

void TfrmMain::ChangePort(const QString &portName)
{
    if (CurrentProduct && CurrentProduct->Busy()) {
        CurrentProduct->RequestTearDown([this, portName] { ChangePort(portName); });
        return;
    }
    if (!CurrentProduct) {
        ComPort->SetPort(portName);
        return;
    }
    ReplaceProduct(CurrentProduct->ModelName(), portName);
    if (!CurrentProduct)
        RestoreMarks();
}

void TfrmMain::KeepMarks()
{
    MarksInForce.clear();
    for (QAction *item : {N141, N21, N41, N4, Hydrel71, Hydrel7S1, NCorva1})
        MarksInForce.insert(item, item->isChecked());
}

void TfrmMain::RestoreMarks()
{
    // The group would keep one item checked: all marks go first, then those in force come back.
    RadioGroup->setExclusive(false);
    for (auto it = MarksInForce.cbegin(); it != MarksInForce.cend(); ++it)
        it.key()->setChecked(false);
    RadioGroup->setExclusive(true);
    for (auto it = MarksInForce.cbegin(); it != MarksInForce.cend(); ++it)
        if (CurrentProduct && it.value())
            it.key()->setChecked(true);
    KeepMarks();
}

void TfrmMain::DetectModel()
{
    if (Detecting)
        return;
    if (CurrentProduct && CurrentProduct->Busy()) {
        CurrentProduct->RequestTearDown([this] { DetectModel(); });
        return;
    }
    if (const std::exception_ptr teardownError = DestroyProduct()) {
        try {
            std::rethrow_exception(teardownError);
        } catch (const std::exception &error) {
            ReportError(error);
        }
    }
    // No model is in force while the line is probed: every mark goes.
    KeepMarks();
    RestoreMarks();
    emit ProductChanged();
    // The menu waits while the line is probed: a model chosen meanwhile would take the port away.
    Detecting = true;
    ProductMenu->setEnabled(false);
    RunDetection();
    ProductMenu->setEnabled(true);
    Detecting = false;
}

void TfrmMain::RunDetection()
{
    ShowConnectionState(TConnectionState::Opening, ComPort->Port());
    try {
        ComPort->Open();
    } catch (const std::exception &error) {
        ShowConnectionState(TConnectionState::NoPort, ComPort->Port());
        ReportCreationError(error);
        return;
    }
    ShowConnectionState(TConnectionState::Searching);
    TDetection found;
    {
        TModelDetector detector(*ComPort);
        found = detector.Run();
    }
    ComPort->Close();
    const QString outcome = found.Outcome();
    if (mLog)
        mLog->Append(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(' ') + outcome);
    if (found.Candidates.isEmpty()) {
        ShowConnectionState(TConnectionState::NoPort, ComPort->Port());
        ShowMessage(outcome + QLatin1Char('.'));
        return;
    }
    QString caption = found.Candidates.size() == 1 ? found.Candidates.first()
                                                   : RememberedChoice(found.Serial, found.Candidates);
    if (caption.isEmpty()) {
        caption = AskModelChoice()(found.Candidates, found.Serial);
        if (!found.Candidates.contains(caption)) {
            ShowConnectionState(TConnectionState::NoPort, ComPort->Port());
            return;
        }
        RememberChoice(found.Serial, caption);
    }
    // As the model's own menu item does, marks included.
    if (const TModel *model = FindModel(caption))
        if (QAction *item = findChild<QAction *>(model->MenuItem))
            item->trigger();
}

void TfrmMain::ChooseProduct(const QString &caption)
{
    const TModel *model = FindModel(caption);
    if (!model)
        return;
    if (!model->CreateHandler) {
        RestoreMarks();
        ShowMessage(QStringLiteral("%1: this model is not supported yet.").arg(caption));
        return;
    }
    // A handler that waits inside an operation (a search burst, an EDR read) is replaced only once
    // that operation has ended; its waits return at once from now on.
    if (CurrentProduct && CurrentProduct->Busy()) {
        CurrentProduct->RequestTearDown([this, caption] { ChooseProduct(caption); });
        return;
    }
    ReplaceProduct(caption);
    if (CurrentProduct)
        KeepMarks();
    else
        RestoreMarks();
}

std::exception_ptr TfrmMain::DestroyProduct()
{
    std::exception_ptr teardownError;
    if (TProduct *old = CurrentProduct) {
        CurrentProduct = nullptr;
        try {
            old->Destroy();
        } catch (...) {
            teardownError = std::current_exception();
        }
        delete old;
    }
    return teardownError;
}

void TfrmMain::ReplaceProduct(const QString &caption, const QString &portName)
{
    const TModel *model = FindModel(caption);
    const std::exception_ptr teardownError = DestroyProduct();
    if (!portName.isEmpty())
        ComPort->SetPort(portName);
    ShowConnectionState(TConnectionState::Opening, ComPort ? ComPort->Port() : QString());
    try {
        TProduct *created = model->CreateHandler();
        CurrentProduct = created;
        created->LogMemo = mLog;
    } catch (const std::exception &error) {
        // The port would not open: no handler, and the user can choose a model again.
        CurrentProduct = nullptr;
        if (ComPort)
            ComPort->OnRxChar = nullptr;
        ShowConnectionState(TConnectionState::NoPort, ComPort ? ComPort->Port() : QString());
        ReportCreationError(error);
    }
    if (teardownError) {
        try {
            std::rethrow_exception(teardownError);
        } catch (const std::exception &error) {
            ReportError(error);
        }
    }
    emit ProductChanged();
}

void TfrmMain::ReportCreationError(const std::exception &error)
{
    const auto *portError = dynamic_cast<const EComPort *>(&error);
    const QString detail = portError && ComPort ? PortErrorDetail(*portError, ComPort->Port()) : QString();
    if (detail.isEmpty()) {
        ReportError(error);
        return;
    }
    if (mLog)
        mLog->Append(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Serial port ")
                     + ComPort->Port() + QStringLiteral(": ") + ErrorMessage(error) + QStringLiteral("; ")
                     + PortFailureCause(portError->SystemCode));
    ShowMessage(ErrorMessage(error) + QLatin1Char('\n') + detail);
}

void TfrmMain::PlaceGraphs()
{
    if (!frmGraph || !frmControl)
        return;
    QWidget *graphs = FrameOf(frmGraph);
    if (graphs->isMaximized())
        return;
    const QRect panel = FrameOf(frmControl)->geometry();
    PlaceNearWanted(frmGraph, QRect(panel.left() + panel.width() + 10, panel.top() + 50,
                                    width() - panel.width() - 40, graphs->height()));
}

void TfrmMain::PlaceCurrentData()
{
    if (!frmViewData || !frmControl || !qobject_cast<QMdiSubWindow *>(frmViewData->parentWidget()))
        return;
    const QRect panel = FrameOf(frmControl)->geometry();
    PlaceNearWanted(frmViewData, QRect(panel.left() + panel.width() + 10, panel.top(), 500, 405));
}

void TfrmMain::PlaceNearWanted(QWidget *child, const QRect &wanted)
{
    QWidget *frame = FrameOf(child);
    QWidget *viewport = Area->viewport();
    const QRect placed = PlaceNear(Placement({}), QRect(viewport->mapToGlobal(wanted.topLeft()), wanted.size()),
                                   frame->minimumSizeHint());
    frame->setGeometry(QRect(viewport->mapFromGlobal(placed.topLeft()), placed.size()));
}

QRect TfrmMain::ControlPanelRect() const
{
    if (!frmControl)
        return {};
    const QWidget *panel = FrameOf(frmControl);
    const QRect start(frmControl->btnStart->mapToGlobal(QPoint(0, 0)), frmControl->btnStart->size());
    const QRect stop(frmControl->Button2->mapToGlobal(QPoint(0, 0)), frmControl->Button2->size());
    return QRect(panel->mapToGlobal(QPoint(0, 0)), panel->size()).united(start).united(stop);
}

TPlacement TfrmMain::Placement(const QList<QWidget *> &keepInSight) const
{
    const QWidget *viewport = Area->viewport();
    TPlacement where;
    if (const QScreen *shownOn = screen())
        where.Screen = shownOn->availableGeometry();
    where.Area = QRect(viewport->mapToGlobal(QPoint(0, 0)), viewport->size());
    where.KeepFree = ControlPanelRect();
    for (QWidget *other : keepInSight) {
        const QWidget *otherFrame = FrameOf(other);
        if (otherFrame->isVisible() && !otherFrame->isMinimized())
            where.RatherFree << QRect(otherFrame->mapToGlobal(QPoint(0, 0)), otherFrame->size());
    }
    return where;
}

void TfrmMain::PlaceChild(QWidget *child, const QList<QWidget *> &keepInSight)
{
    QWidget *frame = FrameOf(child);
    QWidget *viewport = Area->viewport();
    const QRect placed = PlaceWindow(Placement(keepInSight), frame->size(), frame->minimumSizeHint());
    frame->setGeometry(QRect(viewport->mapFromGlobal(placed.topLeft()), placed.size()));
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (pnl1)
        pnl1->setGeometry(Area->rect());
    if (frmControl) {
        QWidget *panel = FrameOf(frmControl);
        panel->setGeometry(0, 0, panel->width(), Area->height());
    }
    PlaceGraphs();
}

void TfrmMain::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    // Where the main window stands on the screen decides what of the work area is in sight.
    PlaceGraphs();
    PlaceCurrentData();
}

void TfrmMain::CloseWithoutAsking()
{
    CloseAgreed = true;
    // Nobody may be waited for from now on: a box asked for is answered Cancel/No at once, its text
    // goes to the log; the boxes open now are closed so, and the close comes once their loops have
    // returned, so that no code waiting on a box finds its handler gone.
    SetDialogHook([](TDialogKind, const QString &text) {
        if (mLog)
            mLog->Append(text + QStringLiteral(" (not shown: the program is ending)"));
        return TDialogResult::Cancel;
    });
    CloseOpenDialogs([window = QPointer<TfrmMain>(this)] {
        if (window)
            window->close();
    });
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (!CloseAgreed && CurrentProduct && CurrentProduct->Running
        && !AskYesNo(QStringLiteral("A run is being recorded. Save it and close the program?"))) {
        event->ignore();
        return;
    }
    CloseAgreed = true;
    // A waiting operation unwinds first; the close is repeated once it has.
    if (CurrentProduct && CurrentProduct->Busy()) {
        event->ignore();
        CurrentProduct->RequestTearDown([this] { close(); });
        return;
    }
    if (TProduct *product = CurrentProduct) {
        CurrentProduct = nullptr;
        try {
            product->Destroy();
        } catch (const std::exception &) {
            // The program is ending; a port that fails to close has nothing left to report to.
        }
        delete product;
    }
    event->accept();
    QApplication::quit();
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Area->viewport() && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        PlaceGraphs();
        PlaceCurrentData();
    }
    if (watched == pnl1 && event->type() == QEvent::MouseButtonDblClick && frmLog) {
        ShowChildNormal(frmLog);
        NLog->setChecked(true);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
