#include "app/dlgPortSelect.h"
#include "app/PortCaption.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPortInfo>

TfrmPortSelect::TfrmPortSelect(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Choose adapter"));
    setFixedSize(171, 69);
    lblPort = new QLabel(QStringLiteral("Port:"), this);
    lblPort->move(16, 10);
    cbPort = new QComboBox(this);
    cbPort->setEditable(true);
    cbPort->setGeometry(48, 8, 97, cbPort->sizeHint().height());
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setGeometry(8, 40, 75, 25);
    btnOk->setDefault(true);
    btnExit = new QPushButton(QStringLiteral("Exit"), this);
    btnExit->setGeometry(88, 40, 73, 25);
    connect(btnOk, &QPushButton::clicked, this, &TfrmPortSelect::OkClick);
    connect(btnExit, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList TfrmPortSelect::AdapterPorts()
{
    QStringList entries;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        // The inventory's caption of the device, cut as the adapter captions are.
        if (auto entry = PortEntryFromCaption(info.description() + QStringLiteral(" (") + info.portName()
                                              + QLatin1Char(')')))
            entries << *entry;
#else
        // A USB serial adapter is a port with a USB vendor id; built-in ports have none.
        if (info.hasVendorIdentifier())
            entries << info.portName();
#endif
    }
    return entries;
}

void TfrmPortSelect::FillPorts()
{
    FillFrom(AdapterPorts());
}

void TfrmPortSelect::FillFrom(const QStringList &entries)
{
    cbPort->clear();
    cbPort->addItems(entries);
    if (!entries.isEmpty())
        cbPort->setCurrentIndex(0);
    btnOk->setEnabled(cbPort->count() > 0);
}

void TfrmPortSelect::showEvent(QShowEvent *event)
{
    FillPorts();
    QDialog::showEvent(event);
}

void TfrmPortSelect::OkClick()
{
    const QString entry = cbPort->currentIndex() >= 0 ? cbPort->currentText() : QString();
#ifdef Q_OS_WIN
    const auto number = PortNumberFromEntry(entry);
    if (!number || *number <= 0) {
        ReportError(EConvertError(QStringLiteral("'%1' is not a valid port").arg(entry)));
        return;
    }
    Chosen = QStringLiteral("COM") + QString::number(*number);
#else
    if (entry.trimmed().isEmpty()) {
        ReportError(EConvertError(QStringLiteral("No port chosen")));
        return;
    }
    Chosen = entry.trimmed();
#endif
    accept();
}
