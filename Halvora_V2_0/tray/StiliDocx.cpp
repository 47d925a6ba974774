#include "StiliDocx.h"

using namespace XmlDocx;

namespace {

// Chains of styles based on styles end here, whatever loop a file makes.
constexpr int kCatenaMassima = 32;

} // namespace

QList<const StiliDocx::Stile*> StiliDocx::catena(const QString& id) const
{
    QList<const Stile*> c;
    QString corrente = id;
    while (!corrente.isEmpty() && c.size() < kCatenaMassima) {
        const auto it = perId.constFind(corrente);
        if (it == perId.cend())
            break;
        c.prepend(&*it);
        corrente = it->basatoSu;
    }
    return c;
}

StiliDocx StiliDocx::leggi(const QByteArray& xml)
{
    StiliDocx s;
    figliDellaRadice(xml, [&s](QXmlStreamReader& x) {
        if (nomeW(x, QLatin1StringView("docDefaults"))) {
            while (x.readNextStartElement()) {
                if (nomeW(x, QLatin1StringView("rPrDefault")) || nomeW(x, QLatin1StringView("pPrDefault"))) {
                    while (x.readNextStartElement()) {
                        if (nomeW(x, QLatin1StringView("rPr")))
                            leggiRPr(x, s.run);
                        else if (nomeW(x, QLatin1StringView("pPr")))
                            leggiPPr(x, s.paragrafo);
                        else
                            x.skipCurrentElement();
                    }
                } else {
                    x.skipCurrentElement();
                }
            }
        } else if (nomeW(x, QLatin1StringView("style"))) {
            const QString id = attributo(x, QLatin1StringView("styleId"));
            const QString d = attributo(x, QLatin1StringView("default"));
            const bool predefinito = (d == QLatin1String("1") || d == QLatin1String("true"))
                                     && attributo(x, QLatin1StringView("type")) == QLatin1String("paragraph");
            Stile stile;
            while (x.readNextStartElement()) {
                if (nomeW(x, QLatin1StringView("basedOn"))) {
                    stile.basatoSu = valore(x);
                    x.skipCurrentElement();
                } else if (nomeW(x, QLatin1StringView("rPr"))) {
                    leggiRPr(x, stile.run);
                } else if (nomeW(x, QLatin1StringView("pPr"))) {
                    leggiPPr(x, stile.paragrafo);
                } else {
                    x.skipCurrentElement();
                }
            }
            // A style never names itself: its own list or heading is all it has.
            stile.paragrafo.stile.reset();
            if (predefinito && s.predefinito.isEmpty())
                s.predefinito = id;
            s.perId.insert(id, stile);
        } else {
            x.skipCurrentElement();
        }
    });
    return s;
}
