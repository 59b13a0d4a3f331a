#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class TComPort;

// What the line said when it was probed: the models whose answers fit (menu captions; one, a short
// list of models that answer alike, or none), the serial number of the heater that answered, and
// the speeds tried.
struct TDetection {
    QStringList Candidates;
    QString Serial;
    QList<qint32> SpeedsTried;

    // "Detected: Hydrel-7S #070001234", "Detected: one of Corva, Zephal-3/-33/-6 [old rev.]" or
    // "No heater answered at 2400, 1200, 9600 and 19200 bit/s".
    QString Outcome() const;
};

// Finds out which model is on the line by asking for its identity only: serial number, version and,
// on the old command-queue line, the fuel-pump frequency. It never sends a start, stop, settings,
// pump, calibration or EEPROM request, and it orders its probes so that no heater listening at a
// speed can take a probe meant for another family for a command of its own:
//   0. 2400 bit/s, listening only: a framed heater that streams its status is taken for what it is,
//      and the command-queue probe is left out (see FramedHeaterStreams).
//   1. 2400 bit/s, the old command-queue line: 56 56 (asked twice, to be sure of the answer), 57 57,
//      4 4 (serial number halves, version), and 35 35 (fuel-pump frequency) to tell the air heater
//      from the pre-heater. Framed heaters at this speed drop these bytes: none is their start
//      byte 0xAA; the pre-heater's wake-up needs 96 96 97 97.
//   2. 2400 bit/s, framed requests 4 and 6 (serial number, version), only once no command-queue heater
//      answered: such a heater takes any byte sent twice for a command, and the frames hold 00 00.
//   3. 1200 bit/s, the ten-byte line: requests 121 and 104 (serial number, version).
//   4. 9600 bit/s, framed requests 4 and 6.
//   5. The wake-up pairs 96 96 97 97 at 2400 bit/s, then framed requests 4 and 6 at 19200 bit/s; the
//      pairs go out only once nothing answered at 2400 bit/s, for the same reason as in 2.
// It stops at the first heater that answers. The port must be open; its receive event is the
// detector's while it runs. Waits go through the scheduler, so the program's events go on meanwhile.
class TModelDetector {
public:
    explicit TModelDetector(TComPort &port);
    ~TModelDetector();
    TModelDetector(const TModelDetector &) = delete;
    TModelDetector &operator=(const TModelDetector &) = delete;

    TDetection Run();

    // How long a probe waits for its answer before it is sent once more, then given up.
    static constexpr int AnswerWaitMs = 300;
    // Long enough to hear one status answer of a heater that streams once a second.
    static constexpr int ListenMs = 1100;

private:
    // Listens at 2400 bit/s for a framed heater that still streams its status (left so by a handler):
    // its frames could hold four bytes that read as a command-queue answer.
    bool FramedHeaterStreams();
    bool ProbeCommandQueue(TDetection &result);
    bool ProbeFramed(qint32 bitsPerSecond, TDetection &result);
    bool ProbeTenByte(TDetection &result);
    void SetSpeed(qint32 bitsPerSecond, TDetection &result);
    // Sends the request and waits for an answer that taken finds in the bytes received, twice at most.
    QByteArray Ask(const QByteArray &request, const std::function<QByteArray(QByteArray &)> &taken);
    QByteArray AskCommandQueue(quint8 code);
    QByteArray AskFramed(quint8 command);
    QByteArray AskTenByte(quint8 code);

    TComPort &Port;
    QByteArray Received;
};
