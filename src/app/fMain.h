#pragma once
#include <QMainWindow>
#include <QString>

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
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

    // The product menu's handler: replaces CurrentProduct with a new handler of the model.
    void ChooseProduct(const QString &caption);
    // The View toggles for "Current data", "Graphs", "EDR".
    void ToggleView(QWidget *window, QAction *item, const QString &name);
    // "Exit" at the end of the menu bar; added once every menu is there.
    void AddExit();
    // Places the graphs window beside the control panel.
    void PlaceGraphs();
    // Moves a child's frame to the right of the control panel, at its top, so it leaves the panel's
    // buttons free.
    void PlaceBesidePanel(QWidget *child);

    QMdiArea *Area;
    QLabel *pnl1;
    QAction *N141, *N21, *N41, *N4, *Hydrel71, *Hydrel7S1, *NCorva1;
    QAction *N3, *N5, *N6, *N7;
    // View > Log shows and hides the log window; Exit closes the main window as its close box does.
    QAction *NLog = nullptr, *NExit = nullptr;

signals:
    // After every model choice, with the new handler or nullptr when creating it failed.
    void ProductChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildMenus();
    void AddViewLog(QMenu *view);
    void ReplaceProduct(const QString &caption);

    QActionGroup *RadioGroup;
};
