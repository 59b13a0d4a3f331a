#include "product/RunLog.h"
#include <QStringDecoder>

void TRunLog::Begin(const QString &header)
{
    Clear();
    Append(header);
}

QByteArray TRunLog::Append(const QString &row)
{
    QByteArray line = Encoder.encode(row);
    line += "\r\n";
    if (Blocks.isEmpty() || Blocks.last().Size + line.size() > Blocks.last().Stored.capacity()) {
        if (!Blocks.isEmpty()) {
            TBlock &full = Blocks.last();
            full.Stored = qCompress(full.Stored);
            full.Stored.squeeze();
            full.Packed = true;
        }
        Blocks.append(TBlock{});
        Blocks.last().Stored.reserve(qMax(BlockSize, line.size()));
    }
    TBlock &block = Blocks.last();
    block.Stored += line;
    block.Size += line.size();
    ++LineCount;
    return line;
}

void TRunLog::Clear()
{
    Blocks.clear();
    LineCount = 0;
}

QByteArray TRunLog::Bytes() const
{
    QByteArray bytes;
    bytes.reserve(Size());
    for (const TBlock &block : Blocks)
        bytes += block.Plain();
    return bytes;
}

qsizetype TRunLog::Size() const
{
    qsizetype size = 0;
    for (const TBlock &block : Blocks)
        size += block.Size;
    return size;
}

QStringList TRunLog::Lines() const
{
    QString text = QStringDecoder("windows-1251").decode(Bytes());
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast(); // the last line's CR LF leaves an empty piece behind
    return lines;
}

qsizetype TRunLog::Capacity() const
{
    qsizetype capacity = 0;
    for (const TBlock &block : Blocks)
        capacity += block.Stored.capacity();
    return capacity;
}
