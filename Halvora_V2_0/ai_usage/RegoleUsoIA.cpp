#include "RegoleUsoIA.h"

namespace RegoleUsoIA {

namespace {

void azzeraSeScaduto(std::optional<LimiteIA>& l, const QDateTime& adesso)
{
    if (l && scaduto(*l, adesso))
        l = LimiteIA{0, std::nullopt, false};
}

bool esaurita(const std::optional<LimiteIA>& l)
{
    return l && esaurito(*l);
}

} // namespace

Stati statiDaLetture(const Letture& letture, const QDateTime& adesso)
{
    Stati stati;
    for (const auto& [fornitore, lettura] : letture) {
        const double eta = lettura.scrittaIl.msecsTo(adesso) / 1000.0;
        if (eta > kEtaMassima)
            continue;
        LetturaUsoIA copia = lettura;
        azzeraSeScaduto(copia.sessione, adesso);
        azzeraSeScaduto(copia.settimana, adesso);
        const double limite = fornitore == FornitoreIA::claude ? kAttualeClaude : kAttualeCodex;
        stati[fornitore] = StatoUsoIA{copia, eta <= limite};
    }
    return stati;
}

std::vector<Liberato> liberati(const Stati& prima, const Stati& dopo)
{
    std::vector<Liberato> eventi;
    for (const auto& [fornitore, nuovo] : dopo) {
        const auto vecchio = prima.find(fornitore);
        if (vecchio == prima.end())
            continue;
        if (esaurita(nuovo.lettura.sessione) || esaurita(nuovo.lettura.settimana))
            continue;
        if (esaurita(vecchio->second.lettura.settimana))
            eventi.push_back({fornitore, true});
        else if (esaurita(vecchio->second.lettura.sessione))
            eventi.push_back({fornitore, false});
    }
    return eventi;
}

std::optional<Scelta> limiteDaMostrare(const LetturaUsoIA& lettura)
{
    const auto& s = lettura.sessione;
    const auto& w = lettura.settimana;
    if (w && (!s || (w->percentuale >= kSogliaSettimanale && s->percentuale < w->percentuale)))
        return Scelta{*w, true};
    if (s)
        return Scelta{*s, false};
    return std::nullopt;
}

std::optional<SceltaTacca> statoPerTacca(const Stati& stati, std::optional<FornitoreIA> inPrimoPiano)
{
    if (!inPrimoPiano)
        return std::nullopt;
    const auto it = stati.find(*inPrimoPiano);
    if (it == stati.end() || !it->second.attuale)
        return std::nullopt;
    const auto scelta = limiteDaMostrare(it->second.lettura);
    if (!scelta)
        return std::nullopt;
    return SceltaTacca{scelta->limite, scelta->settimanale, *inPrimoPiano};
}

std::optional<StatoUsoIA> statoPerPannello(const Stati& stati, std::optional<FornitoreIA> inPrimoPiano,
                                           FornitoreIA ultimoUsato)
{
    const FornitoreIA p = inPrimoPiano.value_or(ultimoUsato);
    if (auto it = stati.find(p); it != stati.end())
        return it->second;
    const FornitoreIA altro = p == FornitoreIA::claude ? FornitoreIA::codex : FornitoreIA::claude;
    if (auto it = stati.find(altro); it != stati.end())
        return it->second;
    return std::nullopt;
}

} // namespace RegoleUsoIA
