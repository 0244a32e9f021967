#pragma once

#include <QString>
#include <QStringView>

// Names compared the way an operator reads them: "Jürgen Groß", "juergen  gross" and
// "JÜRGEN GROSS" are one person.

// name in lower case, ä ö ü ß written ae oe ue ss (the spellings typed where the keys
// are missing), other accents dropped (é → e), blanks at the ends dropped and blanks
// within collapsed to one.
QString foldedName(QStringView name);
