#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

class Interruzione;

// Text recognition of one image with Tesseract, in the languages of the
// interface that have recognition data installed. Synchronous and without
// shared state: each call loads its own engine, so calls may run on any
// number of threads at once.
class RiconoscimentoTesto {
public:
    // Lines whose mean word confidence is below this are noise, not text.
    static constexpr float kConfidenzaMinima = 60;

    // The recognised lines in reading order, one "\n" between them;
    // nothing when no line is confident enough, no data is installed or
    // `stop` is raised meanwhile.
    static std::optional<QString> riconosciTesto(const QImage& immagine, const Interruzione& stop);

    // The preferred languages of the interface: the first two, then
    // "en-US"; "it-IT" and "en-US" when none is known.
    static QStringList lingueRiconoscimento();
    static QStringList lingueRiconoscimento(const QStringList& preferite);
    // The Tesseract data names (ISO 639-2) of `lingue` that are among
    // `installate`, in order, each once.
    static QStringList lingueTesseract(const QStringList& lingue, const QStringList& installate);
    // The data installed on this system (not "osd", which holds no language).
    static QStringList lingueInstallate();

    // Writes `testo` as UTF-8 into <cartella>/<stem>-testo.txt (or the next
    // free name); its path, or nothing.
    static std::optional<QString> salvaTesto(const QString& testo, const QString& stem, const QString& cartella);
};
