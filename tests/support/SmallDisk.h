#pragma once
// A disk with only so many bytes free, for the run-log file's writes: writes beyond them fail as on
// a full disk (ENOSPC). The system's own calls come back when the object goes.
#include "product/RunLogFile.h"
#include <QtGlobal>
#include <cerrno>
#include <unistd.h>

class TSmallDisk {
public:
    explicit TSmallDisk(qint64 free)
    {
        Free() = free;
        SetRunLogFileWriting(&Calls);
    }
    ~TSmallDisk() { SetRunLogFileWriting(nullptr); }
    TSmallDisk(const TSmallDisk &) = delete;
    TSmallDisk &operator=(const TSmallDisk &) = delete;

private:
    static qint64 &Free()
    {
        static qint64 free = 0;
        return free;
    }
    static long Write(int fd, const char *data, unsigned long size)
    {
        const qint64 room = qMin<qint64>(qint64(size), Free());
        if (room == 0) {
            errno = ENOSPC;
            return -1;
        }
        const long written = long(::write(fd, data, size_t(room)));
        if (written > 0)
            Free() -= written;
        return written;
    }
    static int Sync(int fd) { return ::fsync(fd); }
    static constexpr TFileWriting Calls{Write, Sync};
};
