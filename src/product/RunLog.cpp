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
    if (Blocks.isEmpty() || Blocks.last().size() + line.size() > Blocks.last().capacity()) {
        Blocks.append(QByteArray());
        Blocks.last().reserve(qMax(BlockSize, line.size()));
    }
    Blocks.last() += line;
    return line;
}

void TRunLog::Clear()
{
    Blocks.clear();
}

QByteArray TRunLog::Bytes() const
{
    QByteArray bytes;
    bytes.reserve(Size());
    for (const QByteArray &block : Blocks)
        bytes += block;
    return bytes;
}

qsizetype TRunLog::Size() const
{
    qsizetype size = 0;
    for (const QByteArray &block : Blocks)
        size += block.size();
    return size;
}

void TRunLog::Truncate(qsizetype size)
{
    qsizetype kept = 0;
    qsizetype block = 0;
    while (block < Blocks.size() && kept + Blocks[block].size() <= size)
        kept += Blocks[block++].size();
    if (block < Blocks.size() && size > kept)
        Blocks[block++].truncate(size - kept);
    Blocks.resize(block);
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
    for (const QByteArray &block : Blocks)
        capacity += block.capacity();
    return capacity;
}
