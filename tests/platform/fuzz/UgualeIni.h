#pragma once

#include <QDataStream>
#include <QDateTime>
#include <QIODevice>
#include <QVariant>
#include <cmath>

// Whether `letto`, read back from an INI file, is the `scritto` that was
// written: an equal value of the same type, or the text form that the
// number, Boolean or date and time is written as.
inline bool ugualeLetto(const QVariant& scritto, const QVariant& letto)
{
    auto byte = [](const QVariant& v) {
        QByteArray b;
        QDataStream s(&b, QIODevice::WriteOnly);
        s << v;
        return b;
    };
    // A null text and an empty one are the same setting; so are two NaNs.
    if (scritto.metaType() == letto.metaType())
        return scritto == letto || byte(scritto) == byte(letto);
    if (letto.typeId() != QMetaType::QString)
        return false;
    const QString testo = letto.toString();
    switch (scritto.typeId()) {
    case QMetaType::Bool:
        return testo == (scritto.toBool() ? QLatin1String("true") : QLatin1String("false"));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return testo == scritto.toString();
    case QMetaType::QDateTime:
        return QDateTime::fromString(testo, Qt::ISODateWithMs) == scritto.toDateTime();
    default:
        return false;
    }
}
