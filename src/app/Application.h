#pragma once
#include <QApplication>

// The application object. An error that no event handler catches ends in a message box with its
// message (the default error reporting); the program goes on.
class TApplication : public QApplication {
    Q_OBJECT
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;
};
