#include "form1.h"
#include "services.h"

#include "common/numbertext.h"
#include "gdt/age.h"
#include "gdt/gdtanswer.h"
#include "gdt/gdtexchange.h"
#include "records/personfile.h"
#include "records/takeover.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <cmath>

namespace {

QString requestText(const QString &path)
{
    return QStringLiteral("Die GDT-Anfrage „%1“").arg(QDir::toNativeSeparators(path));
}

} // namespace

// The practice system names the person to be measured next. Names the take-over would
// refuse fill nothing; what the request leaves open the operator fills in.
void Form1::gdtRequestArrived(const GdtRequest &request, const QString &path)
{
    // 1. Names that no history file can carry.
    for (const QString *name : {&request.firstName, &request.lastName}) {
        if (const QString problem = nameProblem(*name); !problem.isEmpty()) {
            m_services.messages->inform(
                requestText(path) + QStringLiteral(" wird nicht übernommen."),
                QStringLiteral("Der Name „%1“ %2.")
                    .arg(personName(request.firstName, request.lastName), problem));
            return;
        }
    }
    // 2. The person, kept for the answer; the previous person's BMI and assessment go.
    m_gdtRequest = request;
    text->setText(request.firstName);
    Text7->setText(request.lastName);
    bmi->clear();
    List1->clear();
    // 3. Age on today's date; none rather than the previous person's.
    QStringList toDo;
    const QDate today = m_services.clock->today();
    const auto age = request.birthDate ? ageInYears(*request.birthDate, today) : std::nullopt;
    Text5->setText(age ? QString::number(*age) : QString());
    if (!request.birthDate)
        toDo << requestText(path) + QStringLiteral(" nennt kein Geburtsdatum. Bitte das Alter "
                                                   "eingeben.");
    else if (!age)
        toDo << requestText(path) +
                    QStringLiteral(" nennt ein Geburtsdatum nach dem heutigen Tag (%1). Bitte das "
                                   "Alter eingeben.")
                        .arg(request.birthDate->toString(QStringLiteral("dd.MM.yyyy")));
    // 4. Sex, where the request gives it.
    if (request.sex == GdtSex::Male)
        Option1->setChecked(true);
    else if (request.sex == GdtSex::Female)
        Option2->setChecked(true);
    else
        toDo << requestText(path) + QStringLiteral(" nennt kein Geschlecht. Bitte männlich oder "
                                                   "weiblich wählen.");
    if (!toDo.isEmpty())
        m_services.messages->inform(toDo.join(QLatin1Char('\n')));
}

void Form1::gdtRequestRejected(const QString &path, const QString &movedTo, const GdtError &error)
{
    m_services.messages->inform(
        requestText(path) +
            QStringLiteral(" ist fehlerhaft und wird nicht übernommen. Sie liegt jetzt als „%1“ "
                           "im GDT-Verzeichnis.")
                .arg(QFileInfo(movedTo).fileName()),
        gdtErrorText(error));
}

// The window's layout is fixed; its title has room to say that an answer waits until
// the practice system has read the one before.
void Form1::showGdtAnswersWaiting(qsizetype waiting)
{
    const QString title = QStringLiteral("Tessarine");
    if (waiting == 0)
        setWindowTitle(title);
    else if (waiting == 1)
        setWindowTitle(title + QStringLiteral(" – GDT-Antwort wartet"));
    else
        setWindowTitle(title + QStringLiteral(" – %1 GDT-Antworten warten").arg(waiting));
}

bool Form1::isRequestedPerson(const TakeOverEntries &entries) const
{
    return m_gdtRequest && entries.first == m_gdtRequest->firstName &&
           entries.last == m_gdtRequest->lastName;
}

// The age a rating uses: exact from the birth date when the person is the request's
// and the age field still holds the request's whole years, else from the typed years.
double Form1::ratingAge(const TakeOverEntries &entries) const
{
    const double typed = textNumber(entries.age);
    if (isRequestedPerson(entries) && m_gdtRequest->birthDate) {
        const auto exact = exactAgeInYears(*m_gdtRequest->birthDate, m_services.clock->today());
        if (exact && std::floor(*exact) == typed)
            return *exact;
    }
    return ageOfTypedYears(typed);
}

// A stored take-over for the person of the pending request answers it, once, with the
// sex it was rated for.
void Form1::answerGdtRequest(const TakeOverEntries &entries, bool woman,
                             const QStringList &assessment, std::optional<double> percentile)
{
    // Names typed over the request's are another person's: the request waits for its own.
    if (!m_services.gdt || !isRequestedPerson(entries))
        return;
    GdtAnswer answer =
        answerTo(*m_gdtRequest, m_services.gdt->stationId(), m_services.gdt->practiceId());
    answer.sex = woman ? GdtSex::Female : GdtSex::Male;
    answer.takenAt = m_services.clock->now();
    answer.weightKg = textNumber(entries.weight);
    answer.heightMm = textNumber(entries.height);
    answer.findings = assessment;
    answer.bmiPercentile = percentile;
    const QByteArray bytes = writeGdtAnswer(answer);
    m_gdtRequest.reset();
    m_services.gdt->sendAnswer(bytes);
}
