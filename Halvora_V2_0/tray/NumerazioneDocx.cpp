#include "NumerazioneDocx.h"

#include "SegniElenco.h"

using namespace XmlDocx;

namespace {

void leggiLivello(QXmlStreamReader& x, NumerazioneDocx::Livello& l)
{
    while (x.readNextStartElement()) {
        if (nomeW(x, QLatin1StringView("start")))
            l.inizio = qBound(0, valore(x).toInt(), 32767);
        else if (nomeW(x, QLatin1StringView("numFmt")))
            l.formato = valore(x);
        else if (nomeW(x, QLatin1StringView("lvlText")))
            l.testo = valore(x).left(64);
        else if (nomeW(x, QLatin1StringView("suff")))
            l.dopo = valore(x);
        else if (nomeW(x, QLatin1StringView("pPr"))) {
            leggiPPr(x, l.paragrafo);
            continue;
        } else if (nomeW(x, QLatin1StringView("rPr"))) {
            leggiRPr(x, l.run);
            continue;
        }
        x.skipCurrentElement();
    }
}

SegniElenco::Numerazione numerazioneDi(const QString& formato)
{
    using N = SegniElenco::Numerazione;
    static const QHash<QString, N> nomi{{QStringLiteral("lowerRoman"), N::romanaMinuscola},
                                        {QStringLiteral("upperRoman"), N::romanaMaiuscola},
                                        {QStringLiteral("lowerLetter"), N::letteraMinuscola},
                                        {QStringLiteral("upperLetter"), N::letteraMaiuscola},
                                        {QStringLiteral("decimalZero"), N::decimaleDueCifre},
                                        {QStringLiteral("none"), N::nessuna}};
    return nomi.value(formato, N::decimale);
}

} // namespace

NumerazioneDocx NumerazioneDocx::leggi(const QByteArray& xml)
{
    NumerazioneDocx n;
    figliDellaRadice(xml, [&n](QXmlStreamReader& x) {
        if (nomeW(x, QLatin1StringView("abstractNum"))) {
            auto& livelli = n.astratti_[attributo(x, QLatin1StringView("abstractNumId"))];
            while (x.readNextStartElement()) {
                const int i = attributo(x, QLatin1StringView("ilvl")).toInt();
                if (nomeW(x, QLatin1StringView("lvl")) && i >= 0 && i < kLivelli)
                    leggiLivello(x, livelli[size_t(i)]);
                else
                    x.skipCurrentElement();
            }
        } else if (nomeW(x, QLatin1StringView("num"))) {
            auto& numero = n.numeri_[attributo(x, QLatin1StringView("numId"))];
            while (x.readNextStartElement()) {
                if (nomeW(x, QLatin1StringView("abstractNumId"))) {
                    numero.astratto = valore(x);
                    x.skipCurrentElement();
                } else if (nomeW(x, QLatin1StringView("lvlOverride"))) {
                    const int i = attributo(x, QLatin1StringView("ilvl")).toInt();
                    while (x.readNextStartElement()) {
                        if (nomeW(x, QLatin1StringView("startOverride")) && i >= 0 && i < kLivelli)
                            numero.inizi[size_t(i)] = qBound(0, valore(x).toInt(), 32767);
                        x.skipCurrentElement();
                    }
                } else {
                    x.skipCurrentElement();
                }
            }
        } else {
            x.skipCurrentElement();
        }
    });
    return n;
}

const NumerazioneDocx::Livello* NumerazioneDocx::livelloDi(const QString& numero, int livello) const
{
    if (numero.isEmpty() || numero == QLatin1String("0"))
        return nullptr;
    const auto n = numeri_.constFind(numero);
    if (n == numeri_.cend())
        return nullptr;
    const auto a = astratti_.constFind(n->astratto);
    return a == astratti_.cend() ? nullptr : &(*a)[size_t(livello)];
}

QString NumerazioneDocx::segno(const QString& numero, int livello)
{
    auto& contatori = contatori_[numero];
    const auto& inizi = numeri_.value(numero).inizi;
    const auto livelloDiNumero = [&](int i) -> const Livello& { return *livelloDi(numero, i); };
    const auto inizio = [&](int i) { return inizi[size_t(i)].value_or(livelloDiNumero(i).inizio); };
    contatori[size_t(livello)] = contatori[size_t(livello)] ? qMin(*contatori[size_t(livello)] + 1, 99999) : inizio(livello);
    for (int i = livello + 1; i < kLivelli; ++i)
        contatori[size_t(i)].reset();
    const Livello& l = livelloDiNumero(livello);
    if (l.formato == QLatin1String("bullet"))
        return SegniElenco::punto(l.testo);
    if (l.formato == QLatin1String("none"))
        return {};
    QString segno = l.testo;
    for (int i = 0; i < kLivelli; ++i) {
        const QString segnaposto = QStringLiteral("%") + QString::number(i + 1);
        if (segno.contains(segnaposto))
            segno.replace(segnaposto, SegniElenco::numero(numerazioneDi(livelloDiNumero(i).formato), contatori[size_t(i)].value_or(inizio(i))));
    }
    return segno;
}
