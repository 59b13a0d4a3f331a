#pragma once
#include <QWidget>

class QPlainTextEdit;
class TLogMemo;

// The log window: hidden from the start; only a double-click on the EDR wait panel shows it.
class TfrmLog : public QWidget {
    Q_OBJECT
public:
    explicit TfrmLog(QWidget *parent = nullptr);

    // The program's log (mLog); the text area shows every line appended to it.
    TLogMemo *Memo;
    QPlainTextEdit *Text;
};
