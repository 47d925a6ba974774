#include "ArchivioSistema.h"
#include "ArchivioCalendario.h"
#include "ArchivioDesktop.h"

#include <QFileInfo>

ArchivioSistema::ArchivioSistema(std::unique_ptr<ArchivioDesktop> desktop, std::unique_ptr<ArchivioCalendario> cartella)
    : desktop_(std::move(desktop)), cartella_(std::move(cartella))
{
}

ArchivioSistema::~ArchivioSistema() = default;

bool ArchivioSistema::desktop()
{
    if (scelta_ == daDecidere)
        scelta_ = ArchivioDesktop::disponibile() ? scrivania : soloCartella;
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
    if (c.accesso) {
        l.elementi += c.elementi;
        l.file = c.file;
    }
    return l;
}

Lettura<Impegno> ArchivioSistema::impegni(const QDateTime& da, const QDateTime& a)
{
    if (!desktop())
        return cartella_->impegni(da, a);
    return unisci<Impegno>(desktop_->impegni(da, a), [&] { return cartella_->impegni(da, a); });
}

Lettura<Promemoria> ArchivioSistema::promemoria(const QDateTime& limite)
{
    if (!desktop())
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
    return desktop() ? desktop_->crea(nuovo, ora) : cartella_->crea(nuovo, ora);
}

EsitoScrittura ArchivioSistema::completa(const QString& id, const QDateTime& ora)
{
    if (desktop() && !nellaCartella_.contains(id))
        return desktop_->completa(id, ora);
    return cartella_->completa(id, ora);
}

EsitoScrittura ArchivioSistema::rimanda(const QString& id, const QDateTime& quando)
{
    if (desktop() && !nellaCartella_.contains(id))
        return desktop_->rimanda(id, quando);
    return cartella_->rimanda(id, quando);
}

void ArchivioSistema::osservaCambi(std::function<void()> cambiato) { desktop_->osservaCambi(std::move(cambiato)); }

void ArchivioSistema::chiudi() { desktop_->chiudi(); }

QString ArchivioSistema::cartella() const { return cartella_->cartella(); }

bool ArchivioSistema::apriImpostazioni() const
{
    if (usaDesktop().value_or(false))
        return desktop_->apriImpostazioni();
    return ArchivioAgenda::apriImpostazioni();
}
