#include "knownpersons.h"

#include "common/failure.h"
#include "historyfile.h"
#include "namefolding.h"
#include "personfile.h"

#include <QDir>
#include <QDirIterator>

#include <algorithm>
#include <tuple>

namespace {

const QString txt = QStringLiteral(".txt");

bool isBlank(const QString &text, qsizetype at)
{
    return at >= 0 && at < text.size() && text.at(at) == u' ';
}

} // namespace

std::optional<FileNames> namesOfFile(const QString &fileName)
{
    if (!fileName.endsWith(txt))
        return std::nullopt;
    const QString name = fileName.chopped(txt.size());
    if (name.isEmpty() || isBlank(name, 0) || isBlank(name, name.size() - 1))
        return std::nullopt;
    for (qsizetype at = name.indexOf(u' '); at > 0; at = name.indexOf(u' ', at + 1)) {
        if (isBlank(name, at - 1) || isBlank(name, at + 1))
            continue;
        FileNames names{name.left(at), name.mid(at + 1)};
        if (!isSafeName(names.first) || !isSafeName(names.last))
            return std::nullopt;
        return names;
    }
    return std::nullopt;
}

std::optional<KnownPerson> knownPerson(const QString &fileName, const HistoryFile &file)
{
    const auto names = namesOfFile(fileName);
    if (!names)
        return std::nullopt;
    HeaderFields header;
    try {
        header = historyValues(file, 0, fileName).header;
    } catch (const Failure &) {
        return std::nullopt;
    }
    if (header.sexLetter != u"m" && header.sexLetter != u"w")
        return std::nullopt;
    KnownPerson person;
    person.fileName = fileName;
    person.first = names->first;
    person.last = names->last;
    person.woman = header.sexLetter == u"w";
    person.ageText = header.ageText;
    const QString name = personName(person.first, person.last);
    const QString who =
        name.count(u' ') == 1 ? person.last + QStringLiteral(", ") + person.first : name;
    const QString sex = person.woman ? QStringLiteral("weiblich") : QStringLiteral("männlich");
    person.shown = QStringLiteral("%1 – %2, %3").arg(who, sex, person.ageText);
    person.spoken = QStringLiteral("%1, %2, %3 Jahre").arg(who, sex, person.ageText);
    person.folded = foldedName(name);
    return person;
}

std::optional<KnownPerson> readKnownPerson(const QString &dataDir, const QString &fileName)
{
    if (!namesOfFile(fileName))
        return std::nullopt; // not worth opening
    try {
        return knownPerson(fileName, readHistoryFile(dataDir + u'/' + fileName));
    } catch (const Failure &) {
        return std::nullopt;
    }
}

KnownPersons::KnownPersons(std::vector<KnownPerson> persons, const QStringList &fileNames)
    : m_persons(std::move(persons))
{
    std::vector<std::pair<QString, const KnownPerson *>> order;
    order.reserve(m_persons.size());
    for (const KnownPerson &person : m_persons)
        order.emplace_back(foldedName(person.shown), &person);
    std::sort(order.begin(), order.end(), [](const auto &a, const auto &b) {
        return std::tie(a.first, a.second->shown, a.second->fileName) <
               std::tie(b.first, b.second->shown, b.second->fileName);
    });
    std::vector<KnownPerson> sorted;
    sorted.reserve(order.size());
    for (const auto &entry : order)
        sorted.push_back(*entry.second);
    m_persons = std::move(sorted);
    for (const KnownPerson &person : m_persons) {
        m_foldedNames += u'\n';
        m_nameStarts.push_back(m_foldedNames.size());
        m_foldedNames += person.folded;
    }

    for (const QString &fileName : fileNames) {
        if (!fileName.endsWith(txt))
            continue;
        const QString key = foldedName(QStringView(fileName).chopped(txt.size()));
        QString &known = m_fileByFoldedName[key];
        if (known.isEmpty() || fileName < known)
            known = fileName; // the same one whatever order the directory lists
    }
}

std::vector<const KnownPerson *> KnownPersons::matching(QStringView typed, std::size_t most) const
{
    const QString start = foldedName(typed);
    std::vector<const KnownPerson *> found;
    if (start.isEmpty())
        return found;
    for (qsizetype at = m_foldedNames.indexOf(start); at > 0 && found.size() < most;
         at = m_foldedNames.indexOf(start, at + 1)) {
        // Only at the start of a word; the typed text holds no line feed.
        if (const QChar before = m_foldedNames.at(at - 1); before != u'\n' && before != u' ')
            continue;
        const auto next = std::upper_bound(m_nameStarts.begin(), m_nameStarts.end(), at);
        const KnownPerson *person = &m_persons.at(next - m_nameStarts.begin() - 1);
        if (found.empty() || found.back() != person)
            found.push_back(person);
    }
    return found;
}

QString KnownPersons::nearDuplicate(const QString &first, const QString &last) const
{
    const QString own = personName(first, last) + txt;
    for (const QString &name : {personName(first, last), personName(last, first)}) {
        const QString file = m_fileByFoldedName.value(foldedName(name));
        if (!file.isEmpty() && file != own)
            return file;
    }
    return {};
}

std::optional<KnownPersons> PersonDirectoryReader::read(const std::atomic<bool> &stop)
{
    // A change after a listing began moves the modification time, unless it fell in the
    // same tick of a coarse file system (FAT: 2 s): within that, the directory is listed.
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime modified = QFileInfo(m_dir).lastModified();
    if (m_read && modified == m_listedModified && m_listedAt.addSecs(-3) > modified)
        return std::nullopt;
    m_listedModified = modified;
    m_listedAt = now;
    QStringList fileNames;
    QHash<QString, KnownPerson> taken;
    // No name filter: its regular expression would leave thread data behind.
    QDirIterator it(m_dir, QDir::Files);
    while (it.hasNext()) {
        if (stop)
            return std::nullopt;
        const QString fileName = it.nextFileInfo().fileName();
        if (!fileName.endsWith(txt))
            continue;
        fileNames << fileName;
        // Headers are written once: a file taken before need not be read again.
        if (const auto known = m_taken.constFind(fileName); known != m_taken.cend())
            taken.insert(fileName, *known);
        else if (auto person = readKnownPerson(m_dir, fileName))
            taken.insert(fileName, std::move(*person));
    }
    if (m_read && fileNames == m_fileNames && taken.size() == m_taken.size())
        return std::nullopt;
    m_read = true;
    m_fileNames = fileNames;
    m_taken = taken;
    return KnownPersons({taken.cbegin(), taken.cend()}, fileNames);
}
