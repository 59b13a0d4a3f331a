#pragma once
#include "product/ExportName.h"
#include <QDateTime>
#include <QStringList>
#include <QWidget>
#include <functional>

class QPlainTextEdit;
class QPrinter;
class QPushButton;

// The EDR window: a fixed-pitch memo with the last EDR report. It starts out of sight; its close box
// hides it (keeping the text) and unticks View > "EDR". Its frame and the menu item belong to the main
// window, so the window asks for them through its signals; they are carried out before the emit returns.
// The report can leave the program: saved as a text file or printed.
class TfrmBB : public QWidget {
    Q_OBJECT
public:
    explicit TfrmBB(QWidget *parent = nullptr);

    void Clear();
    void Append(const QString &line);
    // A new report of the heater, read at readAt; shown from its first line.
    void SetReport(const QStringList &lines, const THeaterIdentity &heater, const QDateTime &readAt);
    QStringList Lines() const;
    // The save dialog's proposal: "[serial] yyyy-mm-dd hh-mm-ss EDR.txt" of the reading, in the
    // run-log folder.
    QString ProposedSavePath() const;
    // After a completed reading: tick View > "EDR", minimised, then normal.
    void BringUp();
    // After a failed reading or a lost connection: minimised, unticked, hidden.
    void PutAway();
    // Minimised when on show; a window put away stays out of sight.
    void Minimise();

    // Writes the report as UTF-8 text, every line ended by CR LF; an empty string when written, else
    // why not.
    QString SaveReport(const QString &path) const;
    // Lays the report out in the memo's fixed-pitch font onto the printer's pages, each line whole,
    // under a header naming the heater and the reading.
    void PrintReport(QPrinter &printer) const;

    // What the buttons ask the user: the file to save to (empty: cancelled) and the printer to use
    // (false: cancelled). Real dialogs by default; tests stand in for them. A path typed without an
    // extension gets ".txt"; replacing a file is asked about through the dialog hook.
    std::function<QString(const QString &suggested)> AskSavePath;
    std::function<bool(QPrinter &)> AskPrinter;

    QPlainTextEdit *mEE;
    QPushButton *btnSave, *btnPrint;

signals:
    // View > "EDR" ticked or unticked.
    void ViewItemCheckWanted(bool checked);
    // The frame shown minimised or shown normal.
    void ShowWanted(Qt::WindowState state);
    // The frame minimised and hidden.
    void HideWanted();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void SaveClicked();
    void PrintClicked();
    void ShowFromStart();

    bool ShownOnce = false;
    THeaterIdentity Heater;
    QDateTime ReadAt;
    bool StartPending = false;
};
