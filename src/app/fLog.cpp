#include "app/fLog.h"
#include "core/LogMemo.h"
#include <QPlainTextEdit>
#include <QVBoxLayout>

TfrmLog::TfrmLog(QWidget *parent) : QWidget(parent), Memo(new TLogMemo(this)), Text(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("Log"));
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint);
    // Opens this large where the screen allows; the placement makes it smaller on a smaller screen.
    resize(1297, 648);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Text);
    Text->setReadOnly(true);
    Text->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text->setMaximumBlockCount(MaxLines);
    connect(Memo, &TLogMemo::LineShown, Text, &QPlainTextEdit::appendPlainText);
}
