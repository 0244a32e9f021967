#pragma once

#include <QDateTime>
#include <QString>

// The lines of the support log.

// One event on one line: local time in ISO 8601 with its offset, level, category and
// text, e.g. "2026-12-07T20:10:03+01:00 info tessarine.scale Serial port /dev/ttyS0
// opened". Line breaks in text become " | ".
QString logLine(const QDateTime &localTime, QtMsgType level, const QString &category,
                const QString &text);

// A text the operator saw, fit for the log: what it quotes („…“) is left out unless
// it names a file or folder, and so are dates, so that names, birth dates and values
// typed or read do not reach the log.
QString withoutPersonalData(const QString &text);
