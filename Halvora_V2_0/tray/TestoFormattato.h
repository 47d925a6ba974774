#pragma once

#include <QList>
#include <QString>
#include <optional>

// A document as the readers of rich text hand it over: paragraphs of runs
// with the character and paragraph attributes that a PDF page shows, and
// the table cell a paragraph stands in. Plain values, free of the text
// engine, so readers stay testable (and fuzzable) without a display.
struct TestoFormattato {
    enum class Allineamento { sinistra, centro, destra, giustificato };

    struct Tratto {
        QString testo;
        bool grassetto = false;
        bool corsivo = false;
        bool sottolineato = false;
        bool barrato = false;
        double punti = 0; // font size; 0 keeps the document's own
        std::optional<quint32> colore = {}; // 0xRRGGBB; none is the automatic colour
        bool operator==(const Tratto&) const = default;
    };

    // Paragraphs of one cell follow each other; the cells of a table follow
    // each other row by row. Tables are numbered from 0 in document order,
    // rows and columns from 0; a table inside a cell is read into that cell.
    struct Cella {
        int tabella = 0;
        int riga = 0;
        int colonna = 0;
        bool operator==(const Cella&) const = default;
    };

    struct Paragrafo {
        QList<Tratto> tratti;
        Allineamento allineamento = Allineamento::sinistra;
        int titolo = 0;        // heading level 1 to 9; 0 for body text
        double rientro = 0;    // left indent, points
        double primaRiga = 0;  // the first line's indent from `rientro` (negative hangs), points
        double spazioPrima = 0; // above the paragraph, points
        double spazioDopo = 0;  // below it, points
        std::optional<Cella> cella = {};
        bool operator==(const Paragrafo&) const = default;
    };

    // The highest heading level and table size a reader keeps.
    static constexpr int kTitoloMassimo = 9;
    static constexpr int kColonneMassime = 64;

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
