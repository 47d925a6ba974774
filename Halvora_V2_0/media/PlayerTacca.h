#pragma once

#include "SovrapposizioneVideo.h"

#include <QObject>
#include <QPointF>
#include <QString>
#include <functional>
#include <optional>

// The player of the notch video: a page of our own hosting the video
// service's embedded player, which the video card shows. VideoNotchManager
// drives it and hears the page's messages. Calls take typed values; the
// player formats numbers for the page itself ("%.2f", a point) and ignores
// non-finite ones. GUI thread only.
class PlayerTacca : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Loads the page for `videoID` (11 characters of [A-Za-z0-9_-]),
    // starting at `inizio` whole seconds, muted when `muto`; replaces any page.
    virtual void carica(const QString& videoID, double inizio, bool muto) = 0;
    // Loads the empty page: nothing plays any more.
    virtual void svuota() = 0;
    // The page's play/pause toggle ("alterna()").
    virtual void alterna() = 0;
    // Seeks when more than 0.3 s from `secondi` ("allinea(s)").
    virtual void allinea(double secondi) = 0;
    virtual void muta() = 0;
    virtual void smuta() = 0;
    // The player's current time ("player.getCurrentTime()"): answers once,
    // later, on the GUI thread; nothing when the page cannot tell.
    virtual void chiediTempo(std::function<void(std::optional<double>)> risposta) = 0;

    // The native window the page draws in, for the card to embed; nothing
    // while no page runs (or its window is not made yet).
    virtual std::optional<quintptr> finestra() const { return std::nullopt; }
    // The card has embedded the window: the page may show in it.
    virtual void mostraFinestra() {}
    // What the page's window draws over the page (controls, notice, state).
    virtual void mostraVista(const SovrapposizioneVideo::Vista&) {}

    // Phases of a drag of the resize handle inside the page's window.
    enum class Fase { inizio, sposta, fine };

signals:
    // One message of the page, the JSON text it posted ({"tipo": ...}).
    void messaggio(const QString& corpo);
    void finestraChanged();
    // A control clicked inside the page's window ("Torna al browser", "Chiudi").
    void azione(SovrapposizioneVideo::Zona zona);
    // The handle dragged inside the page's window, at a screen point.
    void maniglia(PlayerTacca::Fase fase, QPointF globale);
};
