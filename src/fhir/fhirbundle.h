#pragma once

#include "records/measurement.h"

#include <QByteArray>
#include <QString>

// The measurement as one FHIR R4 transaction Bundle (JSON, UTF-8): the Patient with
// identifierSystem|the order's patient number, its names and sex as taken over and the
// order's birth date, created only where none has it (ifNoneExist), and one
// Observation per value with category vital-signs, status final, effectiveDateTime,
// LOINC code and UCUM unit, on the R4 profiles bodyweight, bodyheight and bmi; a
// child's BMI percentile (59576-9, %) on the vital-signs profile.
QByteArray fhirTransaction(const Measurement &measurement, const QString &identifierSystem);

inline constexpr char fhirContentType[] = "application/fhir+json";
