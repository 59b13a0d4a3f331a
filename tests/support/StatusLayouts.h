#pragma once
// Where each model's status answer (command 1) holds its values, written for the tests from the
// protocol description and kept apart from the handlers' and the simulator's own tables, so that a
// wrong offset cannot hide on both ends of the line. A new model's tests start with a new row here.
#include <QByteArray>
#include <QString>

namespace CurrentTest {

// Frame offset (start byte = 0) and big-endian width; offset -1: the model does not send the value.
struct TAt {
    int Offset = -1;
    int Width = 1;
};

// Named as the raw values of TStatus (CurrentPeer.h) that go there.
struct TStatusLayout {
    const char *Model;
    int PayloadLength; // what the tests send; the answer's payload starts at frame offset 5
    TAt Stage, Mode;
    TAt WorkTime, StageTime, ModeTime;
    TAt BlowerSet, BlowerActual, PlugPwm;
    TAt FuelPump; // one byte of hundredths of a hertz, or the two-byte pump period
    TAt FlameKelvin;
    TAt Liquid; // the liquid temperature (the outlet's on the Corva-Mini)
    TAt Overheat, Plate;
    TAt VoltageTenths;
    TAt External;
    TAt Pump, Relay;
    TAt Fault;
};

inline const TStatusLayout Hydrel7S = {.Model = "Hydrel-7S",
                                       .PayloadLength = 40,
                                       .Stage = {5, 1},
                                       .Mode = {6, 1},
                                       .WorkTime = {7, 3},
                                       .StageTime = {10, 3},
                                       .ModeTime = {13, 3},
                                       .BlowerSet = {16, 1},
                                       .BlowerActual = {17, 1},
                                       .PlugPwm = {18, 1},
                                       .FuelPump = {21, 1},
                                       .FlameKelvin = {22, 2},
                                       .Liquid = {24, 1},
                                       .Plate = {26, 1},
                                       .VoltageTenths = {27, 2},
                                       .External = {30, 1},
                                       .Fault = {41, 1}};

// The two air heaters differ only in where the fault code sits.
inline const TStatusLayout Zephal33D = {.Model = "Zephal-33D",
                                        .PayloadLength = 52,
                                        .Stage = {5, 1},
                                        .Mode = {6, 1},
                                        .WorkTime = {7, 3},
                                        .StageTime = {10, 3},
                                        .ModeTime = {13, 3},
                                        .BlowerSet = {16, 1},
                                        .BlowerActual = {17, 1},
                                        .PlugPwm = {24, 1},
                                        .FuelPump = {18, 2},
                                        .FlameKelvin = {27, 2},
                                        .Plate = {31, 1},
                                        .VoltageTenths = {32, 2},
                                        .External = {30, 1},
                                        .Fault = {56, 1}};

inline const TStatusLayout Zephal1 = [] {
    TStatusLayout layout = Zephal33D;
    layout.Model = "Zephal-1";
    layout.Fault = {54, 1};
    return layout;
}();

inline const TStatusLayout CorvaMini = {.Model = "Corva-Mini",
                                        .PayloadLength = 50,
                                        .Stage = {5, 1},
                                        .Mode = {6, 1},
                                        .WorkTime = {7, 2},
                                        .StageTime = {9, 2},
                                        .ModeTime = {11, 1},
                                        .BlowerSet = {12, 1},
                                        .BlowerActual = {13, 1},
                                        .PlugPwm = {20, 1},
                                        .FuelPump = {14, 2},
                                        .FlameKelvin = {23, 2},
                                        .Liquid = {27, 1},
                                        .Overheat = {28, 1},
                                        .Plate = {29, 1},
                                        .VoltageTenths = {30, 2},
                                        .Pump = {21, 1},
                                        .Relay = {22, 1},
                                        .Fault = {54, 1}};

inline const TStatusLayout *const StatusLayouts[] = {&Hydrel7S, &Zephal33D, &Zephal1, &CorvaMini};

// The value a status payload holds at this place, or -1 when the model does not send it there.
inline qint64 PayloadValue(const QByteArray &payload, TAt at)
{
    const int from = at.Offset - 5;
    if (at.Offset < 5 || from + at.Width > payload.size())
        return -1;
    qint64 value = 0;
    for (int i = 0; i < at.Width; ++i)
        value = value << 8 | quint8(payload[from + i]);
    return value;
}

} // namespace CurrentTest
