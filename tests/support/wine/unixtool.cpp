// A Windows stand-in for a Linux command-line tool, for tests that run under Wine:
// pdftotext.exe runs /usr/bin/pdftotext on the Linux side, with arguments that are
// Windows paths turned into Linux paths, and hands on its standard output and exit
// code. Wine starts Linux programs but gives neither a process handle nor a pipe to
// them, so a shell writes the output and then the exit code into files that this
// program waits for.

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

using UnixFileName = char *(CDECL *)(const wchar_t *);
constexpr DWORD timeoutMs = 60000;

void complain(const std::wstring &what)
{
    const std::string text = "unixtool: " + std::string(what.begin(), what.end()) + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

std::wstring widened(const char *utf8)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size - 1 : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), size);
    return wide;
}

bool isWindowsPath(const std::wstring &arg)
{
    return arg.size() >= 3 && iswalpha(arg[0]) && arg[1] == L':' &&
           (arg[2] == L'\\' || arg[2] == L'/');
}

// Quoted for the command line, which Wine splits back into the Linux argv by the
// Windows rules: backslashes double only before a quote.
std::wstring quoted(const std::wstring &arg)
{
    std::wstring result = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
        } else {
            if (c == L'"')
                result.append(backslashes + 1, L'\\');
            backslashes = 0;
        }
        result += c;
    }
    result.append(backslashes, L'\\');
    return result + L"\"";
}

std::string fileContents(const std::wstring &path)
{
    std::string data;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return data;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        data.append(buffer, got);
    CloseHandle(file);
    return data;
}

} // namespace

int main()
{
    const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    const auto unixPath = [unixFileName](const std::wstring &windowsPath) {
        char *name = unixFileName(windowsPath.c_str());
        std::wstring result = name ? widened(name) : std::wstring();
        HeapFree(GetProcessHeap(), 0, name);
        return result;
    };
    if (!unixFileName) {
        complain(L"runs under Wine only");
        return 127;
    }

    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring name = self;
    name = name.substr(name.find_last_of(L"\\/") + 1);
    name = name.substr(0, name.size() - 4); // ".exe"
    if (GetFileAttributesW((L"Z:\\usr\\bin\\" + name).c_str()) == INVALID_FILE_ATTRIBUTES) {
        complain(L"/usr/bin/" + name + L" is missing");
        return 127;
    }

    wchar_t tempDir[MAX_PATH] = {};
    wchar_t outFile[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tempDir);
    if (!GetTempFileNameW(tempDir, L"utl", 0, outFile)) {
        complain(L"no temporary file");
        return 127;
    }
    const std::wstring out = outFile;
    const std::wstring done = out + L".done";

    // sh -c SCRIPT sh OUT DONE TOOL ARGS...
    std::wstring command = L"Z:\\bin\\sh -c " +
                           quoted(L"out=$1; done=$2; shift 2; \"$@\" >\"$out\"; "
                                  L"echo $? >\"$done.part\" && mv \"$done.part\" \"$done\"") +
                           L" sh " + quoted(unixPath(out)) + L" " + quoted(unixPath(done)) + L" " +
                           quoted(L"/usr/bin/" + name);
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        command += L" " + quoted(isWindowsPath(arg) ? unixPath(arg) : arg);
    }
    LocalFree(argv);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        nullptr, &startup, &process)) {
        complain(L"cannot start /bin/sh");
        return 127;
    }
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() > deadline) {
            complain(L"/usr/bin/" + name + L" did not finish");
            return 127;
        }
        Sleep(5);
    }

    const std::string output = fileContents(out);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), output.data(), static_cast<DWORD>(output.size()),
              &written, nullptr);
    const int exitCode = atoi(fileContents(done).c_str());
    DeleteFileW(out.c_str());
    DeleteFileW(done.c_str());
    return exitCode;
}
