// Fuzzes the halvora:// router: a URL text as a later launch hands it over
// (strict) and as the desktop may already have parsed it (tolerant), read
// by the agent parser and the plain-notice reader and routed to the queue.
// The first byte says whether a front application is set.
#include "AttivitaManager.h"
#include "FakeClock.h"
#include "SchemaURL.h"

#include <QTextBoundaryFinder>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

int grafemi(const QString& s)
{
    QTextBoundaryFinder f(QTextBoundaryFinder::Grapheme, s);
    int n = 0;
    while (f.toNextBoundary() >= 0)
        ++n;
    return n;
}

// A text the notice shows: one line, no control character, at most `massimo` characters.
void controllaTesto(const std::optional<QString>& t, int massimo)
{
    if (!t)
        return;
    if (t->isEmpty() || grafemi(*t) > massimo)
        __builtin_trap();
    for (QChar c : *t)
        if (c.category() == QChar::Other_Control && c != QLatin1Char('\t'))
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    if (n < 1)
        return 0;
    const QString testo = QString::fromUtf8(reinterpret_cast<const char*>(dati) + 1, qsizetype(n - 1));
    const QString frontale = dati[0] & 1 ? QStringLiteral("org.gnome.Terminal") : QString();
    SchemaURL::Contesto contesto;
    contesto.applicazioneFrontale = [&frontale] { return frontale; };
    contesto.iconaApp = [](const QString&) { return std::optional<QImage>(); };

    QList<QUrl> urls = SchemaURL::urlDaTesti({testo});
    urls << QUrl(testo, QUrl::TolerantMode);
    for (const QUrl& u : urls) {
        if (const auto e = SchemaURL::eventoAgenteDaURL(u, contesto)) {
            controllaTesto(e->progetto, 40);
            const auto a = SchemaURL::avvisoEventoAgente(*e, contesto);
            if (!a || (a->durata != 6.0 && a->durata != 10.0) || a->attivita.titolo.isEmpty())
                __builtin_trap();
        }
        if (const auto a = SchemaURL::avvisoDaURL(u)) {
            if (!std::isfinite(a->durata) || a->durata < 1.0 || a->durata > 10.0 || a->attivita.simbolo.isEmpty())
                __builtin_trap();
            controllaTesto(a->attivita.titolo, 40);
            controllaTesto(a->attivita.dettaglio, 40);
        }
    }
    static FakeClock orologio;
    static AttivitaManager attivita(orologio);
    SchemaURL::instradaURL(urls, attivita, contesto);
    if (attivita.coda().size() > AttivitaManager::kMassimoInCoda)
        __builtin_trap();
    // Every notice ends: the queue is empty again after the longest wait.
    orologio.advance(11.0 * (AttivitaManager::kMassimoInCoda + 1));
    if (attivita.corrente() || !attivita.coda().isEmpty())
        __builtin_trap();
    return 0;
}
