#include "FeedAggiornamenti.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace FeedAggiornamenti {

namespace {
// Required: a string. Optional: a string, null or absent. `ok` turns false
// on any other type.
std::optional<QString> stringa(const QJsonObject& o, const char* chiave, bool obbligatoria, bool& ok)
{
    const QJsonValue v = o.value(QLatin1String(chiave));
    if (v.isString())
        return v.toString();
    if (obbligatoria || !(v.isUndefined() || v.isNull()))
        ok = false;
    return std::nullopt;
}

qint64 numeroPezzo(const QString& pezzo)
{
    const int inizio = (pezzo.startsWith(QLatin1Char('+')) || pezzo.startsWith(QLatin1Char('-'))) ? 1 : 0;
    if (pezzo.size() == inizio)
        return 0;
    for (int i = inizio; i < pezzo.size(); ++i)
        if (pezzo[i] < QLatin1Char('0') || pezzo[i] > QLatin1Char('9'))
            return 0;
    bool ok = false;
    // toLongLong also takes a leading "-" and fails on overflow; a "+" it
    // does not take.
    const qint64 n = pezzo.mid(pezzo.startsWith(QLatin1Char('+')) ? 1 : 0).toLongLong(&ok, 10);
    return ok ? n : 0;
}
} // namespace

std::optional<Risposta> decodifica(const QByteArray& corpo)
{
    if (corpo.size() > kCorpoMassimo)
        return std::nullopt;
    QJsonParseError errore {};
    const QJsonDocument doc = QJsonDocument::fromJson(corpo, &errore);
    if (errore.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    bool ok = true;
    Risposta r;
    r.versione = stringa(o, "versione", true, ok).value_or(QString());
    r.minimoMacOS = stringa(o, "minimoMacOS", false, ok);
    r.download = stringa(o, "download", true, ok).value_or(QString());
    r.pacchetto = stringa(o, "pacchetto", false, ok);
    if (!ok)
        return std::nullopt;
    return r;
}

QList<qint64> numeri(const QString& versione)
{
    QList<qint64> n;
    for (const QString& pezzo : versione.split(QLatin1Char('.'), Qt::SkipEmptyParts))
        n.append(numeroPezzo(pezzo));
    return n;
}

bool versionePrecede(const QString& prima, const QString& seconda)
{
    const QList<qint64> a = numeri(prima);
    const QList<qint64> b = numeri(seconda);
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        const qint64 x = a.value(i, 0);
        const qint64 y = b.value(i, 0);
        if (x != y)
            return x < y;
    }
    return false;
}

bool sistemaAdatto(const std::optional<QString>& minimo, const SistemaAlmeno& sistemaAlmeno)
{
    if (!minimo)
        return true;
    const QList<qint64> n = numeri(*minimo);
    auto parte = [&](int i) { return static_cast<int>(std::clamp<qint64>(n.value(i, 0), INT_MIN, INT_MAX)); };
    return !sistemaAlmeno || sistemaAlmeno(parte(0), parte(1), parte(2));
}

std::optional<QUrl> urlSicuro(const QString& testo)
{
    const QUrl url(testo, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty())
        return std::nullopt;
    return url;
}

} // namespace FeedAggiornamenti
