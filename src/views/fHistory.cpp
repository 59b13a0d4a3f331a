#include "views/fHistory.h"
#include "history/HistoryStore.h"
#include <algorithm>
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
      btnOpenEdr(new QPushButton(QStringLiteral("Open EDR read"), this)),
      btnCompare(new QPushButton(QStringLiteral("Compare"), this)), lblChanges(new QLabel(this)),
      grdChanges(NewList(this, QStringLiteral("grdChanges"),
                         {QStringLiteral("What"), QStringLiteral("Before"), QStringLiteral("After"), QStringLiteral("Change")})),
      btnReport(new QPushButton(QStringLiteral("Service report..."), this))
{
    setWindowTitle(QStringLiteral("History"));
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    // Wide enough for the runs' figures beside the heater list; placed on a smaller screen it shrinks.
    resize(1200, 600);
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
    upper->addWidget(Titled(upper, QStringLiteral("Visits"), grdVisits, btnReport));
    auto *edrButtons = new QWidget(upper);
    auto *edrButtonsLayout = new QHBoxLayout(edrButtons);
    edrButtonsLayout->setContentsMargins(0, 0, 0, 0);
    edrButtonsLayout->addWidget(btnOpenEdr);
    edrButtonsLayout->addWidget(btnCompare);
    upper->addWidget(Titled(upper, QStringLiteral("EDR reads"), grdEdrReads, edrButtons));
    details->addWidget(upper);
    lblChanges->setObjectName(QStringLiteral("lblChanges"));
    lblChanges->setWordWrap(true);
    lblChanges->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *changes = new QWidget(details);
    auto *changesLayout = new QVBoxLayout(changes);
    changesLayout->setContentsMargins(0, 0, 0, 0);
    changesLayout->addWidget(new QLabel(QStringLiteral("Changes between EDR reads"), changes));
    changesLayout->addWidget(lblChanges);
    changesLayout->addWidget(grdChanges);
    details->addWidget(changes);
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
    // Two reads are chosen together for a comparison.
    grdEdrReads->setSelectionMode(QAbstractItemView::ExtendedSelection);
    btnCompare->setToolTip(QStringLiteral("What changed between the two chosen EDR reads, or since the read before the chosen one"));
    connect(btnCompare, &QPushButton::clicked, this, &TfrmHistory::ShowComparison);
    btnReport->setToolTip(QStringLiteral("The chosen visit's day as a report to print or save as PDF"));
    connect(btnReport, &QPushButton::clicked, this, &TfrmHistory::OfferReport);
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
    // With no heater chosen yet the first one listed (the one seen last) is shown.
    if (chosenRow < 0 && !ListedHeaters.isEmpty())
        chosenRow = 0;
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
    grdRuns->resizeColumnsToContents();
    grdEdrReads->setRowCount(int(ListedEdrReads.size()));
    for (int i = 0; i < ListedEdrReads.size(); ++i)
        SetRow(grdEdrReads, i, {TimeText(ListedEdrReads[i].ReadAt)});
    btnOpenRun->setEnabled(!ListedRuns.isEmpty());
    btnOpenEdr->setEnabled(!ListedEdrReads.isEmpty());
    btnCompare->setEnabled(ListedEdrReads.size() >= 2);
    btnReport->setEnabled(!visits.isEmpty());
    lblChanges->clear();
    grdChanges->setRowCount(0);
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

std::optional<THeaterRecord> TfrmHistory::ChosenHeater() const
{
    const int row = grdHeaters->currentRow();
    if (row < 0 || row >= ListedHeaters.size())
        return std::nullopt;
    return ListedHeaters[row];
}

std::optional<TEdrRead> TfrmHistory::ReadWithSummary(const THeaterRecord &heater, const TEdrReadRecord &read)
{
    THistoryStore *store = Store();
    if (!store || !SummarizeEdr)
        return std::nullopt;
    const std::optional<TEdrReadRecord> whole = store->EdrRead(read.Id);
    if (!whole)
        return std::nullopt;
    return TEdrRead{whole->ReadAt, SummarizeEdr(heater.Model, whole->Image)};
}

std::optional<TEdrComparison> TfrmHistory::Compare()
{
    const std::optional<THeaterRecord> heater = ChosenHeater();
    if (!heater)
        return std::nullopt;
    QList<int> rows;
    for (const QModelIndex &index : grdEdrReads->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    // One read chosen: it is compared with the read before it (the list is oldest first).
    if (rows.size() == 1 && rows.first() > 0)
        rows.prepend(rows.first() - 1);
    if (rows.size() != 2 || rows.last() >= ListedEdrReads.size())
        return std::nullopt;
    const std::optional<TEdrRead> older = ReadWithSummary(*heater, ListedEdrReads[rows.first()]);
    const std::optional<TEdrRead> newer = ReadWithSummary(*heater, ListedEdrReads[rows.last()]);
    if (!older || !newer)
        return std::nullopt;
    return CompareEdrReads(*older, *newer);
}

void TfrmHistory::ShowComparison()
{
    const std::optional<TEdrComparison> comparison = Compare();
    if (!comparison) {
        lblChanges->setText(QStringLiteral("Choose two EDR reads, or one read that has a read before it."));
        grdChanges->setRowCount(0);
        return;
    }
    lblChanges->setText(comparison->Text);
    grdChanges->setRowCount(int(comparison->Rows.size()));
    for (int i = 0; i < comparison->Rows.size(); ++i) {
        const TEdrChangeRow &row = comparison->Rows[i];
        SetRow(grdChanges, i, {row.What, row.Before, row.After, row.Change});
    }
}

std::optional<TServiceReportInput> TfrmHistory::ServiceReportFor(const QDate &day)
{
    const std::optional<THeaterRecord> heater = ChosenHeater();
    if (!heater || !day.isValid())
        return std::nullopt;
    TServiceReportInput input;
    input.Heater = {heater->Model, heater->SerialNumber, heater->Firmware};
    input.Day = day;
    input.DrawRun = DrawRun;
    for (const TRunRecord &run : std::as_const(ListedRuns))
        if (run.Started.toLocalTime().date() == day)
            input.RunLogPaths << run.CsvPath;
    // The day's last EDR read, and what changed since the read before it, of any day.
    int last = -1;
    for (int i = 0; i < ListedEdrReads.size(); ++i)
        if (ListedEdrReads[i].ReadAt.toLocalTime().date() == day)
            last = i;
    if (last >= 0) {
        if (const std::optional<TEdrRead> read = ReadWithSummary(*heater, ListedEdrReads[last])) {
            input.EdrReadAt = read->At;
            input.Edr = read->Summary;
            if (last > 0)
                if (const std::optional<TEdrRead> before = ReadWithSummary(*heater, ListedEdrReads[last - 1]))
                    input.EdrChanges = CompareEdrReads(*before, *read).Text;
        }
    }
    return input;
}

void TfrmHistory::OfferReport()
{
    // The chosen visit, or the last one.
    const int row = grdVisits->currentRow() >= 0 ? grdVisits->currentRow() : grdVisits->rowCount() - 1;
    const QTableWidgetItem *day = row >= 0 ? grdVisits->item(row, 0) : nullptr;
    if (!day)
        return;
    if (const std::optional<TServiceReportInput> input = ServiceReportFor(QDate::fromString(day->text(), Qt::ISODate)))
        OfferServiceReport(this, *input);
}

void TfrmHistory::closeEvent(QCloseEvent *event)
{
    event->ignore();
    emit HideWanted();
}
