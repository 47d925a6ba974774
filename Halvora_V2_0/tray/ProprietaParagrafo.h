#pragma once

#include "TestoFormattato.h"
#include "XmlDocx.h"

#include <QString>
#include <QXmlStreamReader>
#include <optional>

// The paragraph properties a style, a list level or a paragraph itself
// says in a Word document; unset leaves the value below it.
struct ProprietaParagrafo {
    // The levels of a list.
    static constexpr int kLivelli = 9;

    std::optional<TestoFormattato::Allineamento> allineamento;
    std::optional<int> titolo;
    std::optional<double> rientro, primaRiga, spazioPrima, spazioDopo;
    std::optional<QString> numero; // numId; "0" takes a list off
    std::optional<int> livello;
    std::optional<QString> stile;

    void sopra(const ProprietaParagrafo& o)
    {
        XmlDocx::prendi(allineamento, o.allineamento);
        XmlDocx::prendi(titolo, o.titolo);
        XmlDocx::prendi(rientro, o.rientro);
        XmlDocx::prendi(primaRiga, o.primaRiga);
        XmlDocx::prendi(spazioPrima, o.spazioPrima);
        XmlDocx::prendi(spazioDopo, o.spazioDopo);
        XmlDocx::prendi(numero, o.numero);
        XmlDocx::prendi(livello, o.livello);
        XmlDocx::prendi(stile, o.stile);
    }
};

// Reads the paragraph properties under the current <w:pPr> up to its end.
void leggiPPr(QXmlStreamReader& x, ProprietaParagrafo& p);
