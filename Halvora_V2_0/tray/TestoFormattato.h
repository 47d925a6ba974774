#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <utility>

// A document as the readers of rich text hand it over: paragraphs of runs
// with the character and paragraph attributes that a PDF page shows, and
// the table cell a paragraph stands in. Plain values, free of the text
// engine, so readers stay testable (and fuzzable) without a display.
struct TestoFormattato {
    enum class Allineamento { sinistra, centro, destra, giustificato };

    // The highest heading level and table size a reader keeps.
    static constexpr int kTitoloMassimo = 9;
    static constexpr int kColonneMassime = 64;

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
        // Appends `testo` in the format of `come` (whose own text is not
        // used), to the last run when that has the same format.
        void aggiungi(const Tratto& come, const QString& testo)
        {
            if (testo.isEmpty())
                return;
            if (!tratti.isEmpty()) {
                Tratto& ultimo = tratti.last();
                Tratto prova = come;
                prova.testo = ultimo.testo;
                if (prova == ultimo) {
                    ultimo.testo += testo;
                    return;
                }
            }
            Tratto nuovo = come;
            nuovo.testo = testo;
            tratti.push_back(std::move(nuovo));
        }

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

    // Numbers the cells of tables as a reader meets them: it says, for each
    // paragraph that ends, whether it stands in a table, and where a cell
    // and a row end. A row without cells takes no number.
    class Celle {
    public:
        // The cell of the paragraph that ends now; nothing outside a table, which also ends the table.
        std::optional<Cella> paragrafo(bool inTabella)
        {
            if (!inTabella) {
                inTabella_ = false;
                return std::nullopt;
            }
            if (!inTabella_) {
                inTabella_ = true;
                ++tabella_;
                riga_ = colonna_ = 0;
                rigaConCelle_ = false;
            }
            rigaConCelle_ = true;
            return Cella{tabella_, riga_, colonna_};
        }
        // The next paragraph of the table stands in the next column (the last one past kColonneMassime).
        void fineCella() { colonna_ = qMin(colonna_ + 1, kColonneMassime - 1); }
        // ... or in the next row.
        void fineRiga()
        {
            if (std::exchange(rigaConCelle_, false))
                ++riga_;
            colonna_ = 0;
        }

    private:
        bool inTabella_ = false;
        int tabella_ = -1;
        int riga_ = 0;
        int colonna_ = 0;
        bool rigaConCelle_ = false;
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
