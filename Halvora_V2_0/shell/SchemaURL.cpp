#include "SchemaURL.h"

#include "AttivitaManager.h"
#include "Colori.h"
#include "Simboli.h"
#include "Testi.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBoundaryFinder>
#include <cmath>

namespace SchemaURL {

namespace {

bool schemaEHost(const QUrl& url, QLatin1String host)
{
    return url.isValid() && url.scheme().compare(QLatin1String("halvora"), Qt::CaseInsensitive) == 0 &&
           !url.host().isEmpty() && url.host().compare(host, Qt::CaseInsensitive) == 0;
}

// Newlines become single spaces; other control characters are dropped so a
// decoded NUL or escape sequence never reaches the screen.
QString unaRiga(const QString& testo)
{
    QString r;
    r.reserve(testo.size());
    for (QChar c : testo) {
        if (c == QLatin1Char('\n'))
            r += QLatin1Char(' ');
        else if (c == QLatin1Char('\t'))
            r += c;
        else if (c.category() != QChar::Other_Control)
            r += c;
    }
    return r;
}

double durataDa(const std::optional<QString>& testo)
{
    constexpr double kPredefinita = 4.0;
    if (!testo || testo->isEmpty() || *testo != testo->trimmed())
        return kPredefinita;
    // The plain C form only: "1,000" is no thousand, and no locale applies.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = c.toDouble(*testo, &ok);
    // Not a number reads as the default; infinities fall to the bounds below.
    if (!ok || std::isnan(v))
        return kPredefinita;
    return std::clamp(v, 1.0, 10.0);
}

} // namespace

std::optional<QString> valoreParametro(const QString& nome, const QUrlQuery& query)
{
    for (const auto& [n, v] : query.queryItems(QUrl::FullyDecoded))
        if (n == nome)
            return v;
    return std::nullopt;
}

QString primiCaratteri(const QString& testo, int massimo)
{
    QTextBoundaryFinder f(QTextBoundaryFinder::Grapheme, testo);
    int contati = 0;
    qsizetype pos = 0;
    while (contati < massimo) {
        const qsizetype prossimo = f.toNextBoundary();
        if (prossimo < 0)
            return testo;
        pos = prossimo;
        ++contati;
    }
    return testo.left(pos);
}

std::optional<QString> testoPulito(const std::optional<QString>& testo, int massimo)
{
    if (!testo)
        return std::nullopt;
    const QString pulito = unaRiga(*testo).trimmed();
    if (pulito.isEmpty())
        return std::nullopt;
    return primiCaratteri(pulito, massimo);
}

std::optional<QString> decodificaProgetto(const QString& base64)
{
    static const QRegularExpression forma(QStringLiteral("^(?:[A-Za-z0-9+/]{4})*(?:[A-Za-z0-9+/]{2}==|[A-Za-z0-9+/]{3}=)?$"));
    if (base64.isEmpty() || !forma.match(base64).hasMatch())
        return std::nullopt;
    const QByteArray byte = QByteArray::fromBase64(base64.toLatin1());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString nome = utf8.decode(byte);
    if (utf8.hasError())
        return std::nullopt;
    nome = unaRiga(nome);
    // Trim spaces and tabs only, as the hook's basename output carries a newline.
    qsizetype inizio = 0, fine = nome.size();
    auto spazio = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (inizio < fine && spazio(nome[inizio]))
        ++inizio;
    while (fine > inizio && spazio(nome[fine - 1]))
        --fine;
    nome = nome.mid(inizio, fine - inizio);
    if (nome.isEmpty() || nome == QLatin1String(".") || nome == QLatin1String("/"))
        return std::nullopt;
    return primiCaratteri(nome, 40);
}

std::optional<EventoAgente> eventoAgenteDaURL(const QUrl& url, const Contesto& contesto)
{
    if (!schemaEHost(url, QLatin1String("agente")))
        return std::nullopt;
    const QUrlQuery query(url);
    const auto fornitore = fornitoreDaTesto(valoreParametro(QStringLiteral("fornitore"), query).value_or(QString()));
    if (!fornitore)
        return std::nullopt;
    const auto evento = valoreParametro(QStringLiteral("evento"), query);
    EventoAgente e{*fornitore, EventoAgente::Tipo::finito, std::nullopt};
    if (evento == QLatin1String("finito"))
        e.evento = EventoAgente::Tipo::finito;
    else if (evento == QLatin1String("attesa"))
        e.evento = EventoAgente::Tipo::attesa;
    else
        return std::nullopt;
    if (e.evento == EventoAgente::Tipo::finito) {
        // The user is already looking at the application the agent runs in.
        const QString origine = valoreParametro(QStringLiteral("origine"), query).value_or(QString());
        const QString frontale = contesto.applicazioneFrontale ? contesto.applicazioneFrontale() : QString();
        if (!origine.isEmpty() && !frontale.isEmpty() && frontale == origine)
            return std::nullopt;
    }
    if (auto progetto = valoreParametro(QStringLiteral("progetto"), query))
        e.progetto = decodificaProgetto(*progetto);
    return e;
}

std::optional<Avviso> avvisoEventoAgente(const EventoAgente& evento, const Contesto& contesto)
{
    const bool finito = evento.evento == EventoAgente::Tipo::finito;
    const QString nome = nomeFornitore(evento.fornitore);
    AttivitaNotch a;
    a.titolo = finito ? Testi::tr("%1 ha finito").arg(nome) : Testi::tr("%1 ti aspetta").arg(nome);
    a.simbolo = finito ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("hand.raised.fill");
    if (!finito)
        a.tinta = Colori::arancione();
    else
        a.tinta = evento.fornitore == FornitoreIA::claude ? coloreClaude() : Colori::grigio();
    a.dettaglio = evento.progetto;
    a.anteprima = iconaFornitore(evento.fornitore, contesto.iconaApp);
    return Avviso{a, finito ? 6.0 : 10.0};
}

std::optional<Avviso> avvisoDaURL(const QUrl& url)
{
    if (!schemaEHost(url, QLatin1String("attivita")))
        return std::nullopt;
    const QUrlQuery query(url);
    const auto titolo = testoPulito(valoreParametro(QStringLiteral("titolo"), query), 40);
    if (!titolo)
        return std::nullopt;
    AttivitaNotch a;
    a.titolo = *titolo;
    a.simbolo = valoreParametro(QStringLiteral("simbolo"), query).value_or(QString());
    if (!Simboli::esiste(a.simbolo))
        a.simbolo = QStringLiteral("bell.fill");
    a.dettaglio = testoPulito(valoreParametro(QStringLiteral("dettaglio"), query), 40);
    return Avviso{a, durataDa(valoreParametro(QStringLiteral("durata"), query))};
}

void instradaURL(const QList<QUrl>& urls, AttivitaManager& attivita, const Contesto& contesto)
{
    for (const QUrl& url : urls) {
        if (url.toEncoded().size() > kLunghezzaMassimaURL)
            continue;
        std::optional<Avviso> avviso;
        if (url.host().compare(QLatin1String("agente"), Qt::CaseInsensitive) == 0) {
            if (auto evento = eventoAgenteDaURL(url, contesto))
                avviso = avvisoEventoAgente(*evento, contesto);
        } else {
            avviso = avvisoDaURL(url);
        }
        if (avviso)
            attivita.mostra(avviso->attivita, avviso->durata);
    }
}

QList<QUrl> urlDaTesti(const QStringList& testi)
{
    QList<QUrl> urls;
    for (const QString& t : testi) {
        if (t.size() > kLunghezzaMassimaURL)
            continue;
        QUrl url(t, QUrl::StrictMode);
        if (url.isValid())
            urls << url;
    }
    return urls;
}

} // namespace SchemaURL
