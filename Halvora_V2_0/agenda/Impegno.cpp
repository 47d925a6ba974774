#include "Impegno.h"

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>

QString Impegno::orario() const
{
    if (interaGiornata)
        return QCoreApplication::translate("Halvora", "tutto il giorno");
    // The locale's own clock, as the reminders' times use it.
    const QLocale locale;
    return locale.toString(inizio.toLocalTime().time(), QLocale::ShortFormat) + QChar(0x2013)
        + locale.toString(fine.toLocalTime().time(), QLocale::ShortFormat);
}

std::optional<QString> Promemoria::scadenzaTesto(const QDateTime& ora) const
{
    if (!scadenza)
        return std::nullopt;
    const QLocale locale;
    const QDateTime quando = scadenza->toLocalTime();
    if (quando.date() == ora.toLocalTime().date())
        return locale.toString(quando.time(), QLocale::ShortFormat);
    return Agenda::giornoBreve(quando.date(), locale) + QLatin1Char(' ')
        + locale.toString(quando.time(), QLocale::ShortFormat);
}

namespace Agenda {

void ordinaImpegni(QList<Impegno>& impegni)
{
    std::stable_sort(impegni.begin(), impegni.end(), [](const Impegno& a, const Impegno& b) {
        if (a.interaGiornata != b.interaGiornata)
            return a.interaGiornata;
        return a.inizio < b.inizio;
    });
}

void ordinaPromemoria(QList<Promemoria>& promemoria)
{
    std::stable_sort(promemoria.begin(), promemoria.end(), [](const Promemoria& a, const Promemoria& b) {
        if (a.scadenza.has_value() != b.scadenza.has_value())
            return a.scadenza.has_value();
        return a.scadenza && *a.scadenza < *b.scadenza;
    });
}

std::optional<Impegno> prossimo(const QList<Impegno>& ordinati, const QDateTime& oraLocale)
{
    const QDateTime ora = oraLocale.toUTC(); // one conversion, not one per event
    for (const auto& i : ordinati) {
        if (i.interaGiornata || i.annullato)
            continue;
        const qint64 mancano = ora.msecsTo(i.inizio);
        if (mancano > 0 && mancano <= qint64(kAnticipoProssimo * 1000))
            return i;
    }
    return std::nullopt;
}

std::optional<Promemoria> daAnnunciare(const QList<Promemoria>& ordinati, const QDateTime& oraLocale,
                                       const QSet<QString>& giaAvvisati)
{
    const QDateTime ora = oraLocale.toUTC();
    const QDateTime soglia = ora.addMSecs(-qint64(kFinestraScadenza * 1000));
    for (const auto& p : ordinati) {
        if (!p.scadenza || *p.scadenza > ora || *p.scadenza <= soglia || giaAvvisati.contains(p.id))
            continue;
        return p;
    }
    return std::nullopt;
}

QString giornoBreve(const QDate& giorno, const QLocale& locale)
{
    const bool meseAvanti = locale.dateFormat(QLocale::ShortFormat).trimmed().startsWith(QLatin1Char('M'));
    return locale.toString(giorno, meseAvanti ? QStringLiteral("MMM d") : QStringLiteral("d MMM"));
}

QDateTime inizioGiorno(const QDateTime& ora) { return ora.toLocalTime().date().startOfDay(); }

QDateTime fineGiorno(const QDateTime& ora) { return ora.toLocalTime().date().addDays(1).startOfDay(); }

} // namespace Agenda
