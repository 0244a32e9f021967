#pragma once

#include "historyfile.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>
#include <vector>

// The persons a data directory knows: one for each history file that the window can
// name and the readers read, as the window offers them while a name is typed.

// A file name as first and last name: split at its first blank that has no blank
// beside it, so that personName(first, last) names the file again. None for a name
// without ".txt", with blanks at its ends, with no such blank (the rating files
// "bmi0.txt" and the like), or with a part that nameProblem refuses.
struct FileNames
{
    QString first;
    QString last;
};
std::optional<FileNames> namesOfFile(const QString &fileName);

struct KnownPerson
{
    QString fileName; // "Jürgen Groß.txt"
    QString first;    // "Jürgen"; first + " " + last names the file
    QString last;     // "Groß"
    bool woman = false;
    QString ageText; // as the header has it
    // One line of the offer: "Groß, Jürgen – männlich, 41". A name with more than one
    // blank does not say where the first name ends; it reads as the header has it:
    // "Anna Maria Beispiel – weiblich, 34".
    QString shown;
    QString spoken; // the same for a screen reader: "Groß, Jürgen, männlich, 41 Jahre"
    QString folded; // foldedName of the name
};

// The person of a history file as read; none when the name is none the window
// can name, or when the header gives no sex ("m" or "w") and no age the readers take
// (historyValues).
std::optional<KnownPerson> knownPerson(const QString &fileName, const HistoryFile &file);

// The same for the file in dataDir, read as the listing reads it; none when a reader
// refuses it as well.
std::optional<KnownPerson> readKnownPerson(const QString &dataDir, const QString &fileName);

class KnownPersons
{
public:
    KnownPersons() = default;
    // persons in any order; fileNames every file of the directory.
    KnownPersons(std::vector<KnownPerson> persons, const QStringList &fileNames);

    // In the order of their shown lines, ignoring case, accents and umlaut spelling.
    const std::vector<KnownPerson> &all() const { return m_persons; }

    // At most `most` persons, in that order, whose folded name has typed, folded as well,
    // at its start or right behind one of its blanks: "gr" and "juergen g" find "Jürgen
    // Groß", "rg" does not; nothing typed finds no one.
    std::vector<const KnownPerson *> matching(QStringView typed, std::size_t most) const;

    // A history file whose name is not personName(first, last) but equals it after
    // folding, also with first and last name swapped; the empty text when none is.
    QString nearDuplicate(const QString &first, const QString &last) const;

private:
    std::vector<KnownPerson> m_persons;
    // The folded names in order, each behind a line feed: one search over all of them
    // finds what was typed, the persons in order.
    QString m_foldedNames;
    std::vector<qsizetype> m_nameStarts;        // of each person's name in it
    QHash<QString, QString> m_fileByFoldedName; // of every ".txt" file
};

// Reads a data directory again and again; the header of each file once, as long as
// the file is there and taken.
class PersonDirectoryReader
{
public:
    explicit PersonDirectoryReader(const QString &dataDir) : m_dir(dataDir) {}

    // The persons of the directory as it is now; none when stop was set on the way, or
    // when files and persons are those of the last reading. A directory whose
    // modification time is that of the last reading, and was so well before it, is not
    // listed again: a large one costs a stat a file.
    std::optional<KnownPersons> read(const std::atomic<bool> &stop);

private:
    QString m_dir;
    bool m_read = false;
    QDateTime m_listedModified;          // the directory's modification time at the last listing
    QDateTime m_listedAt;                // when that listing began
    QStringList m_fileNames;             // of the last reading
    QHash<QString, KnownPerson> m_taken; // by file name
};
