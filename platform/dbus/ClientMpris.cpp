#include "ClientMpris.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QRegularExpression>
#include <QVariantMap>
#include <cmath>

namespace {

const QString kPercorso = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRadice = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProprieta = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kNessunaTraccia = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

QDBusMessage chiama(const QDBusConnection& bus, const QString& servizio, const QString& percorso,
                    const QString& interfaccia, const QString& metodo, const QVariantList& argomenti, int attesaMs)
{
    auto m = QDBusMessage::createMethodCall(servizio, percorso, interfaccia, metodo);
    m.setArguments(argomenti);
    return bus.call(m, QDBus::Block, attesaMs);
}

// Some players give a plain string as track id; only a real object path
// can go back in SetPosition.
bool percorsoValido(const QString& p)
{
    static const QRegularExpression re(QStringLiteral("^/([A-Za-z0-9_]+(/[A-Za-z0-9_]+)*)?$"));
    return re.match(p).hasMatch();
}

bool ok(const QDBusMessage& r) { return r.type() == QDBusMessage::ReplyMessage; }

// Unwraps a{sv} whether Qt delivers it demarshalled or as a raw argument.
QVariantMap mappa(const QVariant& v)
{
    if (v.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(v.value<QDBusArgument>());
    return v.toMap();
}

QVariant sbusta(const QVariant& v) { return v.canConvert<QDBusVariant>() ? v.value<QDBusVariant>().variant() : v; }

QStringList elencoTesti(const QVariant& v)
{
    if (v.canConvert<QDBusArgument>())
        return qdbus_cast<QStringList>(v.value<QDBusArgument>());
    if (v.typeId() == QMetaType::QString)
        return {v.toString()};
    return v.toStringList();
}

// Players disagree on the integer type of times; anything unusable is 0.
qint64 intero(const QVariant& v)
{
    bool letto = false;
    const double d = v.toDouble(&letto);
    if (!letto || !std::isfinite(d) || std::abs(d) > 9.0e18)
        return 0;
    return v.toLongLong();
}

std::optional<QVariant> proprieta(const QDBusConnection& bus, const QString& nome, const QString& interfaccia,
                                  const QString& chiave, int attesaMs)
{
    const auto r = chiama(bus, nome, kPercorso, kProprieta, QStringLiteral("Get"), {interfaccia, chiave}, attesaMs);
    if (!ok(r) || r.arguments().isEmpty())
        return std::nullopt;
    return sbusta(r.arguments().constFirst());
}

uint pidDi(const QDBusConnection& bus, const QString& nomeBus, int attesaMs)
{
    const auto r = chiama(bus, QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                          QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"),
                          {nomeBus}, attesaMs);
    return ok(r) && !r.arguments().isEmpty() ? r.arguments().constFirst().toUInt() : 0;
}

} // namespace

namespace ClientMpris {

QStringList player(const QDBusConnection& bus, int attesaMs)
{
    const auto r = chiama(bus, QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                          QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames"), {}, attesaMs);
    QStringList nomi;
    if (!ok(r) || r.arguments().isEmpty())
        return nomi;
    for (const QString& n : elencoTesti(r.arguments().constFirst()))
        if (n.startsWith(kPrefisso))
            nomi << n;
    nomi.sort();
    return nomi;
}

bool presente(const QDBusConnection& bus, const QString& nomeBus, int attesaMs)
{
    const auto r = chiama(bus, QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                          QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"), {nomeBus}, attesaMs);
    return ok(r) && !r.arguments().isEmpty() && r.arguments().constFirst().toBool();
}

QString desktopDaNomeBus(const QString& nomeBus)
{
    QString s = nomeBus.startsWith(kPrefisso) ? nomeBus.mid(kPrefisso.size()) : nomeBus;
    const int istanza = s.indexOf(QLatin1String(".instance"));
    if (istanza >= 0)
        s.truncate(istanza);
    return s;
}

std::optional<StatoMpris> leggi(const QDBusConnection& bus, const QString& nomeBus, int attesaMs)
{
    const auto r = chiama(bus, nomeBus, kPercorso, kProprieta, QStringLiteral("GetAll"), {kPlayer}, attesaMs);
    if (!ok(r) || r.arguments().isEmpty())
        return std::nullopt;
    const QVariantMap p = mappa(r.arguments().constFirst());
    StatoMpris s;
    s.nomeBus = nomeBus;
    s.stato = sbusta(p.value(QStringLiteral("PlaybackStatus"))).toString();
    s.posizioneUs = intero(sbusta(p.value(QStringLiteral("Position"))));
    s.puoSpostare = sbusta(p.value(QStringLiteral("CanSeek"))).toBool();
    const QVariant velocita = sbusta(p.value(QStringLiteral("Rate")));
    if (velocita.isValid())
        s.velocita = velocita.toDouble();
    const QVariantMap meta = mappa(sbusta(p.value(QStringLiteral("Metadata"))));
    s.titolo = sbusta(meta.value(QStringLiteral("xesam:title"))).toString();
    s.artisti = elencoTesti(sbusta(meta.value(QStringLiteral("xesam:artist"))));
    s.urlCopertina = sbusta(meta.value(QStringLiteral("mpris:artUrl"))).toString();
    s.url = sbusta(meta.value(QStringLiteral("xesam:url"))).toString();
    s.durataUs = intero(sbusta(meta.value(QStringLiteral("mpris:length"))));
    const QVariant traccia = sbusta(meta.value(QStringLiteral("mpris:trackid")));
    s.idTraccia = traccia.canConvert<QDBusObjectPath>() ? traccia.value<QDBusObjectPath>().path() : traccia.toString();
    if (s.idTraccia == kNessunaTraccia || !percorsoValido(s.idTraccia))
        s.idTraccia.clear();

    if (auto v = proprieta(bus, nomeBus, kRadice, QStringLiteral("Identity"), attesaMs))
        s.identita = v->toString();
    if (auto v = proprieta(bus, nomeBus, kRadice, QStringLiteral("DesktopEntry"), attesaMs))
        s.desktop = v->toString();
    if (s.desktop.isEmpty())
        s.desktop = desktopDaNomeBus(nomeBus);
    s.pid = pidDi(bus, nomeBus, attesaMs);
    return s;
}

QString perPid(const QDBusConnection& bus, qint64 pid, int attesaMs)
{
    if (pid <= 0)
        return {};
    for (const QString& nome : player(bus, attesaMs))
        if (pidDi(bus, nome, attesaMs) == pid)
            return nome;
    return {};
}

bool invia(const QDBusConnection& bus, const QString& nomeBus, Comando comando, int attesaMs)
{
    static const char* const metodi[] = {"PlayPause", "Next", "Previous", "Pause", "Play"};
    const char* metodo = metodi[int(comando)];
    return ok(chiama(bus, nomeBus, kPercorso, kPlayer, QString::fromLatin1(metodo), {}, attesaMs));
}

bool posiziona(const QDBusConnection& bus, const QString& nomeBus, double secondi, int attesaMs)
{
    if (!std::isfinite(secondi) || secondi < 0 || secondi > 1.0e9)
        return false;
    const qint64 us = std::llround(secondi * 1.0e6);
    const auto stato = leggi(bus, nomeBus, attesaMs);
    if (!stato)
        return false;
    if (!stato->idTraccia.isEmpty())
        return ok(chiama(bus, nomeBus, kPercorso, kPlayer, QStringLiteral("SetPosition"),
                         {QVariant::fromValue(QDBusObjectPath(stato->idTraccia)), us}, attesaMs));
    return ok(chiama(bus, nomeBus, kPercorso, kPlayer, QStringLiteral("Seek"), {us - stato->posizioneUs}, attesaMs));
}

} // namespace ClientMpris
