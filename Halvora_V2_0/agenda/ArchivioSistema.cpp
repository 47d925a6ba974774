#include "ArchivioSistema.h"
#include "ArchivioCalendario.h"
#include "ArchivioDesktop.h"

#include "CalendariEds.h"

#include <QFileInfo>

ArchivioSistema::ArchivioSistema(std::unique_ptr<ArchivioDesktop> desktop, std::unique_ptr<ArchivioCalendario> cartella)
    : desktop_(std::move(desktop)), cartella_(std::move(cartella))
{
}

ArchivioSistema::~ArchivioSistema() = default;

std::optional<bool> ArchivioSistema::desktop()
{
    if (scelta_ == daDecidere) {
        const auto sulBus = desktop_->disponibile();
        if (!sulBus)
            return std::nullopt;
        scelta_ = *sulBus ? scrivania : soloCartella;
    }
    return scelta_ == scrivania;
}

std::optional<bool> ArchivioSistema::usaDesktop() const
{
    const int s = scelta_;
    return s == daDecidere ? std::nullopt : std::optional<bool>(s == scrivania);
}

bool ArchivioSistema::cartellaPresente() const { return QFileInfo(cartella_->cartella()).isDir(); }

template<class T>
Lettura<T> ArchivioSistema::unisci(Lettura<T> l, const std::function<Lettura<T>()>& dallaCartella)
{
    // Without the desktop's store there is no access at all: the folder's
    // items alone would pass for the whole agenda.
    if (!l.accesso || !cartellaPresente())
        return l;
    Lettura<T> c = dallaCartella();
    l.messiDaParte += c.messiDaParte;
    if (c.accesso) {
        l.elementi += c.elementi;
        l.file = c.file;
    }
    return l;
}

namespace {
template<class T>
Lettura<T> senzaRisposta()
{
    Lettura<T> l;
    l.nonRisponde = true;
    return l;
}
} // namespace

Lettura<Impegno> ArchivioSistema::impegni(const QDateTime& da, const QDateTime& a)
{
    const auto d = desktop();
    if (!d)
        return senzaRisposta<Impegno>();
    if (!*d)
        return cartella_->impegni(da, a);
    return unisci<Impegno>(desktop_->impegni(da, a), [&] { return cartella_->impegni(da, a); });
}

Lettura<Promemoria> ArchivioSistema::promemoria(const QDateTime& limite)
{
    const auto d = desktop();
    if (!d)
        return senzaRisposta<Promemoria>();
    if (!*d)
        return cartella_->promemoria(limite);
    nellaCartella_.clear();
    return unisci<Promemoria>(desktop_->promemoria(limite), [&] {
        Lettura<Promemoria> c = cartella_->promemoria(limite);
        for (const Promemoria& p : c.elementi)
            nellaCartella_.insert(p.id);
        return c;
    });
}

EsitoCreazione ArchivioSistema::crea(const NuovoPromemoria& nuovo, const QDateTime& ora)
{
    const auto d = desktop();
    if (!d)
        return EsitoCreazione::nonSalvato(CalendariEds::nonRisponde());
    return *d ? desktop_->crea(nuovo, ora) : cartella_->crea(nuovo, ora);
}

EsitoScrittura ArchivioSistema::completa(const QString& id, const QDateTime& ora)
{
    const auto d = desktop();
    if (!d)
        return {EsitoScrittura::Tipo::nonSalvato, CalendariEds::nonRisponde()};
    if (*d && !nellaCartella_.contains(id))
        return desktop_->completa(id, ora);
    return cartella_->completa(id, ora);
}

EsitoScrittura ArchivioSistema::rimanda(const QString& id, const QDateTime& quando)
{
    const auto d = desktop();
    if (!d)
        return {EsitoScrittura::Tipo::nonSalvato, CalendariEds::nonRisponde()};
    if (*d && !nellaCartella_.contains(id))
        return desktop_->rimanda(id, quando);
    return cartella_->rimanda(id, quando);
}

void ArchivioSistema::osservaCambi(std::function<void()> cambiato) { desktop_->osservaCambi(std::move(cambiato)); }

void ArchivioSistema::chiudi() { desktop_->chiudi(); }

void ArchivioSistema::inizioLavoro(quint64 n) { desktop_->inizioLavoro(n); }

void ArchivioSistema::interrompi(quint64 n) { desktop_->interrompi(n); }

QString ArchivioSistema::cartella() const { return cartella_->cartella(); }

bool ArchivioSistema::apriImpostazioni() const
{
    if (usaDesktop().value_or(false))
        return desktop_->apriImpostazioni();
    return ArchivioAgenda::apriImpostazioni();
}
