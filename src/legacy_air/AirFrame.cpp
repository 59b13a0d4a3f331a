#include "legacy_air/AirFrame.h"

QByteArray AirRequest(quint8 code)
{
    return QByteArray(2, char(code));
}

QString AirRequestName(quint8 code)
{
    switch (code) {
    case 7: return QStringLiteral("supply voltage");
    case 15: return QStringLiteral("external sensor");
    case 16: return QStringLiteral("plate temperature");
    case 26: return QStringLiteral("flame indicator");
    case 29: return QStringLiteral("blower");
    case 35: return QStringLiteral("fuel-pump");
    default: return QStringLiteral("code %1").arg(code);
    }
}

bool isCRC4ok(const char *data, qsizetype size)
{
    if (size < AirAnswerSize)
        return false;
    return quint8(quint8(data[0]) + quint8(data[1]) + quint8(data[2])) == quint8(data[3]);
}

bool isCRC4ok(const QByteArray &data)
{
    return isCRC4ok(data.constData(), data.size());
}

bool isBlockCRCok(const QByteArray &block)
{
    if (block.isEmpty())
        return false;
    quint8 sum = 0;
    for (qsizetype i = 0; i + 1 < block.size(); ++i)
        sum = quint8(sum + quint8(block[i]));
    return sum == quint8(block.back());
}

TAirCutResult CutAirAnswer(QByteArray &buffer, bool dumpExpected, const TAirFraming &rules, TAirDrops *drops)
{
    TAirDrops local;
    TAirDrops &count = drops ? *drops : local;
    TAirCutResult result;
    if (dumpExpected) {
        if (buffer.size() < AirDumpSize)
            return result;
        result.Bytes = buffer.left(AirDumpSize);
        buffer.remove(0, AirDumpSize);
        if (isBlockCRCok(result.Bytes)) {
            result.Kind = TAirCut::Dump;
            ++count.Dumps;
        } else {
            // A rejected dump leaves the buffer, so the repeated request is checked against fresh bytes.
            result.Kind = TAirCut::BadDump;
            ++count.BadDumps;
        }
        return result;
    }
    const char *data = buffer.constData();
    const qsizetype size = buffer.size();
    qsizetype pos = 0;
    while (size - pos >= AirAnswerSize) {
        if (isCRC4ok(data + pos, AirAnswerSize) && (rules.AcceptZeroStatus || data[pos] != 0))
            break;
        ++pos;
    }
    count.SkippedBytes += pos;
    result.Skipped = buffer.left(pos);
    if (size - pos < AirAnswerSize) {
        buffer.remove(0, pos);
        return result;
    }
    result.Kind = TAirCut::Answer;
    result.Bytes = buffer.mid(pos, AirAnswerSize);
    ++count.Answers;
    buffer.remove(0, pos + AirAnswerSize);
    return result;
}
