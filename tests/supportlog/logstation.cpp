// A station of its own writing the support log, for logs that stations share:
// logstation PATH, then for each line "TAG COUNT LENGTH" on standard input COUNT lines
// "TAG N " and LENGTH x into the log, and "ok" on standard output.
#include "supportlog/logfile.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    LogFile log(QString::fromLocal8Bit(argv[1]));
    char tag[16] = {};
    int lines = 0, length = 0;
    while (std::scanf("%15s %d %d", tag, &lines, &length) == 3) {
        const QString filler(length, QLatin1Char('x'));
        for (int n = 0; n < lines; ++n)
            log.write(QStringLiteral("%1 %2 %3").arg(QLatin1String(tag)).arg(n).arg(filler));
        std::printf("ok\n");
        std::fflush(stdout);
    }
    return log.isWriting() ? 0 : 1;
}
