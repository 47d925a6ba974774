#include "UserDefaults.h"

#include <QSettings>

namespace {
UserDefaults* g_condiviso = nullptr;
}

UserDefaults::UserDefaults(QObject* parent)
    : QObject(parent),
      settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Halvora"), QStringLiteral("Halvora")))
{
}

UserDefaults::UserDefaults(const QString& percorsoIni, QObject* parent)
    : QObject(parent), settings_(std::make_unique<QSettings>(percorsoIni, QSettings::IniFormat))
{
}

UserDefaults::~UserDefaults()
{
    if (g_condiviso == this)
        g_condiviso = nullptr;
}

QVariant UserDefaults::value(const QString& chiave, const QVariant& predefinito) const
{
    return settings_->value(chiave, predefinito);
}

bool UserDefaults::contains(const QString& chiave) const { return settings_->contains(chiave); }

std::optional<bool> UserDefaults::boolValue(const QString& chiave) const
{
    const QVariant v = settings_->value(chiave);
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
    const QVariant v = settings_->value(chiave);
    if (!v.isValid())
        return {};
    if (v.typeId() == QMetaType::QStringList || v.typeId() == QMetaType::QVariantList)
        return v.toStringList();
    const QString testo = v.toString();
    return testo.isEmpty() ? QStringList{} : QStringList{testo};
}

void UserDefaults::setValue(const QString& chiave, const QVariant& valore)
{
    settings_->setValue(chiave, valore);
    emit changed(chiave);
}

void UserDefaults::remove(const QString& chiave)
{
    settings_->remove(chiave);
    emit changed(chiave);
}

void UserDefaults::sync() { settings_->sync(); }

QString UserDefaults::percorsoFile() const { return settings_->fileName(); }

UserDefaults& UserDefaults::shared()
{
    if (!g_condiviso) {
        static UserDefaults predefinito;
        g_condiviso = &predefinito;
    }
    return *g_condiviso;
}

void UserDefaults::setShared(UserDefaults* store) { g_condiviso = store; }
