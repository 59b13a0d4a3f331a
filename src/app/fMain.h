#pragma once
#include "views/Placement.h"
#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QRect>
#include <QSet>
#include <QString>
#include <exception>
#include <functional>

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPushButton;
class TStatusBar;
class QMenu;

// The main window: an MDI frame whose title is the connection status line, with the product menu
// that creates CurrentProduct, the View toggles, and the EDR wait panel pnl1.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    TfrmMain();
    ~TfrmMain() override;

    // Hosts a child window in the MDI area; the child's parentWidget() is then its frame.
    QMdiSubWindow *AddChild(QWidget *child);
    // Window states of a child as the window system sees them (they act on the child's frame).
    bool ChildIsNormal(QWidget *child) const;
    void ShowChildNormal(QWidget *child);
    void ShowChildMinimized(QWidget *child);
    // Minimised and hidden: the toolkit keeps it, nothing is drawn.
    void HideChild(QWidget *child);

    void SetWaitPanelVisible(bool visible);
    bool WaitPanelVisible() const;
    void SetEdrItemChecked(bool checked);
    // The wait panel's "block n of N" line, and whether its Cancel was pressed since it was shown.
    void SetWaitProgress(int block, int blocks);
    bool WaitCancelled() const { return WaitCancelRequested; }

    // The product menu's handler: replaces CurrentProduct with a new handler of the model.
    void ChooseProduct(const QString &caption);
    // "Choose a product" > "Detect model...": probes the line with identification requests only and
    // chooses the model whose answers fit; with models that answer alike, the technician picks one.
    void DetectModel();
    // Puts the port on another adapter: the handler in force, if any, is replaced by a new one of the
    // same model on the new port, which searches afresh.
    void ChangePort(const QString &portName);
    // The "Connection" menu's item: the adapter dialog, then ChangePort with its choice.
    void ChooseAdapter();
    // The View toggles for "Current data", "Graphs", "EDR".
    void ToggleView(QWidget *window, QAction *item, const QString &name);
    // "Exit" at the end of the menu bar; added once every menu is there.
    void AddExit();
    // Places the graphs window beside the control panel, a little below its top, as wide as the main
    // window leaves; the current data window beside the panel at its top, 500 x 405. Both are kept
    // whole on the screen.
    void PlaceGraphs();
    void PlaceCurrentData();
    // Closes as the close box does, without the question about a recorded run (signals, session end),
    // whatever boxes are open: they are closed first, and no box shown from now on waits for an answer.
    void CloseWithoutAsking();
    // Places a child's frame where it opens: whole on the screen, inside the work area, never over
    // the control panel and its Start and Stop buttons, and over the windows of keepInSight only when
    // there is no room beside them; made smaller where the room is smaller than the window.
    void PlaceChild(QWidget *child, const QList<QWidget *> &keepInSight = {});
    // The control panel with its Start and Stop buttons, in screen coordinates.
    QRect ControlPanelRect() const;

    QMdiArea *Area;
    QLabel *pnl1;
    QLabel *lblWaitProgress;
    QPushButton *btnWaitCancel;
    QAction *N141, *N21, *N41, *N4, *Hydrel71, *Hydrel7S1, *NCorva1;
    QAction *NDetect;
    QAction *N3, *N5, *N6, *N7;
    // File > "Open run log...", and the file it asks for, starting in the run-log folder (empty:
    // cancelled); tests stand in for the dialog.
    QAction *actOpenRunLog;
    std::function<QString(const QString &folder)> AskRunLogPath;
    // File > "History..." (Ctrl+H) shows the service history; File > "Import run logs..." asks for a
    // folder (empty: cancelled; tests stand in for the dialog) and imports its run logs.
    QAction *actHistory = nullptr, *actImportRunLogs = nullptr;
    std::function<QString(const QString &folder)> AskImportFolder;
    QAction *NTrace;
    QAction *NAdapter;
    TStatusBar *Status;
    // View > Log shows and hides the log window; Exit closes the main window as its close box does.
    QAction *NLog = nullptr, *NExit = nullptr;

signals:
    // After every model choice, with the new handler or nullptr when creating it failed.
    void ProductChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildMenus();
    QMenu *ProductMenu = nullptr;
    bool Detecting = false;
    void BuildConnectionMenu();
    // Destroys the handler in force, then, on portName when one is given, creates one of the model.
    void ReplaceProduct(const QString &caption, const QString &portName = QString());
    // Destroys the handler in force, if any; an error of its tear-down is handed back.
    std::exception_ptr DestroyProduct();
    // Runs the detection on the port (no handler in force) and chooses what it found.
    void RunDetection();
    // A handler that could not be created: the message box, with the port's name and the cause under
    // a port error, and the same in the log.
    void ReportCreationError(const std::exception &error);
    // The product items' marks follow the handler in force: kept after a choice that made one,
    // restored after a choice that did not.
    void KeepMarks();
    void RestoreMarks();
    void AddViewLog(QMenu *view);
    // The screen, the work area, the control panel and the windows to keep in sight, for the placement.
    TPlacement Placement(const QList<QWidget *> &keepInSight) const;
    // Places a child that has a place of its own (wanted, in the work area's coordinates).
    void PlaceNearWanted(QWidget *child, const QRect &wanted);

    QActionGroup *RadioGroup;
    bool WaitCancelRequested = false;
    QHash<QAction *, bool> MarksInForce;
    // The children placed since they were last hidden: shown again from minimised they stay where the
    // user left them.
    QSet<QWidget *> Placed;
    // The close is decided: no more questions while it completes.
    bool CloseAgreed = false;
};
