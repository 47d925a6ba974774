#include "FixtureUsoIA.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <sys/time.h>
#include <zstd.h>

namespace FixtureUsoIA {

QByteArray zstd(const QByteArray& dati, bool conDimensione)
{
    QByteArray out(static_cast<qsizetype>(ZSTD_compressBound(static_cast<size_t>(dati.size()))) + 64, '\0');
    if (conDimensione) {
        const size_t n = ZSTD_compress(out.data(), static_cast<size_t>(out.size()), dati.constData(),
                                       static_cast<size_t>(dati.size()), 3);
        out.truncate(static_cast<qsizetype>(n));
        return out;
    }
    ZSTD_CCtx* c = ZSTD_createCCtx();
    ZSTD_CCtx_setParameter(c, ZSTD_c_contentSizeFlag, 0);
    ZSTD_inBuffer in{dati.constData(), static_cast<size_t>(dati.size()), 0};
    ZSTD_outBuffer o{out.data(), static_cast<size_t>(out.size()), 0};
    while (ZSTD_compressStream2(c, &o, &in, ZSTD_e_end) != 0) {
    }
    ZSTD_freeCCtx(c);
    out.truncate(static_cast<qsizetype>(o.pos));
    return out;
}

QByteArray voce(const Voce& v)
{
    const QByteArray chiave = v.chiaveGrezza.value_or(v.chiave.toUtf8());
    QByteArray b(24, '\0');
    qToLittleEndian<quint64>(v.magia.value_or(0xFCFB6D1BA7725C30ULL), b.data());
    qToLittleEndian<quint32>(5, b.data() + 8);
    qToLittleEndian<quint32>(v.lunghezzaChiave.value_or(static_cast<quint32>(chiave.size())), b.data() + 12);
    qToLittleEndian<quint32>(0xABCD1234u, b.data() + 16);
    return b + chiave + v.corpo + v.coda;
}

void tocca(const QString& file, const QDateTime& modifica)
{
    const qint64 ms = modifica.toMSecsSinceEpoch();
    timeval t[2];
    t[0].tv_sec = t[1].tv_sec = ms / 1000;
    t[0].tv_usec = t[1].tv_usec = (ms % 1000) * 1000;
    utimes(QFile::encodeName(file).constData(), t);
}

QString scrivi(const QString& cartella, const QString& nome, const QByteArray& dati, const QDateTime& modifica)
{
    QDir().mkpath(cartella);
    const QString percorso = cartella + QLatin1Char('/') + nome;
    QFile f(percorso);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(dati);
    f.close();
    tocca(percorso, modifica);
    return percorso;
}

QByteArray rispostaNominata(double cinqueOre, double setteGiorni, const QString& azzeraCinque,
                            const QString& azzeraSette)
{
    QJsonObject cinque{{"utilization", cinqueOre}};
    if (!azzeraCinque.isEmpty())
        cinque.insert("resets_at", azzeraCinque);
    QJsonObject sette{{"utilization", setteGiorni}};
    if (!azzeraSette.isEmpty())
        sette.insert("resets_at", azzeraSette);
    return QJsonDocument(QJsonObject{{"five_hour", cinque}, {"seven_day", sette}, {"extra_usage", QJsonValue()}})
        .toJson(QJsonDocument::Compact);
}

namespace {

QJsonObject finestra(const Finestra& f)
{
    QJsonObject o{{"used_percent", f.usata}, {"window_minutes", 300}};
    if (f.azzeraAlle)
        o.insert("resets_at", *f.azzeraAlle);
    if (f.azzeraFra)
        o.insert("resets_in_seconds", *f.azzeraFra);
    return o;
}

} // namespace

QByteArray rigaCodex(const QString& timestamp, std::optional<Finestra> primaria, std::optional<Finestra> secondaria,
                     std::optional<QString> limitId)
{
    QJsonObject limiti;
    if (limitId)
        limiti.insert("limit_id", *limitId);
    if (primaria)
        limiti.insert("primary", finestra(*primaria));
    if (secondaria)
        limiti.insert("secondary", finestra(*secondaria));
    QJsonObject riga{{"type", "event_msg"},
                     {"payload", QJsonObject{{"type", "token_count"}, {"rate_limits", limiti}}}};
    if (!timestamp.isEmpty())
        riga.insert("timestamp", timestamp);
    return QJsonDocument(riga).toJson(QJsonDocument::Compact);
}

QByteArray rigaSenzaLimiti(const QString& testo)
{
    return QJsonDocument(QJsonObject{{"type", "response_item"}, {"payload", QJsonObject{{"text", testo}}}})
        .toJson(QJsonDocument::Compact);
}

QString scriviLog(const QString& radice, const QDate& giorno, const QString& nome, const QList<QByteArray>& righe,
                  const QDateTime& modifica, qint64 riempimento)
{
    QByteArray dati;
    if (riempimento > 0) {
        const QByteArray r = rigaSenzaLimiti(QString(200, QLatin1Char('x'))) + '\n';
        dati.reserve(riempimento + 4096);
        while (dati.size() + r.size() <= riempimento)
            dati += r;
        dati += QByteArray(riempimento - dati.size(), ' ');
    }
    for (const QByteArray& r : righe)
        dati += r + '\n';
    const QString cartella =
        radice + QLatin1Char('/') + QString::asprintf("%04d/%02d/%02d", giorno.year(), giorno.month(), giorno.day());
    return scrivi(cartella, nome, dati, modifica);
}

} // namespace FixtureUsoIA
