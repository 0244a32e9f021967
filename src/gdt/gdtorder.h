#pragma once

#include "gdtrequest.h"
#include "orders/order.h"

// A GDT request as the worklist keeps it, and back: what the answer must name again
// (record type, set, ids, device) travels in the order's echo under the GDT field's
// number, so that the request read back is the one that came in.

inline constexpr char gdtOrderSource[] = "GDT";
// A request to show a person's chart (6311): nothing is answered, and it never replaces
// a measurement request of the same patient in the worklist.
inline constexpr char gdtChartSource[] = "GDT-6311";

Order orderOfGdtRequest(const GdtRequest &request, const QString &fileName);
GdtRequest gdtRequestOfOrder(const Order &order);
