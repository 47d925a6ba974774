#pragma once

// What the recorded frames of one motion of the notch show, measured on
// the pixels. The application's diagnostic lines ("quadro ...") say where
// it drew the shape, the modules of a tab change and the cards coming and
// going in each frame; each recorded frame is matched to the line whose
// picture, rebuilt from the pictures at rest, it shows, and a frame that
// matches none is counted apart. The rest is read off the pixels: content
// that should show inside the shape and does not, the old module's first
// moves, the card drawn inside the shape, the intervals between changes.
// BANCO_DIAGNOSI=DIR keeps, for each motion, each frame beside what it was to
// show and where they differ.
#include <QList>
#include <QRectF>
#include <QString>
#include <optional>

class RegistrazioneSchermo;

namespace AnalisiMoto {

struct Modulo {
    QString tab;
    QRectF dove; // screen pixels
    double opacita = 1;
};

struct Carta {
    QRectF dove;
    double opacita = 1;
};

// One "quadro" line.
struct Quadro {
    qint64 us = 0; // real-time clock
    quint64 battito = 0; // steps of the application's springs so far (0: not told)
    QRectF forma;
    double apertura = 0;
    QList<Modulo> moduli;
    QList<Carta> carte;
};
std::optional<Quadro> leggi(const QString& riga);

enum class Tipo { apertura, chiusura, cambio };

struct Esito {
    int fotogrammi = 0;     // recorded frames from the first change to rest
    int tagliati = 0;       // content cut inside the shape
    int incongruenti = 0;   // frames that match no frame the application drew
    int cartaSopra = 0;     // the closed card drawn inside the open shape
    int controDirezione = 0; // first frames where the old module stands against its exit direction
    double primoSpostamento = 0; // px the old module moved along its exit direction in the first frame
    // ms, the longest a picture stayed on screen while the next was due: the
    // interval between two changes of the picture, shared among the frames
    // the application meant it to last (a spring at its turning point may
    // change no pixel for a few), whole when a picture it drew never showed.
    double stallo = 0;
    double stalloDopo = 0;   // ms from the first change to the start of that interval
    double passoApplicazione = 0; // ms, the longest the application took from one step of its springs to the next
    double assestamento = 0; // ms, from the first change to the last
    double ultimoPasso = 0;  // ms between the last two changes
    int buchiCattura = 0;    // grab intervals over 12 ms (the recorder fell behind)
    QString nota;            // what went wrong, when the frames could not be read
};

// `quadri`: every line up to the end of the recording; `esce` for a tab
// change: -1 when the old module leaves to the left, +1 to the right.
Esito analizza(const RegistrazioneSchermo& r, const QList<Quadro>& quadri, Tipo tipo, int esce = 0);

} // namespace AnalisiMoto
