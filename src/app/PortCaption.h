#pragma once
#include <QString>
#include <optional>

// The port entry for a device caption of the inventory: a caption that names a USB serial adapter
// ("USB Serial Port" or "USB-to-Serial", case-sensitive) and contains "COM" gives the text between
// its first "(" and first ")" (empty when there is none); any other caption gives nothing.
std::optional<QString> PortEntryFromCaption(const QString &caption);

// The port number after the first "COM" of an entry ("COM4" gives 4); nothing when there is no number.
std::optional<int> PortNumberFromEntry(const QString &entry);
