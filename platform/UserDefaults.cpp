#include "UserDefaults.h"

#include "FileIni.h"
#include "SalvataggioSicuro.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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
    SalvataggioSicuro::scartaAvanzi(percorso_);
    QFile file(percorso_);
    if (!file.exists())
        return;
    const QByteArray byte = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const bool letto = file.error() == QFileDevice::NoError;
    FileIni::Lettura lettura = letto ? FileIni::leggi(byte) : FileIni::Lettura{{}, false};
    if (lettura.intero) {
        valori_ = std::move(lettura.valori);
        suDisco_ = valori_;
        return;
    }
    valori_ = std::move(lettura.valori);
    // Kept whole beside it, by a rename that needs no free space; what could
    // be read takes its place at once, so it is set aside only this once.
    QString copia = percorso_ + QStringLiteral(".illeggibile");
    if (QFileInfo::exists(copia))
        copia += QLatin1Char('-') + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmsszzz"));
    if (::rename(QFile::encodeName(percorso_).constData(), QFile::encodeName(copia).constData()) != 0)
        return;
    messoDaParte_ = copia;
    qWarning("Impostazioni lette in parte, il file intero è in %s", qPrintable(copia));
    if (!valori_.isEmpty()) {
        ++versione_;
        sync();
    }
}

QVariant UserDefaults::value(const QString& chiave, const QVariant& predefinito) const
{
    return valori_.value(FileIni::chiaveNormale(chiave), predefinito);
}

bool UserDefaults::contains(const QString& chiave) const { return valori_.contains(FileIni::chiaveNormale(chiave)); }

std::optional<bool> UserDefaults::boolValue(const QString& chiave) const
{
    const QVariant v = value(chiave);
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
    const QVariant v = value(chiave);
    if (!v.isValid())
        return {};
    if (v.typeId() == QMetaType::QStringList || v.typeId() == QMetaType::QVariantList)
        return v.toStringList();
    const QString testo = v.toString();
    return testo.isEmpty() ? QStringList{} : QStringList{testo};
}

void UserDefaults::setValue(const QString& chiave, const QVariant& valore)
{
    // Kept as QSettings would keep it, so that it reads back under the same name.
    const QString k = FileIni::chiaveNormale(chiave);
    if (k.isEmpty())
        return;
    valori_.insert(k, valore);
    cambiato(chiave);
}

void UserDefaults::remove(const QString& chiave)
{
    const QString sotto = FileIni::chiaveNormale(chiave) + QLatin1Char('/');
    for (auto it = valori_.begin(); it != valori_.end();)
        it = it.key() == sotto.chopped(1) || it.key().startsWith(sotto) ? valori_.erase(it) : std::next(it);
    cambiato(chiave);
}

bool UserDefaults::nonSalvata(const QString& chiave) const
{
    if (!fallita_)
        return false;
    const QString k = FileIni::chiaveNormale(chiave);
    const QVariant ora = valori_.value(k), suDisco = suDisco_.value(k);
    // Alike when the file would hold the same text (a Boolean and the text it was read as).
    return ora.isValid() != suDisco.isValid()
           || (ora.isValid() && FileIni::testo({{k, ora}}) != FileIni::testo({{k, suDisco}}));
}

std::optional<QVariant> UserDefaults::valoreSuDisco(const QString& chiave) const
{
    const auto it = suDisco_.constFind(FileIni::chiaveNormale(chiave));
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
