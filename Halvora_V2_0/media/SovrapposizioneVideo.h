#pragma once

#include <QJsonObject>
#include <QList>
#include <QPainter>
#include <QSizeF>
#include <QString>
#include <optional>

// What the notch video card draws over its player: the state panel while
// the video is not open, the muted notice, the row of controls and the
// resize handle. The page's native window hides whatever the application
// would draw over it, so the video helper draws these over its own page
// and the card draws the same layers itself while no page is shown; both
// use these functions, so both look and hit-test alike.
namespace SovrapposizioneVideo {

enum class Pannello { caricamento, permesso, errore };

struct Vista {
    bool aperto = false;  // playing or paused: the page shows
    bool inPausa = false;
    Pannello pannello = Pannello::caricamento;
    QString testo;  // the state panel's text
    QString avviso; // the muted notice; empty: none
    QString aiutoRiproduci, aiutoPausa, aiutoTorna, aiutoChiudi;
    bool operator==(const Vista&) const = default;
};

enum class Zona { nessuna, alterna, riporta, chiudi, maniglia };

struct Pulsante {
    Zona zona;
    QRectF dove;
    QString simbolo;
    QString aiuto;
};

// The controls present in a card of size `lato`, right to left from the
// top-right corner, then the handle's active square at the bottom right.
QList<Pulsante> pulsanti(const QSizeF& lato, const Vista& v);
Zona zona(const QPointF& punto, const QSizeF& lato, const Vista& v);

// Opacities that animate: the control row and the handle's symbol.
struct Opacita {
    double comandi = 1;
    double maniglia = 0;
};
// Draws the layers over `lato`. `fase` turns the spinner (seconds).
void disegna(QPainter& p, const QSizeF& lato, const Vista& v, const Opacita& o, double fase);
// The fill of the card behind everything.
QColor fondo();

// The view as it travels to the helper; texts longer than the protocol
// allows are refused.
QJsonObject json(const Vista& v);
std::optional<Vista> daJson(const QJsonObject& o);

} // namespace SovrapposizioneVideo
