#include "PresentazioneUsoIA.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

FasciaUso fasciaUso(const LimiteIA& limite)
{
    if (limite.critico || limite.percentuale >= 95)
        return FasciaUso::alta;
    if (limite.percentuale >= 75)
        return FasciaUso::avviso;
    return FasciaUso::normale;
}

QString durataBreve(qint64 secondi)
{
    // The nearest whole minute: a countdown reads better rounded than cut.
    const qint64 minuti = (secondi + 30) / 60;
    const qint64 ore = minuti / 60;
    const qint64 resto = minuti % 60;
    QStringList parti;
    if (ore > 0)
        parti << QCoreApplication::translate("Halvora", "%1 h").arg(ore);
    if (resto > 0 || ore == 0)
        parti << QCoreApplication::translate("Halvora", "%1 min").arg(resto);
    return parti.join(QLatin1Char(' '));
}

std::optional<QString> testoAzzeramento(const LimiteIA& limite, const QDateTime& ora, const QLocale& locale)
{
    if (!limite.siAzzera)
        return std::nullopt;
    const double t = ora.msecsTo(*limite.siAzzera) / 1000.0;
    if (!(t > 0))
        return std::nullopt;
    if (t >= 86400) {
        // Weekday, hour and minute, in the locale's order and clock.
        const QString formato = QStringLiteral("ddd ") + locale.timeFormat(QLocale::ShortFormat);
        const QString quando = locale.toString(limite.siAzzera->toLocalTime(), formato);
        return QCoreApplication::translate("Halvora", "si azzera %1").arg(quando);
    }
    const qint64 secondi = std::max<qint64>(static_cast<qint64>(std::floor(t)), 60);
    return QCoreApplication::translate("Halvora", "si azzera fra %1").arg(durataBreve(secondi));
}
