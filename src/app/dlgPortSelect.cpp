#include "app/dlgPortSelect.h"
#include "app/PortCaption.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSettings>
#include <QTimer>
#include <memory>

namespace {
std::unique_ptr<QSettings> Settings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Thermoryx"),
                                       QStringLiteral("Thermoryx Diagnostic"));
}
const QString LastPortKey = QStringLiteral("connection/lastPort");

// The inventory of the system: USB serial adapters with their device descriptions.
QList<TAdapterInfo> SystemAdapters()
{
    QList<TAdapterInfo> adapters;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        // The inventory's caption of the device, cut as the adapter captions are.
        const auto entry = PortEntryFromCaption(info.description() + QStringLiteral(" (") + info.portName()
                                                + QLatin1Char(')'));
        if (!entry)
            continue;
        adapters.append({*entry, info.description(), info.manufacturer(), info.serialNumber()});
#else
        // A USB serial adapter is a port with a USB vendor id; built-in ports have none.
        if (info.hasVendorIdentifier())
            adapters.append({info.portName(), info.description(), info.manufacturer(), info.serialNumber()});
#endif
    }
    return adapters;
}
} // namespace

TfrmPortSelect::TfrmPortSelect(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Choose adapter"));
    setFixedSize(371, 69);
    lblPort = new QLabel(QStringLiteral("Port:"), this);
    lblPort->move(16, 10);
    cbPort = new QComboBox(this);
    cbPort->setEditable(true);
    cbPort->setGeometry(48, 8, 97, cbPort->sizeHint().height());
    lblAdapter = new QLabel(this);
    lblAdapter->setGeometry(152, 4, 212, 34);
    lblAdapter->setWordWrap(true);
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setGeometry(8, 40, 75, 25);
    btnOk->setDefault(true);
    btnExit = new QPushButton(QStringLiteral("Exit"), this);
    btnExit->setGeometry(88, 40, 73, 25);
    connect(btnOk, &QPushButton::clicked, this, &TfrmPortSelect::OkClick);
    connect(btnExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(cbPort, &QComboBox::currentIndexChanged, this, &TfrmPortSelect::ShowDetails);
    RefreshTimer = new QTimer(this);
    RefreshTimer->setInterval(1000);
    connect(RefreshTimer, &QTimer::timeout, this, &TfrmPortSelect::Refresh);
}

std::function<QList<TAdapterInfo>()> &TfrmPortSelect::Inventory()
{
    static std::function<QList<TAdapterInfo>()> inventory = SystemAdapters;
    return inventory;
}

QStringList TfrmPortSelect::AdapterPorts()
{
    QStringList entries;
    for (const TAdapterInfo &adapter : Inventory()())
        entries << adapter.Port;
    return entries;
}

QString TfrmPortSelect::LastPort()
{
    return Settings()->value(LastPortKey).toString();
}

void TfrmPortSelect::FillPorts()
{
    FillFromAdapters(Inventory()());
}

void TfrmPortSelect::FillFrom(const QStringList &entries)
{
    QList<TAdapterInfo> adapters;
    for (const QString &entry : entries)
        adapters.append({entry, {}, {}, {}});
    FillFromAdapters(adapters);
}

void TfrmPortSelect::FillFromAdapters(const QList<TAdapterInfo> &adapters)
{
    Listed = adapters;
    cbPort->clear();
    for (const TAdapterInfo &adapter : adapters) {
        cbPort->addItem(adapter.Port);
        const QStringList about = {adapter.Description, adapter.Maker, adapter.SerialNumber};
        cbPort->setItemData(cbPort->count() - 1, about.join(QLatin1Char('\n')).trimmed(), Qt::ToolTipRole);
    }
    if (!adapters.isEmpty()) {
        // The adapter chosen last time first, when it is there; otherwise the first in the list.
        const int last = cbPort->findText(LastPort());
        cbPort->setCurrentIndex(last >= 0 ? last : 0);
    }
    btnOk->setEnabled(cbPort->count() > 0);
    ShowDetails();
}

void TfrmPortSelect::Refresh()
{
    const QList<TAdapterInfo> now = Inventory()();
    QStringList ports;
    for (const TAdapterInfo &adapter : now)
        ports << adapter.Port;
    QStringList listed;
    for (const TAdapterInfo &adapter : std::as_const(Listed))
        listed << adapter.Port;
    if (ports == listed)
        return;
    // The entry the user has picked stays picked when its adapter is still there.
    const QString picked = cbPort->currentIndex() >= 0 ? cbPort->currentText() : QString();
    FillFromAdapters(now);
    const int at = cbPort->findText(picked);
    if (!picked.isEmpty() && at >= 0)
        cbPort->setCurrentIndex(at);
}

void TfrmPortSelect::ShowDetails()
{
    const int at = cbPort->currentIndex();
    if (at < 0 || at >= Listed.size()) {
        lblAdapter->clear();
        return;
    }
    const TAdapterInfo &adapter = Listed[at];
    QStringList about;
    for (const QString &part : {adapter.Description, adapter.Maker})
        if (!part.isEmpty())
            about << part;
    if (!adapter.SerialNumber.isEmpty())
        about << QStringLiteral("S/N ") + adapter.SerialNumber;
    lblAdapter->setText(about.join(QStringLiteral(", ")));
}

void TfrmPortSelect::showEvent(QShowEvent *event)
{
    FillPorts();
    RefreshTimer->start();
    QDialog::showEvent(event);
}

void TfrmPortSelect::hideEvent(QHideEvent *event)
{
    RefreshTimer->stop();
    QDialog::hideEvent(event);
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
    Settings()->setValue(LastPortKey, Chosen);
    accept();
}
