#include "endrequests.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array endSignals{SIGTERM, SIGINT, SIGHUP};

// A signal handler may do next to nothing: it writes a byte that the event loop reads.
int wakeUp[2] = {-1, -1};
std::array<struct sigaction, endSignals.size()> previous{};

extern "C" void signalled(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeUp[1], &byte, 1);
    errno = saved;
}

} // namespace

EndRequests::EndRequests(QObject *parent) : QObject(parent)
{
    if (::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the default handling stays: the program ends, the lock stays behind
    auto *notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [] {
        char bytes[16];
        while (::read(wakeUp[0], bytes, sizeof bytes) > 0) {
        }
        // Not quit(): a message box open then could refuse to close and so keep the
        // program running until the system kills it, lock file and all.
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = &signalled;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < endSignals.size(); ++i)
        ::sigaction(endSignals[i], &action, &previous[i]);
}

EndRequests::~EndRequests()
{
    if (wakeUp[0] < 0)
        return;
    for (std::size_t i = 0; i < endSignals.size(); ++i)
        ::sigaction(endSignals[i], &previous[i], nullptr);
    ::close(wakeUp[0]);
    ::close(wakeUp[1]);
    wakeUp[0] = wakeUp[1] = -1;
}
