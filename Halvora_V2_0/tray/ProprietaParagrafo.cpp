#include "ProprietaParagrafo.h"

using namespace XmlDocx;

void leggiPPr(QXmlStreamReader& x, ProprietaParagrafo& p)
{
    using Allineamento = TestoFormattato::Allineamento;
    while (x.readNextStartElement()) {
        if (nomeW(x, QLatin1StringView("jc"))) {
            const QString v = valore(x);
            p.allineamento = v == QLatin1String("center")                                      ? Allineamento::centro
                : v == QLatin1String("right") || v == QLatin1String("end")                    ? Allineamento::destra
                : v == QLatin1String("both") || v == QLatin1String("distribute")              ? Allineamento::giustificato
                                                                                              : Allineamento::sinistra;
        } else if (nomeW(x, QLatin1StringView("outlineLvl"))) {
            bool ok = false;
            const int v = valore(x).toInt(&ok);
            p.titolo = ok && v >= 0 && v < TestoFormattato::kTitoloMassimo ? v + 1 : 0;
        } else if (nomeW(x, QLatin1StringView("pStyle"))) {
            p.stile = valore(x);
        } else if (nomeW(x, QLatin1StringView("ind"))) {
            if (auto v = twip(x, QLatin1StringView("left")))
                p.rientro = v;
            else if (auto s = twip(x, QLatin1StringView("start")))
                p.rientro = s;
            if (auto h = twip(x, QLatin1StringView("hanging")))
                p.primaRiga = 0.0 - *h;
            else if (auto f = twip(x, QLatin1StringView("firstLine")))
                p.primaRiga = f;
        } else if (nomeW(x, QLatin1StringView("spacing"))) {
            // Spaces are not negative; "auto" spacing is the writer's own and left to ours.
            if (auto v = twip(x, QLatin1StringView("before")))
                p.spazioPrima = qMax(0.0, *v);
            if (auto v = twip(x, QLatin1StringView("after")))
                p.spazioDopo = qMax(0.0, *v);
        } else if (nomeW(x, QLatin1StringView("numPr"))) {
            while (x.readNextStartElement()) {
                if (nomeW(x, QLatin1StringView("numId")))
                    p.numero = valore(x);
                else if (nomeW(x, QLatin1StringView("ilvl")))
                    p.livello = qBound(0, valore(x).toInt(), ProprietaParagrafo::kLivelli - 1);
                x.skipCurrentElement();
            }
            continue;
        }
        // The paragraph mark's own run, section and tracked changes are not the text's.
        x.skipCurrentElement();
    }
}
