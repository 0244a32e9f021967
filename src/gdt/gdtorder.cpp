#include "gdtorder.h"

namespace {

const QString recordTypeKey = QStringLiteral("8000");
const QString charsetKey = QStringLiteral("9206");
const QString receiverKey = QStringLiteral("8315");
const QString senderKey = QStringLiteral("8316");
const QString deviceKey = QStringLiteral("8402");
const QString identKey = QStringLiteral("8310");
const QString uidKey = QStringLiteral("8314");

} // namespace

Order orderOfGdtRequest(const GdtRequest &request, const QString &fileName)
{
    Order order;
    order.source =
        QString::fromLatin1(request.recordType == "6311" ? gdtChartSource : gdtOrderSource);
    order.patientNumber = request.patientNumber;
    order.lastName = request.lastName;
    order.firstName = request.firstName;
    order.sex = request.sex == GdtSex::Male     ? Order::Sex::Male
                : request.sex == GdtSex::Female ? Order::Sex::Female
                                                : Order::Sex::Unknown;
    order.birthDateSent = request.birthDate ? gdtDate(*request.birthDate) : request.birthDateUnread;
    order.birthDate = request.birthDate;
    order.echo.insert(recordTypeKey, QString::fromLatin1(request.recordType));
    order.echo.insert(charsetKey, QString::fromLatin1(gdtCharsetField(request.charset)));
    order.echo.insert(receiverKey, request.receiverId);
    order.echo.insert(senderKey, request.senderId);
    order.echo.insert(deviceKey, request.deviceCode);
    order.echo.insert(identKey, request.requestIdent);
    order.echo.insert(uidKey, request.requestUid);
    order.requestFile = fileName;
    return order;
}

GdtRequest gdtRequestOfOrder(const Order &order)
{
    GdtRequest request;
    request.recordType = order.echo.value(recordTypeKey, QStringLiteral("6302")).toLatin1();
    request.charset =
        gdtCharsetFromField(order.echo.value(charsetKey).toLatin1()).value_or(GdtCharset::Cp437);
    request.receiverId = order.echo.value(receiverKey);
    request.senderId = order.echo.value(senderKey);
    request.deviceCode = order.echo.value(deviceKey);
    request.patientNumber = order.patientNumber;
    request.lastName = order.lastName;
    request.firstName = order.firstName;
    request.birthDate = order.birthDate;
    if (!order.birthDate)
        request.birthDateUnread = order.birthDateSent;
    request.requestIdent = order.echo.value(identKey);
    request.requestUid = order.echo.value(uidKey);
    request.sex = order.sex == Order::Sex::Male     ? GdtSex::Male
                  : order.sex == Order::Sex::Female ? GdtSex::Female
                                                    : GdtSex::Unknown;
    return request;
}
