#include "app/PortCaption.h"

std::optional<QString> PortEntryFromCaption(const QString &caption)
{
    const bool adapter = caption.contains(QStringLiteral("USB Serial Port"))
                         || caption.contains(QStringLiteral("USB-to-Serial"));
    if (!adapter || !caption.contains(QStringLiteral("COM")))
        return std::nullopt;
    // Positions counted from 1, 0 when absent, as the inventory's captions are cut.
    const qsizetype open = caption.indexOf(QLatin1Char('(')) + 1;
    const qsizetype close = caption.indexOf(QLatin1Char(')')) + 1;
    const qsizetype length = close - open - 1;
    if (length <= 0)
        return QString();
    return caption.mid(open, length);
}

std::optional<int> PortNumberFromEntry(const QString &entry)
{
    const qsizetype at = entry.indexOf(QStringLiteral("COM"));
    if (at < 0)
        return std::nullopt;
    bool ok = false;
    const int number = entry.mid(at + 3).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return number;
}
