#include "sim/PtyBridge.h"
#include "core/Errors.h"
#include "sim/HeaterSimulator.h"
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {
[[noreturn]] void Fail(const char *what)
{
    throw Exception(QStringLiteral("pseudo-terminal: %1 failed: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno))));
}
} // namespace

TPtyBridge::TPtyBridge(THeaterSimulator *simulator, QObject *parent) : QObject(parent), Simulator(simulator)
{
    Master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (Master < 0)
        Fail("posix_openpt");
    if (grantpt(Master) != 0 || unlockpt(Master) != 0)
        Fail("unlockpt");
    Path = QString::fromLocal8Bit(ptsname(Master));
    SlaveKeeper = ::open(ptsname(Master), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (SlaveKeeper < 0)
        Fail("open");
    // Raw from the start: no echo, no line editing, every byte (0, 17, 19 too) passed as it is.
    termios raw{};
    tcgetattr(SlaveKeeper, &raw);
    cfmakeraw(&raw);
    tcsetattr(SlaveKeeper, TCSANOW, &raw);

    Simulator->Send = [this](const QByteArray &bytes) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(Master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0)
                break; // nobody reads fast enough: the rest is lost, as on a real line
            done += n;
        }
    };
    Notifier = new QSocketNotifier(Master, QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, &TPtyBridge::ReadFromProgram);
}

TPtyBridge::~TPtyBridge()
{
    Simulator->Send = nullptr;
    delete Notifier;
    ::close(SlaveKeeper);
    ::close(Master);
}

void TPtyBridge::ReadFromProgram()
{
    char buffer[4096];
    const ssize_t n = ::read(Master, buffer, sizeof buffer);
    if (n > 0)
        Simulator->Receive(QByteArray(buffer, n));
}
