#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringEncoder>
#include <QStringList>

// A run as its file will hold it: the header and one row per second, each line already encoded in
// Windows-1251 and ended by CR LF. The bytes are kept in blocks of fixed size, so a week-long run
// costs its own bytes and not the slack of one ever-growing buffer, and a row appended here is the
// very line that goes into the file. A full block is kept compressed (rows of numbers pack several
// times over); only the block being filled is plain.
class TRunLog {
public:
    // A new run: only the header.
    void Begin(const QString &header);
    // Appends one row; returns its line as stored (encoded, with CR LF).
    QByteArray Append(const QString &row);
    void Clear();
    bool IsEmpty() const { return Blocks.isEmpty(); }
    // True once a row follows the header.
    bool HasRows() const { return LineCount > 1; }
    // The rows after the header.
    qsizetype RowCount() const { return LineCount > 1 ? LineCount - 1 : 0; }

    // The file's bytes, and how many there are.
    QByteArray Bytes() const;
    qsizetype Size() const;
    // The lines decoded again, without their line ends.
    QStringList Lines() const;
    // Bytes held, blocks' reserve included.
    qsizetype Capacity() const;

    static constexpr qsizetype BlockSize = 64 * 1024;

private:
    struct TBlock {
        QByteArray Stored; // compressed when Packed
        qsizetype Size = 0;
        bool Packed = false;

        QByteArray Plain() const { return Packed ? qUncompress(Stored) : Stored; }
    };

    QList<TBlock> Blocks;
    qsizetype LineCount = 0;
    QStringEncoder Encoder{"windows-1251"};
};
