#include "loggedmessageboxes.h"

#include "common/logcategories.h"
#include "supportlog/logtext.h"

void LoggedMessageBoxes::inform(const QString &text, const QString &detail)
{
    const QString shown = detail.isEmpty() ? text : text + QLatin1Char('\n') + detail;
    qCInfo(logApp).noquote() << QStringLiteral("Meldung: ") + withoutPersonalData(shown);
    m_shown.inform(text, detail);
}

bool LoggedMessageBoxes::confirm(const QString &text)
{
    const bool ok = m_shown.confirm(text);
    qCInfo(logApp).noquote() << QStringLiteral("Frage: %1 – Antwort: %2")
                                    .arg(withoutPersonalData(text),
                                         ok ? QStringLiteral("OK") : QStringLiteral("Abbrechen"));
    return ok;
}

bool LoggedMessageBoxes::ask(const QString &text)
{
    const bool yes = m_shown.ask(text);
    qCInfo(logApp).noquote() << QStringLiteral("Frage: %1 – Antwort: %2")
                                    .arg(withoutPersonalData(text),
                                         yes ? QStringLiteral("Ja") : QStringLiteral("Nein"));
    return yes;
}
