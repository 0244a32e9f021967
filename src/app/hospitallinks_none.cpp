#include "hospitallinks.h"

#include "common/logcategories.h"
#include "settings/settingkeys.h"

// This build's Qt has no Network module: no hospital link.
struct HospitalLinks::Links
{
};

HospitalLinks::HospitalLinks(const StationSettings &settings, OutboxPump &, int)
{
    for (const QString &set : {settings.hl7Host, settings.fhirBaseUrl, settings.hl7ListenPort}) {
        if (!set.isEmpty()) {
            qCWarning(logApp).noquote()
                << QStringLiteral("HL7 und FHIR sind in diesem Build nicht enthalten (ohne Qt "
                                  "Network); die Einstellungen [hl7] und [fhir] wirken nicht");
            return;
        }
    }
}

HospitalLinks::~HospitalLinks() = default;

QList<MeasurementSink *> HospitalLinks::sinks() const
{
    return {};
}

QString HospitalLinks::listen(OrderTaker)
{
    return {};
}
