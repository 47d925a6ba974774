#include "BundleProva.h"

#include "FirmaBundle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>
#include <openssl/evp.h>
#include <openssl/pem.h>

namespace BundleProva {

QByteArray chiavePrivata()
{
    QFile f(QStringLiteral(HALVORA_CHIAVE_PROVA_PEM));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray chiavePubblica()
{
    return FirmaBundle::chiavePubblica(chiavePrivata());
}

QByteArray chiaveEstranea()
{
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> k(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"),
                                                          &EVP_PKEY_free);
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), &BIO_free);
    if (!k || !bio || PEM_write_bio_PrivateKey(bio.get(), k.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1)
        return {};
    char* dati = nullptr;
    const long n = BIO_get_mem_data(bio.get(), &dati);
    return QByteArray(dati, n);
}

bool aggiungi(const QString& cartella, const QString& percorso, const QByteArray& contenuto, bool eseguibile)
{
    const QString pieno = QDir(cartella).filePath(percorso);
    QDir().mkpath(QFileInfo(pieno).path());
    QFile f(pieno);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(contenuto) != contenuto.size())
        return false;
    f.close();
    QFile::Permissions p = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (eseguibile)
        p |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    return f.setPermissions(p);
}

bool crea(const QString& cartella, const QString& identificatore, const QString& versione, const QString& eseguibile)
{
    const QJsonObject info{
        {QStringLiteral("identificatore"), identificatore.isEmpty() ? FirmaBundle::identificatore() : identificatore},
        {QStringLiteral("versione"), versione},
        {QStringLiteral("architettura"), QStringLiteral("amd64")},
        {QStringLiteral("eseguibile"), QStringLiteral("halvora")}};
    QByteArray programma = "#!/bin/sh\nexit 0\n";
    if (!eseguibile.isEmpty()) {
        QFile f(eseguibile);
        if (!f.open(QIODevice::ReadOnly))
            return false;
        programma = f.readAll();
    }
    return QDir().mkpath(cartella) && aggiungi(cartella, QStringLiteral("Info.json"), QJsonDocument(info).toJson()) &&
           aggiungi(cartella, QStringLiteral("halvora"), programma, true);
}

QString firma(const QString& cartella, const QByteArray& pem)
{
    return FirmaBundle::firma(cartella, pem).value_or(QString());
}

} // namespace BundleProva
