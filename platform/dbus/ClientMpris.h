#pragma once

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <optional>

// What one MPRIS media player on the session bus reports.
struct StatoMpris {
    QString nomeBus;   // org.mpris.MediaPlayer2.<name>
    QString identita;  // Identity: the player's display name
    QString desktop;   // DesktopEntry, else derived from the bus name
    uint pid = 0;      // process owning the bus name, 0 when unknown
    QString stato;     // PlaybackStatus: "Playing", "Paused" or "Stopped"
    QString titolo;
    QStringList artisti;
    QString idTraccia; // mpris:trackid, empty when missing or "/org/mpris/MediaPlayer2/TrackList/NoTrack"
    QString urlCopertina;
    QString url;       // xesam:url: the address of what plays, when the player tells
    qint64 durataUs = 0;
    qint64 posizioneUs = 0;
    double velocita = 1;
    bool puoSpostare = false; // CanSeek

    bool inRiproduzione() const { return stato == QLatin1String("Playing"); }
};

// Blocking calls to MPRIS players (org.mpris.MediaPlayer2). Every call
// waits at most `attesaMs` for each answer, so run them on a worker
// thread, never on the GUI thread.
namespace ClientMpris {

inline const QString kPrefisso = QStringLiteral("org.mpris.MediaPlayer2.");

// Bus names of the players on the bus, sorted.
QStringList player(const QDBusConnection& bus, int attesaMs);
// The first player whose bus name `pid` owns; empty when none.
QString perPid(const QDBusConnection& bus, qint64 pid, int attesaMs);
// Whether `nomeBus` has an owner.
bool presente(const QDBusConnection& bus, const QString& nomeBus, int attesaMs);
// The player's state; nothing when it does not answer.
std::optional<StatoMpris> leggi(const QDBusConnection& bus, const QString& nomeBus, int attesaMs);
// The desktop id a player goes by when it gives no DesktopEntry: the part
// of its bus name after the prefix, without an ".instance…" suffix.
QString desktopDaNomeBus(const QString& nomeBus);

enum class Comando { playPause, successivo, precedente, pausa, riproduci };
bool invia(const QDBusConnection& bus, const QString& nomeBus, Comando comando, int attesaMs);
// Moves to `secondi`: SetPosition with the current track id when the
// player gives one, else a relative Seek from its current position.
bool posiziona(const QDBusConnection& bus, const QString& nomeBus, double secondi, int attesaMs);

} // namespace ClientMpris
