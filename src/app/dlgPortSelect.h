#pragma once
#include <QDialog>
#include <QList>
#include <QStringList>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

// One serial adapter of the inventory: its port entry and what the system says about the device.
struct TAdapterInfo {
    QString Port;
    QString Description;
    QString Maker;
    QString SerialNumber;
};

// The adapter dialog: lists the ports of USB serial adapters and returns the chosen port name.
// "Exit" and the close box end the program. While it is open it looks at the inventory once a
// second, so an adapter plugged in meanwhile appears; the adapter chosen last is offered first.
class TfrmPortSelect : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPortSelect(QWidget *parent = nullptr);

    // Fills the list from the adapter inventory, as when the dialog is shown.
    void FillPorts();
    // The ports offered, in inventory order; tests set it directly through FillFrom.
    void FillFrom(const QStringList &entries);
    void FillFromAdapters(const QList<TAdapterInfo> &adapters);
    // "COMn" on Windows; on Linux the device name as listed.
    QString ChosenPort() const { return Chosen; }

    QLabel *lblPort;
    QComboBox *cbPort;
    QLabel *lblAdapter;
    QPushButton *btnOk;
    QPushButton *btnExit;
    QTimer *RefreshTimer;

    // The port entries of the USB serial adapters the system knows now.
    static QStringList AdapterPorts();
    // Where the adapters come from: the system's inventory; tests stand another in.
    static std::function<QList<TAdapterInfo>()> &Inventory();
    // The port chosen with "OK" last time, kept between runs of the program.
    static QString LastPort();
    // Reads the inventory again and lists it anew when its adapters have changed (RefreshTimer).
    void Refresh();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void OkClick();
    void ShowDetails();

    QString Chosen;
    QList<TAdapterInfo> Listed;
};
