#include "UserDefaults.h"

#include "FileIni.h"
#include "SalvataggioSicuro.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>

namespace {
UserDefaults* g_condiviso = nullptr;

QString percorsoUtente()
{
    // Where QSettings keeps an INI store of organisation and application "Halvora".
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Halvora/Halvora.ini");
}
} // namespace

UserDefaults::UserDefaults(QObject* parent) : UserDefaults(percorsoUtente(), parent) {}

UserDefaults::UserDefaults(const QString& percorsoIni, QObject* parent) : QObject(parent), percorso_(percorsoIni)
{
    scrittore_.setMaxThreadCount(1);
    carica();
}

UserDefaults::~UserDefaults()
{
    sync();
    if (g_condiviso == this)
        g_condiviso = nullptr;
}

void UserDefaults::carica()
{
    // A save cut off left its temporary: whole or cut, nothing tells, and
    // the file beside it holds the save before, whole.
    for (const SalvataggioSicuro::Avanzo& a : SalvataggioSicuro::avanzi(QFileInfo(percorso_).path()))
        if (a.destinazione == percorso_)
            QFile::remove(a.percorso);
    QFile file(percorso_);
    if (!file.exists())
        return;
    // QSettings reads past bytes that are no text; a file holding any is as broken as one it cannot parse.
    const QByteArray byte = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    bool leggibile = file.error() == QFileDevice::NoError && QByteArrayView(byte).isValidUtf8() && !byte.contains('\0');
    if (leggibile) {
        // QSettings keeps what it parsed by file name for the whole process
        // and trusts it while the file's size and time (to the millisecond)
        // stay; our own saves are unknown to it. The bytes just read are
        // parsed under a name never used before.
        QTemporaryFile copia(QDir::tempPath() + QStringLiteral("/halvora-impostazioni-XXXXXX.ini"));
        const bool copiata = copia.open() && copia.write(byte) == byte.size() && copia.flush();
        QSettings ini(copiata ? copia.fileName() : percorso_, QSettings::IniFormat);
        for (const QString& k : ini.allKeys())
            valori_.insert(k, ini.value(k));
        leggibile = ini.status() == QSettings::NoError;
    }
    if (leggibile) {
        suDisco_ = valori_;
        return;
    }
    // Kept whole beside it, by a rename that needs no free space, before
    // the defaults are written in its place.
    valori_.clear();
    QString copia = percorso_ + QStringLiteral(".illeggibile");
    if (QFileInfo::exists(copia))
        copia += QLatin1Char('-') + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmsszzz"));
    if (::rename(QFile::encodeName(percorso_).constData(), QFile::encodeName(copia).constData()) == 0) {
        messoDaParte_ = copia;
        qWarning("Impostazioni illeggibili, messe da parte in %s", qPrintable(copia));
    }
}

QVariant UserDefaults::value(const QString& chiave, const QVariant& predefinito) const
{
    return valori_.value(chiave, predefinito);
}

bool UserDefaults::contains(const QString& chiave) const { return valori_.contains(chiave); }

std::optional<bool> UserDefaults::boolValue(const QString& chiave) const
{
    const QVariant v = valori_.value(chiave);
    if (!v.isValid())
        return std::nullopt;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    const QString testo = v.toString().trimmed().toLower();
    if (testo == QLatin1String("true") || testo == QLatin1String("1"))
        return true;
    if (testo == QLatin1String("false") || testo == QLatin1String("0"))
        return false;
    return std::nullopt;
}

bool UserDefaults::boolValue(const QString& chiave, bool predefinito) const
{
    return boolValue(chiave).value_or(predefinito);
}

QStringList UserDefaults::stringList(const QString& chiave) const
{
    const QVariant v = valori_.value(chiave);
    if (!v.isValid())
        return {};
    if (v.typeId() == QMetaType::QStringList || v.typeId() == QMetaType::QVariantList)
        return v.toStringList();
    const QString testo = v.toString();
    return testo.isEmpty() ? QStringList{} : QStringList{testo};
}

void UserDefaults::setValue(const QString& chiave, const QVariant& valore)
{
    valori_.insert(chiave, valore);
    cambiato(chiave);
}

void UserDefaults::remove(const QString& chiave)
{
    const QString sotto = chiave + QLatin1Char('/');
    for (auto it = valori_.begin(); it != valori_.end();)
        it = it.key() == chiave || it.key().startsWith(sotto) ? valori_.erase(it) : std::next(it);
    cambiato(chiave);
}

bool UserDefaults::nonSalvata(const QString& chiave) const
{
    if (!fallita_)
        return false;
    const QVariant ora = valori_.value(chiave), suDisco = suDisco_.value(chiave);
    // Alike when the file would hold the same text (a Boolean and the text it was read as).
    return ora.isValid() != suDisco.isValid()
           || (ora.isValid() && FileIni::testo({{chiave, ora}}) != FileIni::testo({{chiave, suDisco}}));
}

std::optional<QVariant> UserDefaults::valoreSuDisco(const QString& chiave) const
{
    const auto it = suDisco_.constFind(chiave);
    return it == suDisco_.constEnd() ? std::nullopt : std::optional<QVariant>(*it);
}

void UserDefaults::cambiato(const QString& chiave)
{
    ++versione_;
    if (!chiave.isNull())
        emit changed(chiave);
    // Writes made in one turn of the event loop are saved together.
    if (std::exchange(pianificato_, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            pianificato_ = false;
            salvaInFondo();
        },
        Qt::QueuedConnection);
}

void UserDefaults::salvaInFondo()
{
    if (salvata_ >= versione_)
        return;
    const quint64 versione = versione_;
    const QVariantMap valori = valori_;
    scrittore_.start([this, versione, valori] {
        QDir().mkpath(QFileInfo(percorso_).path());
        const auto errore = SalvataggioSicuro::salva(percorso_, FileIni::testo(valori));
        if (!errore) {
            // Versions are saved in order, one at a time.
            salvata_ = versione;
            QMetaObject::invokeMethod(this, [this, valori] { salvate(valori); }, Qt::QueuedConnection);
            return;
        }
        // This object outlives the worker: its destructor waits for it.
        QMetaObject::invokeMethod(
            this,
            [this, motivo = errore->testo()] {
                fallita_ = true;
                emit salvataggioFallito(motivo);
            },
            Qt::QueuedConnection);
    });
}

bool UserDefaults::sync()
{
    scrittore_.waitForDone();
    if (salvata_ >= versione_)
        return true;
    QDir().mkpath(QFileInfo(percorso_).path());
    if (const auto errore = SalvataggioSicuro::salva(percorso_, FileIni::testo(valori_))) {
        fallita_ = true;
        emit salvataggioFallito(errore->testo());
        return false;
    }
    salvata_ = versione_;
    salvate(valori_);
    return true;
}

void UserDefaults::salvate(const QVariantMap& valori)
{
    suDisco_ = valori;
    if (std::exchange(fallita_, false))
        emit salvataggioRiuscito();
}

UserDefaults& UserDefaults::shared()
{
    if (!g_condiviso) {
        static UserDefaults predefinito;
        g_condiviso = &predefinito;
    }
    return *g_condiviso;
}

void UserDefaults::setShared(UserDefaults* store) { g_condiviso = store; }
