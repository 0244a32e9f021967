#pragma once

#include <QString>
#include <QStringView>

// Names compared the way an operator reads them: "Jürgen Groß", "juergen  gross" and
// "JÜRGEN GROSS" are one person.

// name in lower case, ä ö ü ß written ae oe ue ss (the spellings typed where the keys
// are missing), other accents dropped (é → e), blanks at the ends dropped and blanks
// within collapsed to one.
QString foldedName(QStringView name);

// True when foldedStart, a foldedName of what was typed, stands at the start of folded,
// also a foldedName, or right behind one of its blanks: "gr" and "juergen g" match
// "juergen gross", "rg" does not. An empty start matches nothing.
bool matchesWordStart(QStringView folded, QStringView foldedStart);
