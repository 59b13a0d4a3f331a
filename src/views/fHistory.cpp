#include "views/fHistory.h"
#include "history/HistoryStore.h"
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QTableWidget *NewList(QWidget *parent, const QString &name, const QStringList &captions)
{
    auto *list = new QTableWidget(0, int(captions.size()), parent);
    list->setObjectName(name);
    list->setHorizontalHeaderLabels(captions);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);
    return list;
}

void SetRow(QTableWidget *list, int row, const QStringList &cells)
{
    for (int column = 0; column < cells.size(); ++column)
        list->setItem(row, column, new QTableWidgetItem(cells[column]));
}

QString TimeText(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString Duration(qint64 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QWidget *Titled(QWidget *parent, const QString &title, QWidget *content, QWidget *button = nullptr)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(title, box));
    layout->addWidget(content);
    if (button)
        layout->addWidget(button, 0, Qt::AlignLeft);
    return box;
}
} // namespace

TfrmHistory::TfrmHistory(QWidget *parent)
    : QWidget(parent), edtSearch(new QLineEdit(this)), lblHeaters(new QLabel(this)),
      grdHeaters(NewList(this, QStringLiteral("grdHeaters"),
                         {QStringLiteral("Serial number"), QStringLiteral("Model"), QStringLiteral("Firmware"),
                          QStringLiteral("First seen"), QStringLiteral("Last seen")})),
      btnMore(new QPushButton(QStringLiteral("More"), this)),
      grdVisits(NewList(this, QStringLiteral("grdVisits"),
                        {QStringLiteral("Day"), QStringLiteral("Runs"), QStringLiteral("EDR reads")})),
      grdRuns(NewList(this, QStringLiteral("grdRuns"),
                      {QStringLiteral("Started"), QStringLiteral("Duration"), QStringLiteral("Stages"),
                       QStringLiteral("Highest temperatures (°C)"), QStringLiteral("Lowest voltage (V)"),
                       QStringLiteral("Fault codes"), QStringLiteral("File")})),
      grdEdrReads(NewList(this, QStringLiteral("grdEdrReads"), {QStringLiteral("Read at")})),
      btnOpenRun(new QPushButton(QStringLiteral("Open run"), this)),
      btnOpenEdr(new QPushButton(QStringLiteral("Open EDR read"), this))
{
    setWindowTitle(QStringLiteral("History"));
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(900, 560);
    edtSearch->setObjectName(QStringLiteral("edtSearch"));
    edtSearch->setPlaceholderText(QStringLiteral("Search by serial number or model"));
    edtSearch->setClearButtonEnabled(true);

    auto *heaters = new QWidget(this);
    auto *heatersLayout = new QVBoxLayout(heaters);
    heatersLayout->setContentsMargins(0, 0, 0, 0);
    heatersLayout->addWidget(edtSearch);
    heatersLayout->addWidget(grdHeaters);
    auto *pageLine = new QHBoxLayout;
    pageLine->addWidget(lblHeaters, 1);
    pageLine->addWidget(btnMore);
    heatersLayout->addLayout(pageLine);

    auto *details = new QSplitter(Qt::Vertical, this);
    auto *upper = new QSplitter(Qt::Horizontal, details);
    upper->addWidget(Titled(upper, QStringLiteral("Visits"), grdVisits));
    upper->addWidget(Titled(upper, QStringLiteral("EDR reads"), grdEdrReads, btnOpenEdr));
    details->addWidget(upper);
    details->addWidget(Titled(details, QStringLiteral("Runs"), grdRuns, btnOpenRun));

    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(heaters);
    split->addWidget(details);
    split->setStretchFactor(1, 1);
    // Room for the heater list's serial number, model and last sighting.
    split->setSizes({430, 470});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(split);

    connect(edtSearch, &QLineEdit::textChanged, this, [this] { LoadHeaters(false); });
    connect(btnMore, &QPushButton::clicked, this, [this] { LoadHeaters(true); });
    connect(grdHeaters, &QTableWidget::currentCellChanged, this, [this](int row) { ShowHeater(row); });
    connect(grdRuns, &QTableWidget::cellDoubleClicked, this, [this] { OpenRun(); });
    connect(grdEdrReads, &QTableWidget::cellDoubleClicked, this, [this] { OpenEdr(); });
    connect(btnOpenRun, &QPushButton::clicked, this, &TfrmHistory::OpenRun);
    connect(btnOpenEdr, &QPushButton::clicked, this, &TfrmHistory::OpenEdr);
}

TfrmHistory::~TfrmHistory() = default;

void TfrmHistory::SetFile(const QString &path)
{
    if (path == FilePath)
        return;
    FilePath = path;
    Opened.reset();
}

THistoryStore *TfrmHistory::Store()
{
    if (FilePath.isEmpty()) {
        lblHeaters->setText(QStringLiteral("The program keeps no history."));
        return nullptr;
    }
    if (!Opened) {
        auto store = std::make_unique<THistoryStore>();
        if (!store->Open(FilePath)) {
            lblHeaters->setText(QStringLiteral("The history in \"%1\" cannot be read (%2).")
                                    .arg(QDir::toNativeSeparators(FilePath), store->Error()));
            return nullptr;
        }
        Opened = std::move(store);
    }
    return Opened.get();
}

void TfrmHistory::Refresh()
{
    LoadHeaters(false);
}

void TfrmHistory::LoadHeaters(bool more)
{
    const qint64 chosen = grdHeaters->currentRow() >= 0 ? ListedHeaters.value(grdHeaters->currentRow()).Id : 0;
    THistoryStore *store = Store();
    if (!more)
        ListedHeaters.clear();
    if (store) {
        const THeaterPage page = store->Heaters(edtSearch->text(), int(ListedHeaters.size()), PageSize);
        ListedHeaters += page.Heaters;
        TotalHeaters = page.Total;
        lblHeaters->setText(QStringLiteral("%1 of %2 heaters").arg(ListedHeaters.size()).arg(TotalHeaters));
    }
    btnMore->setEnabled(ListedHeaters.size() < TotalHeaters);
    const QSignalBlocker quiet(grdHeaters);
    grdHeaters->setRowCount(int(ListedHeaters.size()));
    int chosenRow = -1;
    for (int row = 0; row < ListedHeaters.size(); ++row) {
        const THeaterRecord &heater = ListedHeaters[row];
        SetRow(grdHeaters, row,
               {heater.SerialNumber, heater.Model, heater.Firmware, TimeText(heater.FirstSeen), TimeText(heater.LastSeen)});
        if (heater.Id == chosen)
            chosenRow = row;
    }
    grdHeaters->setCurrentCell(chosenRow, 0);
    ShowHeater(chosenRow);
}

void TfrmHistory::ShowHeater(int row)
{
    ListedRuns.clear();
    ListedEdrReads.clear();
    QList<TVisitRecord> visits;
    THistoryStore *store = row >= 0 && row < ListedHeaters.size() ? Store() : nullptr;
    if (store) {
        const qint64 id = ListedHeaters[row].Id;
        visits = store->Visits(id);
        ListedRuns = store->Runs(id);
        ListedEdrReads = store->EdrReads(id);
    }
    grdVisits->setRowCount(int(visits.size()));
    for (int i = 0; i < visits.size(); ++i)
        SetRow(grdVisits, i, {visits[i].Day.toString(Qt::ISODate), QString::number(visits[i].Runs),
                              QString::number(visits[i].EdrReads)});
    grdRuns->setRowCount(int(ListedRuns.size()));
    for (int i = 0; i < ListedRuns.size(); ++i) {
        const TRunRecord &run = ListedRuns[i];
        SetRow(grdRuns, i, {TimeText(run.Started), Duration(run.DurationSeconds), run.Stages, run.HighestTemperatures,
                            run.LowestVoltage ? QString::number(*run.LowestVoltage, 'f', 1) : QString(),
                            run.FaultCodes, QDir::toNativeSeparators(run.CsvPath)});
    }
    grdEdrReads->setRowCount(int(ListedEdrReads.size()));
    for (int i = 0; i < ListedEdrReads.size(); ++i)
        SetRow(grdEdrReads, i, {TimeText(ListedEdrReads[i].ReadAt)});
    btnOpenRun->setEnabled(!ListedRuns.isEmpty());
    btnOpenEdr->setEnabled(!ListedEdrReads.isEmpty());
}

void TfrmHistory::OpenRun()
{
    const int row = grdRuns->currentRow();
    if (row >= 0 && row < ListedRuns.size())
        emit OpenRunWanted(ListedRuns[row].CsvPath);
}

void TfrmHistory::OpenEdr()
{
    const int heaterRow = grdHeaters->currentRow();
    const int row = grdEdrReads->currentRow();
    THistoryStore *store = Store();
    if (!store || heaterRow < 0 || heaterRow >= ListedHeaters.size() || row < 0 || row >= ListedEdrReads.size())
        return;
    if (const std::optional<TEdrReadRecord> read = store->EdrRead(ListedEdrReads[row].Id))
        emit OpenEdrWanted(ListedHeaters[heaterRow], *read);
}

void TfrmHistory::closeEvent(QCloseEvent *event)
{
    event->ignore();
    emit HideWanted();
}
