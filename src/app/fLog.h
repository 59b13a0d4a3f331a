#pragma once
#include <QWidget>

class QPlainTextEdit;
class TLogMemo;

// The log window: hidden from the start; View > Log or a double-click on the EDR wait panel shows it.
class TfrmLog : public QWidget {
    Q_OBJECT
public:
    // The window keeps the latest lines only; the oldest go first. The --log-file keeps them all.
    static constexpr int MaxLines = 10'000;

    explicit TfrmLog(QWidget *parent = nullptr);

    // The program's log (mLog); the text area shows its lines, repetition folded, and is the only
    // place they are kept.
    TLogMemo *Memo;
    QPlainTextEdit *Text;
};
