#include "product/RunLogReader.h"
#include <QStringDecoder>
#include <cmath>

namespace {
// Windows-1251 leaves one byte without a character; control characters other than the tab never
// appear in a text line.
bool IsTextByte(char byte)
{
    const auto value = quint8(byte);
    return value != 0x98 && (value >= 0x20 || value == '\t');
}

// The fields of a line: ";"-separated, the ";" after the last one not starting another.
QStringList Fields(const QString &line)
{
    QStringList fields = line.split(QLatin1Char(';'));
    if (fields.size() > 1 && fields.last().isEmpty())
        fields.removeLast();
    return fields;
}

struct TLineReader {
    TRunLogContent &Content;

    bool Fail(int line, const QString &text)
    {
        Content.Error = line > 0 ? QStringLiteral("Line %1: %2").arg(line).arg(text) : text;
        Content.ErrorLine = line;
        Content.Rows.clear();
        return false;
    }

    // One number; the first fraction found fixes the decimal separator for the whole file.
    bool Number(QString field, int line, double &value)
    {
        field = field.trimmed();
        const bool comma = field.contains(QLatin1Char(',')), point = field.contains(QLatin1Char('.'));
        if (comma || point) {
            const QChar separator = comma ? QLatin1Char(',') : QLatin1Char('.');
            if (comma && point)
                return Fail(line, QStringLiteral("\"%1\" is not a number.").arg(field));
            if (Content.DecimalSeparator.isNull())
                Content.DecimalSeparator = separator;
            else if (Content.DecimalSeparator != separator)
                return Fail(line, QStringLiteral("\"%1\" uses another decimal separator than the lines before.").arg(field));
            field.replace(QLatin1Char(','), QLatin1Char('.'));
        }
        bool ok = false;
        value = field.toDouble(&ok);
        if (!ok || !std::isfinite(value) || field.contains(QLatin1Char('e'), Qt::CaseInsensitive))
            return Fail(line, QStringLiteral("\"%1\" is not a number.").arg(field));
        return true;
    }
};
} // namespace

TRunLogContent ReadRunLogBytes(const QByteArray &bytes)
{
    TRunLogContent content;
    TLineReader reader{content};
    if (bytes.isEmpty()) {
        reader.Fail(0, QStringLiteral("The file is empty."));
        return content;
    }
    QList<QByteArray> lines = bytes.split('\n');
    // A file ends with a line end; anything after the last one is a line cut short.
    const bool lastLineCut = !lines.last().isEmpty();
    if (!lastLineCut)
        lines.removeLast();
    QStringDecoder decoder("windows-1251");
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        QByteArray raw = lines[i];
        if (raw.endsWith('\r'))
            raw.chop(1);
        for (char byte : raw)
            if (!IsTextByte(byte)) {
                reader.Fail(lineNumber, QStringLiteral("the bytes are not Windows-1251 text."));
                return content;
            }
        const QString line = decoder.decode(raw);
        if (i == 0) {
            content.Header = line;
            content.Columns = Fields(line);
            if (line.trimmed().isEmpty())
                reader.Fail(lineNumber, QStringLiteral("the header line is empty."));
            if (!content.Error.isEmpty())
                return content;
            continue;
        }
        const QStringList fields = Fields(line);
        if (fields.size() != content.Columns.size()) {
            if (lastLineCut && i == lines.size() - 1)
                reader.Fail(lineNumber, QStringLiteral("the last line is cut short."));
            else
                reader.Fail(lineNumber, QStringLiteral("%1 values where the header has %2 columns.")
                                            .arg(fields.size())
                                            .arg(content.Columns.size()));
            return content;
        }
        QList<double> row;
        row.reserve(fields.size());
        for (const QString &field : fields) {
            double value = 0;
            if (!reader.Number(field, lineNumber, value))
                return content;
            row << value;
        }
        content.Rows << row;
    }
    if (content.DecimalSeparator.isNull())
        content.DecimalSeparator = QLatin1Char('.');
    return content;
}
