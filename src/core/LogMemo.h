#pragma once
#include <QObject>
#include <QStringList>

// The program's log: lines are only ever appended. The log window shows them and the --log-file
// option writes them through to a file; both listen to LineAdded.
class TLogMemo : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void Append(const QString &line)
    {
        Lines.append(line);
        emit LineAdded(line);
    }
    const QStringList &AllLines() const { return Lines; }

signals:
    void LineAdded(const QString &line);

private:
    QStringList Lines;
};
