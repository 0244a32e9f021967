#pragma once

#include <QJsonDocument>
#include <QString>

// A JSON file of the station's state directory.

struct StateFileRead
{
    QJsonDocument document; // empty when the file is missing or unreadable
    QString problem;        // German, when the file was there but could not be used
};

// Reads path. A file that is no JSON is renamed to path + ".unlesbar" (replacing an
// older one), so that the next write keeps it for support, and named in problem.
StateFileRead readStateFile(const QString &path);

// Writes document as path, whole or not at all, creating the directory; throws a
// Failure naming the file.
void writeStateFile(const QString &path, const QJsonDocument &document);
