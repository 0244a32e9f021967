#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The small interfaces behind which the window reaches the operator and the system.
// main.cpp builds the real ones; tests pass their own to answer and count.

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // A message with a single OK button, titled "Tessarine"; detail, when given, is a
    // line of explanation beneath the text.
    virtual void inform(const QString &text, const QString &detail = {}) = 0;
    // A question with OK and Cancel; true when the operator pressed OK.
    virtual bool confirm(const QString &text) = 0;
    // A question with Yes and No; true when the operator answered Yes.
    virtual bool ask(const QString &text) = 0;
};

class ShutdownRequest
{
public:
    virtual ~ShutdownRequest() = default;
    // Asks the system to end the session; returns at once.
    virtual void request() = 0;
};

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    // Local date and time, for when a measurement was taken.
    virtual QDateTime now() const = 0;
    // Milliseconds on a monotonic clock, for how old the last reading is.
    virtual qint64 elapsedMs() const = 0;
};
