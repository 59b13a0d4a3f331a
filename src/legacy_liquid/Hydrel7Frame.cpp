#include "legacy_liquid/Hydrel7Frame.h"

namespace Hydrel7 {

quint8 FrameSum(const char *frame)
{
    unsigned sum = 0;
    for (int i = 0; i < FrameSize - 1; ++i)
        sum += quint8(frame[i]);
    return quint8(sum & 0xFF);
}

bool IsFrameSumOk(const QByteArray &bytes)
{
    return bytes.size() >= FrameSize && FrameSum(bytes.constData()) == quint8(bytes[FrameSize - 1]);
}

QByteArray BuildFrame(const TRequestBytes &bytes)
{
    QByteArray frame(FrameSize, '\0');
    frame[0] = char(StartByte);
    for (int i = 0; i < 8; ++i)
        frame[i + 1] = char(bytes[size_t(i)]);
    frame[FrameSize - 1] = char(FrameSum(frame.constData()));
    return frame;
}

QByteArray BuildRequest(quint8 command, quint8 data, quint8 flags)
{
    return BuildFrame({flags, 0, 0, command, data, 0, 0, 0});
}

void ExtractFrames(QByteArray &buffer, const std::function<void(const QByteArray &frame)> &onFrame, TDrops *drops,
                   const std::function<void(const QByteArray &bytes)> &onDropped)
{
    TDrops local;
    TDrops &count = drops ? *drops : local;
    qsizetype pos = 0;
    // Everything before this index is known to hold no start byte, so no byte is searched twice.
    qsizetype searchedTo = 0;
    try {
        while (buffer.size() - pos >= FrameSize) {
            if (searchedTo < pos)
                searchedTo = pos;
            if (searchedTo < buffer.size()) {
                const qsizetype start = buffer.indexOf(char(StartByte), searchedTo);
                if (start < 0) {
                    searchedTo = buffer.size();
                } else {
                    searchedTo = start;
                    count.SkippedBytes += start - pos;
                    if (onDropped && start > pos)
                        onDropped(buffer.mid(pos, start - pos));
                    pos = start;
                    if (buffer.size() - pos < FrameSize)
                        break;
                }
            }
            const char *frame = buffer.constData() + pos;
            if (quint8(frame[0]) == StartByte && FrameSum(frame) == quint8(frame[FrameSize - 1])) {
                const QByteArray accepted(frame, FrameSize);
                pos += FrameSize;
                ++count.Frames;
                onFrame(accepted);
                // A decoder may have emptied the buffer (tear-down): nothing is left to cut then.
                if (pos > buffer.size())
                    pos = buffer.size();
            } else {
                ++count.BadFrames;
                count.BadFrameBytes += FrameSize;
                if (onDropped)
                    onDropped(buffer.mid(pos, FrameSize));
                pos += FrameSize;
            }
        }
    } catch (...) {
        buffer.remove(0, qMin(pos, buffer.size()));
        throw;
    }
    buffer.remove(0, pos);
}

} // namespace Hydrel7
