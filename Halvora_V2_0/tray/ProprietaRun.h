#pragma once

#include "TestoFormattato.h"
#include "XmlDocx.h"

#include <QString>
#include <QXmlStreamReader>
#include <optional>

// The character properties a style, a list level or a run itself says in
// a Word document; unset leaves the value below it.
struct ProprietaRun {
    std::optional<bool> grassetto, corsivo, sottolineato, barrato;
    std::optional<double> punti;
    std::optional<std::optional<quint32>> colore;

    void sopra(const ProprietaRun& o)
    {
        XmlDocx::prendi(grassetto, o.grassetto);
        XmlDocx::prendi(corsivo, o.corsivo);
        XmlDocx::prendi(sottolineato, o.sottolineato);
        XmlDocx::prendi(barrato, o.barrato);
        XmlDocx::prendi(punti, o.punti);
        XmlDocx::prendi(colore, o.colore);
    }
    TestoFormattato::Tratto tratto() const
    {
        TestoFormattato::Tratto t;
        t.grassetto = grassetto.value_or(false);
        t.corsivo = corsivo.value_or(false);
        t.sottolineato = sottolineato.value_or(false);
        t.barrato = barrato.value_or(false);
        t.punti = punti.value_or(0);
        t.colore = colore.value_or(std::nullopt);
        return t;
    }
};

// Reads the run properties under the current <w:rPr> up to its end, and the run's style.
void leggiRPr(QXmlStreamReader& x, ProprietaRun& r, QString* stile = nullptr);
