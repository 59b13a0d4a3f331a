#include "views/fViewData.h"
#include "views/StringGrid.h"
#include <QVBoxLayout>

TfrmViewData::TfrmViewData(QWidget *parent) : QWidget(parent), strngrd(new TStringGrid(this))
{
    setWindowTitle(QStringLiteral("Current data"));
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(542, 425);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(strngrd);
    strngrd->SetColCount(2);
    strngrd->SetRowCount(1);
    strngrd->setColumnWidth(0, 149);
    strngrd->setColumnWidth(1, 328);
    QFont font = strngrd->font();
    font.setPointSize(8);
    font.setBold(true);
    strngrd->setFont(font);
    strngrd->setShowGrid(true);
}

void TfrmViewData::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    emit PlaceWanted();
}
