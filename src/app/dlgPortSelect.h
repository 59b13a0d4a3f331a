#pragma once
#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

// The adapter dialog: lists the ports of USB serial adapters and returns the chosen port name.
// "Exit" and the close box end the program.
class TfrmPortSelect : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPortSelect(QWidget *parent = nullptr);

    // Fills the list from the adapter inventory, as when the dialog is shown.
    void FillPorts();
    // The ports offered, in inventory order; tests set it directly through FillFrom.
    void FillFrom(const QStringList &entries);
    // "COMn" on Windows; on Linux the device name as listed.
    QString ChosenPort() const { return Chosen; }

    QLabel *lblPort;
    QComboBox *cbPort;
    QPushButton *btnOk;
    QPushButton *btnExit;

    // The port entries of the USB serial adapters the system knows now.
    static QStringList AdapterPorts();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void OkClick();

    QString Chosen;
};
