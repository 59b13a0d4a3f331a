#include "support/SaveCapture.h"
#include "core/Scheduler.h"
#include "product/RunLogFile.h"
#include <QFile>
#include <QHash>
#include <cerrno>
#include <climits>
#include <unistd.h>

namespace {
// One capture at a time: the write calls are plain functions.
struct TState {
    bool Full = false;
    int FailedWrites = 0;
    QHash<int, QByteArray> Open; // bytes written so far, by descriptor
    QList<TSaveCapture::TSave> Saves;
};
TState *State = nullptr;

// The file a descriptor writes to; the run log goes to "<path>.part" and is renamed once on the disk.
QString PathOf(int fd)
{
    char target[PATH_MAX];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t size = ::readlink(link.constData(), target, sizeof target - 1);
    if (size <= 0)
        return QString();
    QString path = QFile::decodeName(QByteArray(target, int(size)));
    if (path.endsWith(QLatin1String(".part")))
        path.chop(5);
    return path;
}

long Write(int fd, const char *data, unsigned long size)
{
    if (State->Full) {
        ++State->FailedWrites;
        State->Open.remove(fd);
        errno = ENOSPC;
        return -1;
    }
    const long written = long(::write(fd, data, size));
    if (written > 0)
        State->Open[fd].append(data, written);
    return written;
}

int Sync(int fd)
{
    const int result = ::fsync(fd);
    if (result == 0)
        State->Saves.append({PathOf(fd), State->Open.take(fd), TScheduler::Instance().Now()});
    return result;
}

constexpr TFileWriting Calls{Write, Sync};
} // namespace

TSaveCapture::TSaveCapture()
{
    Q_ASSERT(!State);
    State = new TState;
    SetRunLogFileWriting(&Calls);
}

TSaveCapture::~TSaveCapture()
{
    SetRunLogFileWriting(nullptr);
    delete State;
    State = nullptr;
}

void TSaveCapture::SetFull(bool full)
{
    State->Full = full;
}

bool TSaveCapture::Full() const
{
    return State->Full;
}

const QList<TSaveCapture::TSave> &TSaveCapture::Saves() const
{
    return State->Saves;
}

int TSaveCapture::FailedWrites() const
{
    return State->FailedWrites;
}
