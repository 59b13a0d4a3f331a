#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// When Detect model finds models that answer alike, the technician picks one; the pick is kept per
// serial number, so the same heater is not asked about again.

// The pick kept for this serial number, when it is one of the candidates; else empty.
QString RememberedChoice(const QString &serial, const QStringList &candidates);
void RememberChoice(const QString &serial, const QString &caption);
// Asks the technician to pick one of the candidates (a list dialog); empty when cancelled. Tests
// stand an answer in here.
std::function<QString(const QStringList &candidates, const QString &serial)> &AskModelChoice();
