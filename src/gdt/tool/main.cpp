// tessarine-gdt: writes a practice system's request for a person into an exchange
// directory, and prints a GDT file (the station's answer) in readable form.

#include "common/failure.h"
#include "gdt/gdtfiles.h"
#include "gdt/gdtrecord.h"
#include "gdt/gdtrequest.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstdlib>
#include <map>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

[[noreturn]] void usageError(const QString &message)
{
    err() << "tessarine-gdt: " << message << Qt::endl;
    std::exit(2);
}

[[noreturn]] void failed(const QString &message)
{
    err() << "tessarine-gdt: " << message << Qt::endl;
    std::exit(1);
}

const std::map<QByteArray, QString> &fieldNames()
{
    static const std::map<QByteArray, QString> names = {
        {"8000", QStringLiteral("Satzart")},
        {"8100", QStringLiteral("Satzlänge")},
        {"8315", QStringLiteral("GDT-ID des Empfängers")},
        {"8316", QStringLiteral("GDT-ID des Senders")},
        {"9206", QStringLiteral("Zeichensatz")},
        {"9218", QStringLiteral("Version GDT")},
        {"3000", QStringLiteral("Patientennummer")},
        {"3101", QStringLiteral("Name")},
        {"3102", QStringLiteral("Vorname")},
        {"3103", QStringLiteral("Geburtsdatum")},
        {"3110", QStringLiteral("Geschlecht")},
        {"3622", QStringLiteral("Größe")},
        {"3623", QStringLiteral("Gewicht")},
        {"6200", QStringLiteral("Datum der Untersuchung")},
        {"6201", QStringLiteral("Uhrzeit der Untersuchung")},
        {"6220", QStringLiteral("Befund")},
        {"8402", QStringLiteral("Gerätekennung")},
        {"8410", QStringLiteral("Test-Ident")},
        {"8411", QStringLiteral("Testbezeichnung")},
        {"8420", QStringLiteral("Ergebnis-Wert")},
        {"8421", QStringLiteral("Einheit")},
    };
    return names;
}

// Prints the record in path line by line: line, field ID, its name, content.
void show(const QString &path)
{
    const ExchangeFileRead file = readExchangeFile(path);
    if (file.kind == ExchangeFileRead::Kind::NotAFile)
        failed(QStringLiteral("%1 ist keine Datei").arg(QDir::toNativeSeparators(path)));
    if (file.kind == ExchangeFileRead::Kind::TooLarge)
        failed(QStringLiteral("%1 ist mit %2 Bytes größer als ein GDT-Satz")
                   .arg(QDir::toNativeSeparators(path))
                   .arg(file.size));
    const QByteArray &bytes = file.bytes;
    const auto read = readGdtRecord(bytes);
    if (const auto *error = std::get_if<GdtError>(&read))
        failed(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), gdtErrorText(*error)));
    const GdtRecord &record = std::get<GdtRecord>(read);
    out() << QFileInfo(path).fileName() << ": Satzart " << record.fields.front().content
          << ", Zeichensatz " << gdtCharsetName(record.charset) << ", " << bytes.size() << " Bytes"
          << Qt::endl;
    for (const GdtField &field : record.fields) {
        const auto name = fieldNames().find(field.id);
        const QString label = name == fieldNames().end() ? QString() : name->second;
        out() << QStringLiteral("%1  %2  %3  %4")
                     .arg(field.line, 3)
                     .arg(QString::fromLatin1(field.id), label.leftJustified(24), field.content)
              << (field.fault.isEmpty() ? QString() : QStringLiteral("  (") + field.fault + u')')
              << Qt::endl;
    }
    if (const auto line = wrongLineLength(bytes))
        out() << "Achtung: Zeile " << *line
              << " endet nicht mit CR LF oder ihre Längenangabe ist nicht ihre Länge in Bytes."
              << Qt::endl;
    if (const GdtField *length = record.find("8100");
        length && length->content.toLongLong() != bytes.size()) {
        out() << "Achtung: die Satzlänge (8100) ist " << length->content << ", die Datei hat "
              << bytes.size() << " Bytes." << Qt::endl;
    }
}

std::optional<QDate> birthDate(const QString &text)
{
    for (const QString &format : {QStringLiteral("dd.MM.yyyy"), QStringLiteral("ddMMyyyy")}) {
        const QDate date = QDate::fromString(text, format);
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessarine-gdt"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Spielt das Praxisverwaltungssystem: legt eine Anfrage für eine Person in das "
        "GDT-Verzeichnis und zeigt die Antwort der Station lesbar an.\n\n"
        "  tessarine-gdt --dir DIR --first VORNAME --last NAME --birth TT.MM.JJJJ --sex 1|2\n"
        "  tessarine-gdt --dir DIR [--answer-dir DIR] --take-answer\n"
        "  tessarine-gdt --show DATEI"));
    parser.addHelpOption();
    auto option = [&parser](const char *name, const char *text, const char *value = nullptr,
                            const char *fallback = nullptr) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromUtf8(text));
        if (value)
            o.setValueName(QString::fromLatin1(value));
        if (fallback)
            o.setDefaultValue(QString::fromLatin1(fallback));
        parser.addOption(o);
        return o;
    };
    const auto dir = option("dir", "GDT-Verzeichnis.", "DIR");
    const auto station = option("station", "GDT-ID der Station (Vorgabe BMI1).", "ID", "BMI1");
    const auto practice =
        option("practice", "GDT-ID des Praxissystems (Vorgabe EDV1).", "ID", "EDV1");
    const auto first = option("first", "Vorname.", "VORNAME");
    const auto last = option("last", "Name.", "NAME");
    const auto birth = option("birth", "Geburtsdatum, TT.MM.JJJJ oder TTMMJJJJ.", "DATUM");
    const auto sex = option("sex", "Geschlecht: 1 männlich, 2 weiblich.", "1|2");
    const auto patient = option("patient", "Patientennummer (Vorgabe 1).", "NR", "1");
    const auto charset = option(
        "charset", "Zeichensatz: 1 7-Bit, 2 Codepage 437, 3 ANSI (Vorgabe 2).", "1|2|3", "2");
    const auto record =
        option("record", "Satzart 6302 oder 6301 (Vorgabe 6302).", "SATZART", "6302");
    const auto takeAnswer =
        option("take-answer", "Die Antwort der Station anzeigen und löschen, wie das "
                              "Praxissystem sie abholt.");
    const auto showFile = option("show", "Eine GDT-Datei lesbar anzeigen.", "DATEI");
    const auto number = option("number",
                               "Die Anfrage nummeriert ablegen (001 bis 999: BMI1EDV1.001 statt "
                               "BMI1EDV1.GDT), wie manche Praxissysteme.",
                               "NNN");
    const auto answerDir =
        option("answer-dir", "Verzeichnis der Antworten, wenn nicht das GDT-Verzeichnis.", "DIR");
    parser.process(application);
    if (!parser.positionalArguments().isEmpty())
        usageError(
            QStringLiteral("unerwartetes Argument: %1").arg(parser.positionalArguments().first()));

    try {
        if (parser.isSet(showFile)) {
            show(parser.value(showFile));
            return 0;
        }
        if (!parser.isSet(dir))
            usageError(QStringLiteral("--dir oder --show fehlt (--help zeigt die Aufrufe)"));
        const QString directory = parser.value(dir);
        if (parser.isSet(takeAnswer)) {
            const QString from = parser.isSet(answerDir) ? parser.value(answerDir) : directory;
            const QString name = answerFileName(parser.value(station), parser.value(practice));
            const QString path = findFileIgnoringCase(from, name);
            if (path.isEmpty())
                failed(QStringLiteral("keine Antwort %1 in %2")
                           .arg(name, QDir::toNativeSeparators(from)));
            show(path);
            removeExchangeFile(path);
            return 0;
        }

        GdtRequest request;
        request.recordType = parser.value(record).toLatin1();
        if (request.recordType != "6302" && request.recordType != "6301")
            usageError(QStringLiteral("--record: 6302 oder 6301"));
        const auto set = gdtCharsetFromField(parser.value(charset).toLatin1());
        if (!set)
            usageError(QStringLiteral("--charset: 1, 2 oder 3"));
        request.charset = *set;
        request.receiverId = parser.value(station);
        request.senderId = parser.value(practice);
        request.patientNumber = parser.value(patient);
        request.firstName = parser.value(first);
        request.lastName = parser.value(last);
        if (request.firstName.isEmpty() || request.lastName.isEmpty())
            usageError(QStringLiteral("--first und --last sind nötig"));
        request.birthDate = birthDate(parser.value(birth));
        if (!request.birthDate)
            usageError(QStringLiteral("--birth: ein Datum TT.MM.JJJJ"));
        const QString sexText = parser.value(sex);
        if (sexText == u"1" || sexText == u"m")
            request.sex = GdtSex::Male;
        else if (sexText == u"2" || sexText == u"w")
            request.sex = GdtSex::Female;
        else
            usageError(QStringLiteral("--sex: 1 (männlich) oder 2 (weiblich)"));

        QString name = requestFileName(parser.value(station), parser.value(practice));
        if (parser.isSet(number)) {
            name = name.chopped(3) + parser.value(number);
            if (!isRequestFileName(name, parser.value(station), parser.value(practice)))
                usageError(QStringLiteral("--number: drei Ziffern, 001 bis 999"));
        }
        if (deliverFile(directory, name, writeGdtRequest(request)) == Delivery::Waiting)
            failed(QStringLiteral("%1 liegt noch ungelesen in %2")
                       .arg(name, QDir::toNativeSeparators(directory)));
        out() << QDir(directory).filePath(name) << Qt::endl;
    } catch (const Failure &failure) {
        failed(failure.message());
    }
    return 0;
}
