#pragma once

#include "ClientMpris.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <optional>

// What the now-playing helper writes for one look at the bus: one block
// between "--HV-INIZIO--" and "--HV-FINE--" of `key = value;` lines and a
// "percorso: <desktop id> (<pid>) <name>" line, read by SorgenteSistema.
namespace BloccoNowPlaying {

inline const QString kInizio = QStringLiteral("--HV-INIZIO--");
inline const QString kFine = QStringLiteral("--HV-FINE--");

// A value made safe for one quoted line: backslash, quote, line breaks
// and every "-" (so no text can form a marker) become escapes.
QString escapa(const QString& valore);
// The block for a player, or the empty block when nothing plays.
QString blocco(const std::optional<StatoMpris>& stato, const QDateTime& ora);

} // namespace BloccoNowPlaying

// Picks the system's current player from successive looks at the bus: the
// one that most recently started playing, else the one most recently
// paused; never a player of this application (nor, when asked, of the
// processes it started).
class SceltaPlayer {
public:
    // With `figli` the processes that `pidEscluso` started are left out too.
    SceltaPlayer(QString desktopEscluso, uint pidEscluso, bool figli = false)
        : desktopEscluso_(std::move(desktopEscluso)), pidEscluso_(pidEscluso), figli_(figli)
    {
    }

    std::optional<StatoMpris> osserva(const QList<StatoMpris>& stati);

private:
    struct Storia {
        QString stato;
        qint64 ordine = 0;
    };
    QString desktopEscluso_;
    uint pidEscluso_;
    bool figli_;
    QHash<QString, Storia> storia_;
    qint64 contatore_ = 0;
};
