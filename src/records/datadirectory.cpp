#include "datadirectory.h"

#include <filesystem>
#include <system_error>

QString createDataDirectory(const QString &path)
{
    const std::filesystem::path directory(path.toStdU16String());
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (!error && !std::filesystem::is_directory(directory, error) && !error)
        error = std::make_error_code(std::errc::not_a_directory);
    return error ? QString::fromLocal8Bit(error.message()) : QString();
}
