#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <chrono>
#include <optional>

// How answers are named in their directory: "fixed" always <practice><station>.GDT,
// written once the one before has been read (taken away); "numbered" .001 onwards, for
// practice systems that read answers without deleting them.
enum class GdtAnswerNames { Fixed, Numbered };

GdtAnswerNames gdtAnswerNamesFromSetting(const QString &value); // "numbered", else fixed

// An answer that lies unread this long is named: it holds up every later fixed answer.
inline constexpr std::chrono::minutes unreadAnswerLimit{10};

// The path of the next numbered answer: stem + ".NNN" after the highest number present
// (from .001), after .999 the lowest free one; empty when all 999 are taken.
QString nextNumberedAnswer(const QString &dir, const QString &stem);

struct GdtAnswerDelivery
{
    enum class Kind { Written, Waiting, Failed };
    Kind kind = Kind::Written;
    QString path;    // where it was written, or what it waits for
    QString message; // German: why it failed, or that the answer in the way lies unread
};

// Writes bytes as the answer named fixedName in dir, or numbered, never replacing
// anything: Waiting while an unread fixed answer is in the way (with a message once it
// has lain there unreadAnswerLimit by now), Failed with the cause when the directory
// is missing, something that is no file holds the name, or the write fails. A fixed
// answer already in place with these very bytes (written just before a crash) counts
// as written, so that it is not delivered twice.
GdtAnswerDelivery deliverGdtAnswer(const QString &dir, const QString &fixedName,
                                   GdtAnswerNames names, const QByteArray &bytes,
                                   const QDateTime &now);
