#pragma once
#include <QObject>
#include <QString>

class QSocketNotifier;
class THeaterSimulator;

// Serves a simulated heater on a pseudo-terminal: the program (or any serial tool) opens SlavePath()
// as its port. Bytes from the program go to the simulator, its answers go back at once.
class TPtyBridge : public QObject {
    Q_OBJECT
public:
    // Opens the pseudo-terminal; raises Exception when the system has none to give.
    explicit TPtyBridge(THeaterSimulator *simulator, QObject *parent = nullptr);
    ~TPtyBridge() override;

    QString SlavePath() const { return Path; }

private:
    void ReadFromProgram();

    THeaterSimulator *Simulator;
    int Master = -1;
    // Held open so that the pseudo-terminal survives the program closing and reopening its side.
    int SlaveKeeper = -1;
    QString Path;
    QSocketNotifier *Notifier = nullptr;
};
