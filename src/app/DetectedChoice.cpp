#include "app/DetectedChoice.h"
#include <QApplication>
#include <QInputDialog>
#include <QSettings>

namespace {
QSettings Settings()
{
    return {QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Thermoryx"), QStringLiteral("Thermoryx Diagnostic")};
}

QString KeyOf(const QString &serial)
{
    return QStringLiteral("detect/") + serial;
}
} // namespace

QString RememberedChoice(const QString &serial, const QStringList &candidates)
{
    const QString kept = Settings().value(KeyOf(serial)).toString();
    return candidates.contains(kept) ? kept : QString();
}

void RememberChoice(const QString &serial, const QString &caption)
{
    Settings().setValue(KeyOf(serial), caption);
}

std::function<QString(const QStringList &, const QString &)> &AskModelChoice()
{
    static std::function<QString(const QStringList &, const QString &)> ask = [](const QStringList &candidates,
                                                                                 const QString &serial) {
        bool ok = false;
        const QString choice = QInputDialog::getItem(
            QApplication::activeWindow(), QStringLiteral("Detect model"),
            QStringLiteral("Heater #%1 answers as each of these models. Which one is it?").arg(serial), candidates, 0,
            false, &ok);
        return ok ? choice : QString();
    };
    return ask;
}
