#pragma once

#include "orders/order.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// One stored take-over: what the history file got, how it was rated, and for whom. It
// is the value every result goes out from, whatever link carries it.
struct Measurement
{
    QString firstName;
    QString lastName;
    bool woman = false;
    QString ageText;      // years, as typed and stored in the header
    double ratingAge = 0; // years the rating used: exact from a birth date where known
    QDateTime takenAt;    // when the operator took it over
    QString dateText;     // the date as the record holds it
    double weightKg = 0;  // as the scale's field showed it
    double heightMm = 0;
    double bmi = 0;                   // exact, from weight and height
    QString bmiStored;                // as the record holds it
    std::optional<int> ratingClass;   // none for a BMI outside every class
    std::optional<double> percentile; // a child rated by percentiles
    QStringList assessment;           // the lines of the rating, as shown
    QString historyFile;              // the person's file
    std::optional<Order> order;       // the request it answers; none when typed by hand
};

// Where a stored measurement goes next: the answer to a practice system, a message to
// a hospital, an export. A sink takes what concerns it and ignores the rest; it throws
// a Failure when it cannot keep what it took.
class MeasurementSink
{
public:
    virtual ~MeasurementSink() = default;
    // True when the measurement answered its order through this sink.
    virtual bool take(const Measurement &measurement) = 0;
};
