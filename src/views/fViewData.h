#pragma once
#include <QWidget>

class TStringGrid;

// The current data window: a two-column grid of parameter names and values that the active
// handler writes; when shown it asks to be placed (beside the control panel, 500 x 405).
class TfrmViewData : public QWidget {
    Q_OBJECT
public:
    explicit TfrmViewData(QWidget *parent = nullptr);

    TStringGrid *strngrd;

signals:
    void PlaceWanted();

protected:
    void showEvent(QShowEvent *event) override;
};
