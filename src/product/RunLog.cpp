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

void TRunLog::Truncate(qsizetype size)
{
    qsizetype kept = 0;
    qsizetype index = 0;
    while (index < Blocks.size() && kept + Blocks[index].Size <= size)
        kept += Blocks[index++].Size;
    if (index < Blocks.size() && size > kept) {
        // The cut falls inside this block: it becomes the plain block being filled again.
        TBlock &block = Blocks[index++];
        QByteArray plain = block.Plain();
        plain.truncate(size - kept);
        plain.reserve(BlockSize);
        block = TBlock{plain, plain.size(), false};
    }
    Blocks.resize(index);
    if (!Blocks.isEmpty() && Blocks.last().Packed) {
        // Rows appended after the cut go on in a plain block.
        TBlock &last = Blocks.last();
        QByteArray plain = last.Plain();
        plain.reserve(BlockSize);
        last = TBlock{plain, plain.size(), false};
    }
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
