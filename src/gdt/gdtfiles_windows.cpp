#include "gdtfiles.h"

#include "common/failure.h"
#include "common/systemerror.h"

#include <QDir>

#include <windows.h>

namespace {

struct Handle
{
    HANDLE handle;
    ~Handle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

[[noreturn]] void failReading(const QString &path)
{
    throw Failure(
        QStringLiteral("Die Datei „%1“ kann nicht gelesen werden: %2")
            .arg(QDir::toNativeSeparators(path), systemCause(static_cast<int>(GetLastError()))));
}

} // namespace

ExchangeFileRead readExchangeFile(const QString &path, qint64 limit)
{
    const QString native = QDir::toNativeSeparators(path);
    const Handle file{CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE)
        failReading(path);
    // Pipes and devices are no request, however they are named.
    if (GetFileType(file.handle) != FILE_TYPE_DISK)
        return {ExchangeFileRead::Kind::NotAFile, {}, 0};
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(file.handle, &info))
        failReading(path);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return {ExchangeFileRead::Kind::NotAFile, {}, 0};
    const qint64 size = (qint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > limit)
        return {ExchangeFileRead::Kind::TooLarge, {}, size};

    // Read to one byte past the limit: the file may have grown meanwhile.
    QByteArray bytes(limit + 1, Qt::Uninitialized);
    qint64 total = 0;
    while (total < bytes.size()) {
        DWORD n = 0;
        if (!ReadFile(file.handle, bytes.data() + total, DWORD(bytes.size() - total), &n, nullptr))
            failReading(path);
        if (n == 0)
            break;
        total += n;
    }
    if (total > limit)
        return {ExchangeFileRead::Kind::TooLarge, {}, total};
    bytes.truncate(total);
    return {ExchangeFileRead::Kind::Read, std::move(bytes), total};
}
