#pragma once
#include <QString>
#include <exception>
#include <string>

// The program's general error class. Every error that the handlers catch and log carries its own
// class name, so that a log line can say "EComPort: Port Not Open" and the like.
class Exception : public std::exception {
public:
    explicit Exception(QString message) : Message(std::move(message)), Utf8(Message.toStdString()) {}
    ~Exception() override = default;

    virtual QString ClassName() const { return QStringLiteral("Exception"); }
    const char *what() const noexcept override { return Utf8.c_str(); }

    QString Message;

private:
    std::string Utf8;
};

// A value that could not be converted (a number out of its text, a bad argument).
class EConvertError : public Exception {
public:
    using Exception::Exception;
    QString ClassName() const override { return QStringLiteral("EConvertError"); }
};

// The class name and message of any caught error, for log lines.
QString ErrorClassName(const std::exception &error);
QString ErrorMessage(const std::exception &error);
