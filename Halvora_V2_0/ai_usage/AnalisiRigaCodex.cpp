#include "AnalisiRigaCodex.h"

#include "AnalisiUsoIA.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace RigaCodex {

std::optional<LimiteIA> analizzaFinestra(const QJsonValue& valore, const QDateTime& base)
{
    if (!valore.isObject())
        return std::nullopt;
    const QJsonObject o = valore.toObject();
    const QJsonValue usata = o.value(QLatin1String("used_percent"));
    if (o.isEmpty() || !usata.isDouble())
        return std::nullopt;
    const auto n = percentualeArrotondata(usata.toDouble());
    if (!n)
        return std::nullopt;
    std::optional<QDateTime> siAzzera;
    const QJsonValue a = o.value(QLatin1String("resets_at"));
    const QJsonValue fra = o.value(QLatin1String("resets_in_seconds"));
    if (a.isDouble())
        siAzzera = dataDaSecondi(a.toDouble());
    // A "resets_at" that is no usable time leaves the relative one to speak.
    if (!siAzzera && fra.isDouble())
        siAzzera = dataDopo(base, fra.toDouble());
    return LimiteIA{std::clamp<qint64>(*n, 0, 100), siAzzera, *n >= 100};
}

std::optional<LetturaUsoIA> analizzaRiga(QByteArrayView riga, const QDateTime& ripiego)
{
    QJsonParseError errore{};
    const QJsonDocument doc = QJsonDocument::fromJson(riga.toByteArray(), &errore);
    if (errore.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject radice = doc.object();
    const QJsonValue payload = radice.value(QLatin1String("payload"));
    if (!payload.isObject())
        return std::nullopt;
    const QJsonValue rl = payload.toObject().value(QLatin1String("rate_limits"));
    if (!rl.isObject())
        return std::nullopt;
    const QJsonObject limiti = rl.toObject();
    const QJsonValue id = limiti.value(QLatin1String("limit_id"));
    if (id.isString() && id.toString() != QLatin1String("codex"))
        return std::nullopt;
    const QDateTime scrittaIl = dataAzzeramento(radice.value(QLatin1String("timestamp"))).value_or(ripiego);
    LetturaUsoIA lettura{FornitoreIA::codex, analizzaFinestra(limiti.value(QLatin1String("primary")), scrittaIl),
                         analizzaFinestra(limiti.value(QLatin1String("secondary")), scrittaIl), scrittaIl};
    if (!lettura.sessione && !lettura.settimana)
        return std::nullopt;
    return lettura;
}

std::optional<LetturaUsoIA> analizzaCoda(QByteArrayView coda, bool tagliata, const QDateTime& ripiego)
{
    // The first line of a cut tail is skipped: it may be the end of a line.
    qsizetype inizio = 0;
    if (tagliata) {
        const qsizetype a = coda.indexOf('\n');
        if (a < 0)
            return std::nullopt;
        inizio = a + 1;
    }
    qsizetype fine = coda.size();
    while (fine > inizio) {
        const qsizetype a = coda.lastIndexOf('\n', fine - 1);
        const qsizetype da = std::max(a + 1, inizio);
        const QByteArrayView riga = coda.sliced(da, fine - da);
        if (!riga.isEmpty() && riga.contains(kMarcatore))
            if (auto l = analizzaRiga(riga, ripiego))
                return l;
        if (a < inizio)
            break;
        fine = a;
    }
    return std::nullopt;
}

} // namespace RigaCodex
