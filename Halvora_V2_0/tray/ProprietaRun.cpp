#include "ProprietaRun.h"

using namespace XmlDocx;

void leggiRPr(QXmlStreamReader& x, ProprietaRun& r, QString* stile)
{
    while (x.readNextStartElement()) {
        if (nomeW(x, QLatin1StringView("rStyle")) && stile) {
            *stile = valore(x);
        } else if (nomeW(x, QLatin1StringView("b"))) {
            r.grassetto = interruttore(x);
        } else if (nomeW(x, QLatin1StringView("i"))) {
            r.corsivo = interruttore(x);
        } else if (nomeW(x, QLatin1StringView("u"))) {
            r.sottolineato = interruttore(x);
        } else if (nomeW(x, QLatin1StringView("strike")) || nomeW(x, QLatin1StringView("dstrike"))) {
            // Either switches it on; a switched-off one leaves the other alone.
            if (interruttore(x))
                r.barrato = true;
            else if (!r.barrato)
                r.barrato = false;
        } else if (nomeW(x, QLatin1StringView("sz"))) {
            const int mezzi = valore(x).toInt();
            if (mezzi > 0)
                r.punti = qMin(mezzi, 3200) / 2.0;
        } else if (nomeW(x, QLatin1StringView("color"))) {
            bool ok = false;
            const QString v = valore(x);
            const quint32 rgb = v.size() == 6 ? v.toUInt(&ok, 16) : 0;
            r.colore = ok ? std::optional<quint32>(rgb) : std::nullopt;
        }
        x.skipCurrentElement();
    }
}
