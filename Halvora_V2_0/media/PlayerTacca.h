#pragma once

#include <QObject>
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

signals:
    // One message of the page, the JSON text it posted ({"tipo": ...}).
    void messaggio(const QString& corpo);
};
