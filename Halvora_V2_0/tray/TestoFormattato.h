#pragma once

#include <QList>
#include <QString>

// A document as the readers of rich text hand it over: paragraphs of runs
// with the few character and paragraph attributes that a PDF page shows.
// Plain values, free of the text engine, so readers stay testable (and
// fuzzable) without a display.
struct TestoFormattato {
    enum class Allineamento { sinistra, centro, destra, giustificato };

    struct Tratto {
        QString testo;
        bool grassetto = false;
        bool corsivo = false;
        bool sottolineato = false;
        bool barrato = false;
        double punti = 0; // font size; 0 keeps the document's own
        bool operator==(const Tratto&) const = default;
    };

    struct Paragrafo {
        QList<Tratto> tratti;
        Allineamento allineamento = Allineamento::sinistra;
        bool operator==(const Paragrafo&) const = default;
    };

    QList<Paragrafo> paragrafi;

    // The text alone, one line per paragraph.
    QString testoSemplice() const
    {
        QStringList righe;
        for (const Paragrafo& p : paragrafi) {
            QString r;
            for (const Tratto& t : p.tratti)
                r += t.testo;
            righe << r;
        }
        return righe.join(QLatin1Char('\n'));
    }
};
