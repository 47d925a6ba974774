#include "AnalisiVoceCache.h"

#include "AnalisiUsoIA.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <memory>
#include <zstd.h>

namespace VoceCache {

namespace {

const char kMagiaZstd[] = {'\x28', '\xB5', '\x2F', '\xFD'};

quint32 lunghezzaChiave(QByteArrayView byte)
{
    return qFromLittleEndian<quint32>(byte.data() + 12);
}

std::optional<qint64> percentuale(const QJsonValue& v)
{
    return v.isDouble() ? percentualeArrotondata(v.toDouble()) : std::nullopt;
}

} // namespace

std::optional<QString> chiaveVoce(QByteArrayView byte)
{
    if (byte.size() < kIntestazione + 1)
        return std::nullopt;
    if (qFromLittleEndian<quint64>(byte.data()) != kMagia)
        return std::nullopt;
    const quint32 n = lunghezzaChiave(byte);
    if (n < 1 || n > kChiaveMassima || byte.size() < kIntestazione + static_cast<qsizetype>(n))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString chiave = utf8(byte.sliced(kIntestazione, n));
    if (utf8.hasError())
        return std::nullopt;
    return chiave;
}

bool filtraURLUso(const QString& chiave, const QStringList& domini)
{
    if (std::none_of(domini.begin(), domini.end(),
                     [&](const QString& d) { return !d.isEmpty() && chiave.contains(d); }))
        return false;
    static const QString percorso = QStringLiteral("/api/organizations/");
    const qsizetype inizio = chiave.indexOf(percorso);
    if (inizio < 0)
        return false;
    QStringView resto = QStringView(chiave).sliced(inizio + percorso.size());
    qsizetype taglio = resto.size();
    for (QChar c : {QChar('?'), QChar('#')}) {
        const qsizetype k = resto.indexOf(c);
        if (k >= 0)
            taglio = std::min(taglio, k);
    }
    const auto pezzi = resto.first(taglio).split(QChar('/'));
    return pezzi.size() == 2 && !pezzi[0].isEmpty() && pezzi[1] == QLatin1String("usage");
}

std::optional<QByteArray> decomprimiZstd(QByteArrayView corpo)
{
    const size_t lunghezza = ZSTD_findFrameCompressedSize(corpo.data(), static_cast<size_t>(corpo.size()));
    if (ZSTD_isError(lunghezza) || lunghezza < 1 || lunghezza > static_cast<size_t>(corpo.size()))
        return std::nullopt;
    // A frame that declares its size is refused before any work when it
    // cannot fit; one that does not is decoded into the bounded buffer,
    // which the decoder never writes past.
    const unsigned long long dichiarata = ZSTD_getFrameContentSize(corpo.data(), lunghezza);
    if (dichiarata == ZSTD_CONTENTSIZE_ERROR)
        return std::nullopt;
    if (dichiarata != ZSTD_CONTENTSIZE_UNKNOWN && dichiarata > kUscitaMassima)
        return std::nullopt;
    QByteArray uscita(static_cast<qsizetype>(kUscitaMassima), '\0');
    const size_t scritti = ZSTD_decompress(uscita.data(), kUscitaMassima, corpo.data(), lunghezza);
    if (ZSTD_isError(scritti) || scritti < 1)
        return std::nullopt;
    uscita.truncate(static_cast<qsizetype>(scritti));
    return uscita;
}

std::optional<LimiteIA> analizzaFinestra(const QJsonValue& valore)
{
    if (!valore.isObject())
        return std::nullopt;
    const QJsonObject o = valore.toObject();
    if (o.isEmpty())
        return std::nullopt;
    const auto n = percentuale(o.value(QLatin1String("utilization")));
    if (!n)
        return std::nullopt;
    return LimiteIA{std::clamp<qint64>(*n, 0, 100), dataAzzeramento(o.value(QLatin1String("resets_at"))), *n >= 100};
}

std::optional<LetturaUsoIA> analizzaRisposta(const QByteArray& json, const QDateTime& scrittaIl)
{
    QJsonParseError errore{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &errore);
    if (errore.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject radice = doc.object();
    LetturaUsoIA lettura{FornitoreIA::claude, std::nullopt, std::nullopt, scrittaIl};

    QJsonArray limiti;
    if (const QJsonValue v = radice.value(QLatin1String("limits")); v.isArray()) {
        limiti = v.toArray();
        // One element that is not an object spoils the whole list.
        if (!std::all_of(limiti.begin(), limiti.end(), [](const QJsonValue& e) { return e.isObject(); }))
            limiti = {};
    }
    for (const QJsonValue& e : std::as_const(limiti)) {
        const QJsonObject o = e.toObject();
        if (o.isEmpty())
            continue;
        const auto n = percentuale(o.value(QLatin1String("percent")));
        if (!n)
            continue;
        const LimiteIA limite{std::clamp<qint64>(*n, 0, 100), dataAzzeramento(o.value(QLatin1String("resets_at"))),
                              o.value(QLatin1String("severity")) == QJsonValue(QStringLiteral("critical"))};
        const QJsonValue tipo = o.value(QLatin1String("kind"));
        if (!tipo.isString())
            continue;
        if (tipo.toString() == QLatin1String("session"))
            lettura.sessione = limite;
        else if (tipo.toString() == QLatin1String("weekly_all"))
            lettura.settimana = limite;
    }
    if (!lettura.sessione)
        lettura.sessione = analizzaFinestra(radice.value(QLatin1String("five_hour")));
    if (!lettura.settimana)
        lettura.settimana = analizzaFinestra(radice.value(QLatin1String("seven_day")));
    if (!lettura.sessione && !lettura.settimana)
        return std::nullopt;
    return lettura;
}

std::optional<LetturaUsoIA> analizzaVoce(QByteArrayView byte, const QDateTime& scrittaIl, const QStringList& domini)
{
    const auto chiave = chiaveVoce(byte);
    if (!chiave || !filtraURLUso(*chiave, domini))
        return std::nullopt;
    const qsizetype inizioCorpo = kIntestazione + static_cast<qsizetype>(lunghezzaChiave(byte));
    if (byte.size() <= inizioCorpo + 4 || byte.sliced(inizioCorpo, 4) != QByteArrayView(kMagiaZstd, 4))
        return std::nullopt;
    const auto risposta = decomprimiZstd(byte.sliced(inizioCorpo));
    if (!risposta)
        return std::nullopt;
    return analizzaRisposta(*risposta, scrittaIl);
}

} // namespace VoceCache
