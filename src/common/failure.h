#pragma once

#include <QString>

#include <stdexcept>

// An operation that could not be completed. The message is German and addressed to
// the operator; the handler guard of the window shows it and the program goes on.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {}

    const QString &message() const { return m_message; }

private:
    QString m_message;
};
