#include "serialports.h"

#include <QSerialPortInfo>

QStringList availableSerialPorts()
{
    QStringList ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        const QString name = settingName(info);
        ports << (info.description().isEmpty()
                      ? name
                      : QStringLiteral("%1 (%2)").arg(name, info.description()));
    }
    ports.sort();
    return ports;
}

QString portAdvice(const QString &whereSet, const QStringList &ports)
{
    QString text = QStringLiteral("Die Schnittstelle ist %1.\n").arg(whereSet);
    if (ports.isEmpty())
        return text + QStringLiteral("Auf diesem Rechner ist keine serielle Schnittstelle zu "
                                     "finden.");
    text += QStringLiteral("Vorhandene serielle Schnittstellen:");
    for (const QString &port : ports)
        text += QStringLiteral("\n    ") + port;
    return text;
}
