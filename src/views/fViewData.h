#pragma once
#include <QPointer>
#include <QWidget>

class TStringGrid;

// The current data window: a two-column grid of parameter names and values that the active
// handler writes; it places itself beside the control panel it is handed when shown.
class TfrmViewData : public QWidget {
    Q_OBJECT
public:
    explicit TfrmViewData(const QWidget *controlPanel, QWidget *parent = nullptr);

    TStringGrid *strngrd;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPointer<const QWidget> ControlPanel;
};
