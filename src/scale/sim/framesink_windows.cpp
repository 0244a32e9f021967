#include "framesink.h"

#include "files/systemerror.h"

#include <cstdio>
#include <cstdlib>

#include <windows.h>

#include <timeapi.h>

namespace {

[[noreturn]] void fail(const QString &what)
{
    const QString cause = systemCause(static_cast<int>(GetLastError()));
    std::fprintf(stderr, "tessarine-scale-sim: %s: %s\n", qPrintable(what), qPrintable(cause));
    std::exit(1);
}

class ComPortSink : public FrameSink
{
public:
    explicit ComPortSink(HANDLE port) : m_port(port) {}
    ~ComPortSink() override
    {
        FlushFileBuffers(m_port); // the last frames leave before the port closes
        CloseHandle(m_port);
    }

    bool send(const QByteArray &bytes) override
    {
        // A write that times out (nobody reading, flow stopped) drops the rest.
        DWORD written = 0;
        return WriteFile(m_port, bytes.constData(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) &&
               written == static_cast<DWORD>(bytes.size());
    }

private:
    HANDLE m_port;
};

} // namespace

std::unique_ptr<FrameSink> openFrameSink(const QString &device)
{
    if (device.isEmpty()) {
        std::fprintf(stderr, "tessarine-scale-sim: --device fehlt (z. B. --device COM2)\n");
        std::exit(2);
    }
    // COM10 and above are reachable only through the device namespace.
    QString path = device;
    if (!path.startsWith(QLatin1String("\\\\.\\")))
        path.prepend(QLatin1String("\\\\.\\"));
    const HANDLE port =
        CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                    0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE)
        fail(device);

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb))
        fail(device);
    // Raw 9600 8N1 without flow control: 0x00 and 0xFF are data.
    dcb.BaudRate = CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    if (!SetCommState(port, &dcb))
        fail(device);
    COMMTIMEOUTS timeouts{};
    timeouts.WriteTotalTimeoutConstant = 200;
    if (!SetCommTimeouts(port, &timeouts))
        fail(device);
    return std::make_unique<ComPortSink>(port);
}

void keepPacingOnTime()
{
    // Windows' timer ticks every 15.6 ms unless asked for 1 ms.
    timeBeginPeriod(1);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}
