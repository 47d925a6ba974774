#pragma once

#include "Conversione.h"
#include "OperazioneVassoio.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

// The content of the tray's "Converti" menu and the titles of its result
// notices, as plain functions of the lists the tab derives.
namespace MenuConversione {

// The files a menu works on, each list in tray order.
struct Liste {
    QList<QUrl> file;      // the selection, or the whole tray
    QList<QUrl> immagini;  // those known to be images
    QList<QUrl> pdf;
    QList<QUrl> documenti; // text documents
};

struct Voce {
    QString etichetta;
    OperazioneVassoio operazione;
    // The files handed to the operation.
    QList<QUrl> file;
    Conversione conversione = Conversione::png();
};

struct Sezione {
    QString titolo;
    QList<Voce> voci;
};

// The re-encodings the tab offers.
inline constexpr Conversione kJpeg = Conversione::jpeg(0.8);
inline constexpr Conversione kDimezza = Conversione::ridimensiona(0.5);

// "Archivio" always, then "Immagini", "PDF" and "Documenti" when they have files.
QList<Sezione> sezioni(const Liste& liste);
// The notice's title for what an entry produced: `file` new files (and, for
// text recognition, whether a text came back). Nothing when there is nothing to tell.
std::optional<QString> titoloEsito(OperazioneVassoio operazione, qsizetype file, bool testo = false);
// The notice's title when an entry gave nothing at all.
QString titoloSenzaEsito();

} // namespace MenuConversione
