#pragma once

#include <QObject>

// The system's requests that the program end (a logout, a shutdown, a service
// manager, Ctrl+C): they end the event loop as EXIT does where it ends the program, so
// that a handler running then completes first and the objects that hold the serial
// port close it and release its lock. On POSIX: SIGTERM, SIGINT and SIGHUP. On Windows
// nothing is caught: the system closes the port with the process and keeps no lock.
class EndRequests : public QObject
{
    Q_OBJECT

public:
    // One per program; restores the previous handling when destroyed.
    explicit EndRequests(QObject *parent = nullptr);
    ~EndRequests() override;
    EndRequests(const EndRequests &) = delete;
    EndRequests &operator=(const EndRequests &) = delete;
};
