#pragma once
#include "product/Presentation.h"
#include <QStatusBar>
#include <QString>
#include <functional>

class QLabel;
class QToolButton;
class QUrl;

// The main window's status bar: the port and its line speed, the connection in words, the run being
// recorded, how many frames came in and how many of them were dropped, and the run saved last with a
// button that opens its folder in the desktop's file manager (or says where it is, when none opens).
class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget *parent = nullptr);

    void ShowPort(const QString &name, qint32 bitsPerSecond);
    // A new connection begins (Opening) with its frame counters at zero.
    void ShowConnectionState(TConnectionState state, const QString &detail);
    void CountFrame(TFrameDirection direction, bool valid);
    // The heater's answers do not fit the chosen model: shown in red beside the connection state,
    // through losses and searches, until a new connection begins (another model or port).
    void ShowMisfit(const QString &warning);
    // The full path of the run log just written.
    void ShowSavedRun(const QString &path);
    // The run being recorded: "Recording: 00:12:31, 751 rows"; gone once it ends.
    void ShowRecording(qint64 seconds, qint64 rows);
    void EndRecording();
    // The service history is off: "History off" with the reason as its tip, from then on.
    void ShowHistoryOff(const QString &reason);

    static QString StateText(TConnectionState state, const QString &detail);
    QString PortText() const;
    QString StateText() const;
    // Empty while no warning stands.
    QString MisfitText() const;
    QString FramesText() const;
    QString SavedRunText() const;
    // Empty while no run is recorded.
    QString RecordingText() const;
    // Empty while the history is kept.
    QString HistoryText() const;
    QToolButton *OpenFolderButton() const { return btnOpenFolder; }

    // How a folder is opened; tests put an observer here.
    static std::function<bool(const QUrl &)> &OpenUrl();

private:
    void ShowFrames();
    void OpenFolder();

    QLabel *lblPort;
    QLabel *lblState;
    QLabel *lblMisfit;
    QLabel *lblRecording;
    QLabel *lblHistory;
    QLabel *lblFrames;
    QLabel *lblRun;
    QToolButton *btnOpenFolder;
    QString SavedRun;
    qint64 Received = 0;
    qint64 Dropped = 0;
};
