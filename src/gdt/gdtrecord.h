#pragma once

#include "gdtcharset.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <utility>
#include <variant>
#include <vector>

// One GDT record as lines: a three-digit length of the whole line in bytes (CR LF
// included), a four-digit field ID, the content, CR LF. The first field is 8000, the
// record type; 9206 names the character set of every content.

struct GdtField
{
    int line = 0;  // 1-based line of the file
    QByteArray id; // four digits
    QString content;
    // Why content is no text of the record's set (a byte the set does not hold); the
    // content then shows each byte as its Latin-1 character. Empty for a good field.
    QString fault;
};

// Why bytes are no usable record: line 0 when no single line is at fault. The reason
// is German and addressed to the operator.
struct GdtError
{
    int line = 0;
    QString reason;
};

struct GdtRecord
{
    GdtCharset charset = GdtCharset::Cp437;
    std::vector<GdtField> fields; // in file order, 8000 first

    // The first field with this ID, or nullptr.
    const GdtField *find(QByteArrayView id) const;
};

// The record in bytes, or the first fault with its line: a line that does not start with
// a three-digit length and a four-digit field ID, a first
// field other than 8000, a second 8000, a 9206 other than 1, 2 or 3 or given twice.
// Lines end with CR LF or LF alone, the last one with nothing too; empty lines and a DOS
// end-of-file byte (1A) at the end are skipped, and a length that is not the line's is
// not held against it. A byte the set does not hold is the fault of its field only
// (GdtField::fault). The record is read in charset when given, whatever its 9206
// declares; else bytes from 80 that are valid UTF-8 throughout are read as UTF-8.
std::variant<GdtRecord, GdtError> readGdtRecord(QByteArrayView bytes,
                                                std::optional<GdtCharset> charset = {});

// The first line (1-based) that does not end with CR LF or whose three-digit length is
// not its length in bytes with CR LF; none when every line is as written. readGdtRecord
// forgives both, as practice systems' records need; what the station writes must not.
// A DOS end-of-file byte (1A) at the end is no line.
std::optional<int> wrongLineLength(QByteArrayView bytes);

// The length in bytes the record's 8100 gives and the length its lines would have with
// CR LF each (as 8100 counts them, whatever the writer ends lines with); none when no
// line is 8100 with digits. A record shorter than its 8100 is still being written.
struct GdtLengths
{
    qsizetype declared = 0;
    qsizetype counted = 0;
};
std::optional<GdtLengths> gdtLengths(QByteArrayView bytes);

// "Zeile 3: <reason>", or the reason alone for line 0.
QString gdtErrorText(const GdtError &error);

// The bytes of a record of type with 8100 (its length in bytes) second and then fields
// in order, contents encoded in charset (see encodeGdtText). A content too long for one
// line continues on further lines of the same ID. Throws a Failure when the record
// outgrows the five digits of 8100.
using GdtFieldList = std::vector<std::pair<QByteArray, QString>>;
QByteArray writeGdtRecord(QByteArrayView type, GdtCharset charset, const GdtFieldList &fields,
                          QString *unencodable = nullptr);
