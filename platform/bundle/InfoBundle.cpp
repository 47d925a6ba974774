#include "InfoBundle.h"

#include "AlberoBundle.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <unistd.h>

namespace {
// Info.json is a few lines; anything past this is not one.
constexpr qsizetype kMassimoByte = 64 * 1024;
}

std::optional<InfoBundle> InfoBundle::leggi(const QByteArray& json)
{
    QJsonParseError errore{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &errore);
    if (errore.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    InfoBundle info{o.value(QLatin1String("identificatore")).toString(), o.value(QLatin1String("versione")).toString(),
                    o.value(QLatin1String("architettura")).toString(), o.value(QLatin1String("eseguibile")).toString()};
    if (info.identificatore.isEmpty() || info.versione.isEmpty() || info.architettura.isEmpty() ||
        info.eseguibile.isEmpty() || info.eseguibile.contains(QLatin1Char('/')) || info.eseguibile == QLatin1String(".") ||
        info.eseguibile == QLatin1String(".."))
        return std::nullopt;
    return info;
}

std::optional<InfoBundle> InfoBundle::daCartella(int cartella)
{
    const auto dati = AlberoBundle::leggiFile(cartella, kNomeFile, kMassimoByte);
    return dati ? leggi(*dati) : std::nullopt;
}

std::optional<InfoBundle> InfoBundle::daBundle(const QString& bundle)
{
    const int fd = AlberoBundle::apriCartella(QFile::encodeName(bundle).toStdString());
    if (fd < 0)
        return std::nullopt;
    auto info = daCartella(fd);
    ::close(fd);
    return info;
}
