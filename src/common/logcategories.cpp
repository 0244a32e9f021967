#include "logcategories.h"

Q_LOGGING_CATEGORY(logScale, "tessarine.scale", QtInfoMsg)
Q_LOGGING_CATEGORY(logRecords, "tessarine.records", QtInfoMsg)
Q_LOGGING_CATEGORY(logViews, "tessarine.views", QtInfoMsg)
Q_LOGGING_CATEGORY(logReport, "tessarine.report", QtInfoMsg)
Q_LOGGING_CATEGORY(logGdt, "tessarine.gdt", QtInfoMsg)
Q_LOGGING_CATEGORY(logSettings, "tessarine.settings", QtInfoMsg)
Q_LOGGING_CATEGORY(logApp, "tessarine.app", QtInfoMsg)
Q_LOGGING_CATEGORY(logHl7, "tessarine.hl7", QtInfoMsg)
Q_LOGGING_CATEGORY(logFhir, "tessarine.fhir", QtInfoMsg)
