#pragma once
#include "history/EdrCompare.h"
#include "history/HistoryRecords.h"
#include "views/ServiceReport.h"
#include <QList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class THistoryStore;

// The service history: the heaters the program has seen, the ones seen last first, narrowed by the
// search field (serial number or model); for the chosen heater its visits (the days it was seen), its
// runs and its EDR reads. A run opens in the review window of a saved run, an EDR read in the EDR
// window (double-click or the buttons). Compare shows what changed between two EDR reads (or a read
// and the one before it); "Service report..." makes the report of the chosen visit's day. The window reads through a connection of its own, so the
// writer thread goes on while it is open. Its close box hides it through the main window.
class TfrmHistory : public QWidget {
    Q_OBJECT
public:
    // How many heaters a page holds; "More" adds the next page.
    static constexpr int PageSize = 200;

    explicit TfrmHistory(QWidget *parent = nullptr);
    ~TfrmHistory() override;

    // The file the window reads; it is opened when the window reads first. An empty path: no history.
    void SetFile(const QString &path);
    // Reads the heater list afresh (the search as it stands) and keeps the chosen heater when listed.
    void Refresh();

    QLineEdit *edtSearch;
    QLabel *lblHeaters;
    QTableWidget *grdHeaters;
    QPushButton *btnMore;
    QTableWidget *grdVisits;
    QTableWidget *grdRuns;
    QTableWidget *grdEdrReads;
    QPushButton *btnOpenRun;
    QPushButton *btnOpenEdr;
    QPushButton *btnCompare;
    QLabel *lblChanges;
    QTableWidget *grdChanges;
    QPushButton *btnReport;

    // What an EDR image of a model holds as values, and how a saved run is drawn: each family's and
    // the review window's own, given by the program.
    std::function<TEdrSummary(const QString &model, const QByteArray &image)> SummarizeEdr;
    std::function<void(const TRunLogContent &, TPresentation &)> DrawRun;

    // The chosen EDR reads compared (two of them, or one and the read before it); nothing when
    // fewer are chosen or an image cannot be read.
    std::optional<TEdrComparison> Compare();
    // The service report of the chosen heater for a day: its runs of that day, the last EDR read of
    // that day and what changed since the read before it.
    std::optional<TServiceReportInput> ServiceReportFor(const QDate &day);

    // What the lists hold now, in their order.
    QList<THeaterRecord> Heaters() const { return ListedHeaters; }
    QList<TRunRecord> Runs() const { return ListedRuns; }
    QList<TEdrReadRecord> EdrReads() const { return ListedEdrReads; }

signals:
    void OpenRunWanted(const QString &csvPath);
    void OpenEdrWanted(const THeaterRecord &heater, const TEdrReadRecord &read);
    void HideWanted();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The store, opened on first use; nullptr (with the reason on show) when it cannot be.
    THistoryStore *Store();
    void LoadHeaters(bool more);
    void ShowHeater(int row);
    void OpenRun();
    void OpenEdr();
    void ShowComparison();
    void OfferReport();
    // The read with its image and its values; nothing when it cannot be read.
    std::optional<TEdrRead> ReadWithSummary(const THeaterRecord &heater, const TEdrReadRecord &read);
    std::optional<THeaterRecord> ChosenHeater() const;

    QString FilePath;
    std::unique_ptr<THistoryStore> Opened;
    QList<THeaterRecord> ListedHeaters;
    qint64 TotalHeaters = 0;
    QList<TRunRecord> ListedRuns;
    QList<TEdrReadRecord> ListedEdrReads;
};
