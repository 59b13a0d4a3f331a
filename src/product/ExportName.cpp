#include "product/ExportName.h"
#include "product/RunLogFile.h"
#include <QFileInfo>
#include <QRegularExpression>

QString ExportFileName(const QString &serialNumber, const QDateTime &localTime, const QString &what,
                       const QString &extension)
{
    return HeaterFileStem(serialNumber, localTime) + QLatin1Char(' ') + what + QLatin1Char('.') + extension;
}

QString DayExportFileName(const QString &serialNumber, const QDate &day, const QString &what,
                          const QString &extension)
{
    // The stem of a moment's name without its time of day.
    const QString stem = HeaterFileStem(serialNumber, QDateTime(day, QTime(0, 0)));
    return stem.left(stem.lastIndexOf(QLatin1Char(' '))) + QLatin1Char(' ') + what + QLatin1Char('.') + extension;
}

QString WithExtension(const QString &path, const QString &extension)
{
    if (path.isEmpty())
        return path;
    const QString name = QFileInfo(path).fileName();
    // "report." was typed with the dot: the extension completes it.
    if (name.endsWith(QLatin1Char('.')))
        return path + extension;
    // What follows the last dot is an extension only when it looks like one: "v1.2 EDR" has none.
    static const QRegularExpression extensionLike(QStringLiteral("^[A-Za-z0-9]{1,5}$"));
    if (extensionLike.match(QFileInfo(path).suffix()).hasMatch())
        return path;
    return path + QLatin1Char('.') + extension;
}
