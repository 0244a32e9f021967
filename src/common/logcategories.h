#pragma once

#include <QLoggingCategory>

// One category per subsystem, so that QT_LOGGING_RULES turns on detail where support
// needs it, e.g. QT_LOGGING_RULES="tessarine.scale.debug=true". Information and above
// is on by default; debug lines are the detail.
Q_DECLARE_LOGGING_CATEGORY(logScale)    // tessarine.scale
Q_DECLARE_LOGGING_CATEGORY(logRecords)  // tessarine.records
Q_DECLARE_LOGGING_CATEGORY(logViews)    // tessarine.views
Q_DECLARE_LOGGING_CATEGORY(logReport)   // tessarine.report
Q_DECLARE_LOGGING_CATEGORY(logGdt)      // tessarine.gdt
Q_DECLARE_LOGGING_CATEGORY(logSettings) // tessarine.settings
Q_DECLARE_LOGGING_CATEGORY(logApp)      // tessarine.app
Q_DECLARE_LOGGING_CATEGORY(logHl7)      // tessarine.hl7
Q_DECLARE_LOGGING_CATEGORY(logFhir)     // tessarine.fhir
