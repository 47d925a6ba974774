#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the application and the recognition helper (halvora-riconoscimento)
// agree on: the arguments, the exit statuses and the files of a language
// model. The helper reads the audio from its standard input (a file opened
// by the application, so a rename or a deletion meanwhile cannot take it
// away) and writes the text to standard output. A failure is told by the
// exit status alone: the user reads our own texts, never the decoder's.
namespace ContrattoRiconoscimento {

// Exit statuses. Any other status (the recogniser's own fatal exit on a
// broken model) means no recogniser, like `nonDisponibile`; a helper killed
// by a signal failed at its work.
enum Esito { testo = 0, audioIlleggibile = 3, nonDisponibile = 4 };

// "--modello FOLDER", then the audio file when it is not standard input.
QStringList argomenti(const QString& cartellaModello, const QString& file = {});

struct Richiesta {
    QString cartellaModello;
    QString file; // empty: standard input
};
std::optional<Richiesta> leggi(const QStringList& argomenti);

// The three parts of a pocketsphinx model in one folder: the acoustic
// model (a subfolder holding "mdef"), the language model (*.lm.bin or
// *.lm, not the phonetic one) and the pronunciation dictionary (*.dict).
struct Modello {
    QString acustico;
    QString linguistico;
    QString dizionario;
};
std::optional<Modello> trovaModello(const QString& cartella);

} // namespace ContrattoRiconoscimento
