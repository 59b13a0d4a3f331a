#pragma once
#include <QStringList>
#include <QWidget>

class QPlainTextEdit;

// The EDR window: a fixed-pitch memo with the last EDR report. It starts out of sight; its close box
// hides it (keeping the text) and unticks View > "EDR". Its frame and the menu item belong to the main
// window, so the window asks for them through its signals; they are carried out before the emit returns.
class TfrmBB : public QWidget {
    Q_OBJECT
public:
    explicit TfrmBB(QWidget *parent = nullptr);

    void Clear();
    void Append(const QString &line);
    QStringList Lines() const;
    // After a completed reading: tick View > "EDR", minimised, then normal.
    void BringUp();
    // After a failed reading or a lost connection: minimised, unticked, hidden.
    void PutAway();
    // Minimised when on show; a window put away stays out of sight.
    void Minimise();

    QPlainTextEdit *mEE;

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
    bool ShownOnce = false;
};
