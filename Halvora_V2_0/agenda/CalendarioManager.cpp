#include "CalendarioManager.h"

#include "ArchivioAgenda.h"
#include "CodaArchivio.h"
#include "UserDefaults.h"

#include <QFileSystemWatcher>
#include <QSemaphore>
#include <limits>
#include <algorithm>

namespace {

const QString kGiaUsato = QStringLiteral("calendario.giaUsato");

// Published values notify only on a change: true when `nuovo` differs and was stored.
template<class T>
bool cambia(T& campo, T nuovo)
{
    if (campo == nuovo)
        return false;
    campo = std::move(nuovo);
    return true;
}

} // namespace

CalendarioManager::CalendarioManager(Clock& clock, UserDefaults& impostazioni,
                                     std::shared_ptr<ArchivioAgenda> archivio, std::unique_ptr<CodaArchivio> coda,
                                     QObject* parent)
    : QObject(parent), clock_(clock), impostazioni_(impostazioni), archivio_(std::move(archivio)),
      coda_(std::move(coda)), cartella_(archivio_->cartella())
{
    if (!coda_)
        coda_ = std::make_unique<CodaThread>();
    // Reported on the worker thread; the queue dies before this object.
    archivio_->osservaCambi([this] { QMetaObject::invokeMethod(this, [this] { cambioEsterno(); }, Qt::QueuedConnection); });
    if (impostazioni_.boolValue(kGiaUsato, false))
        avvia();
}

CalendarioManager::~CalendarioManager()
{
    limiti_.clear();
    // A write still queued finishes first (it must not be lost), unless the
    // store keeps it waiting: then it is cut short, so quitting never hangs
    // on the store; reads are cut short at once. What the jobs post back is
    // dropped with this object. The store lets go last, on its thread.
    auto svuotata = std::make_shared<QSemaphore>();
    coda_->accoda([svuotata] { svuotata->release(); });
    if (scritture_.isEmpty() || !svuotata->tryAcquire(1, kAttesaChiusuraMs))
        archivio_->interrompi(std::numeric_limits<quint64>::max());
    coda_->accoda([archivio = archivio_] { archivio->chiudi(); });
    coda_.reset();
}

void CalendarioManager::suCoda(std::function<Passo(ArchivioAgenda&)> lavoro, bool scrittura)
{
    const quint64 n = ++lavori_;
    if (scrittura)
        scritture_.insert(n);
    // Counted from now: a job queued behind one that hangs is not kept longer.
    limiti_.emplace(n, clock_.singleShot(kLimiteArchivio, [this, n] { archivio_->interrompi(n); }));
    // The queue dies before this object, so `this` outlives every job.
    coda_->accoda([this, n, archivio = archivio_, lavoro = std::move(lavoro)] {
        archivio->inizioLavoro(n);
        Passo poi = lavoro(*archivio);
        QMetaObject::invokeMethod(
            this,
            [this, n, poi = std::move(poi)] {
                limiti_.erase(n);
                scritture_.remove(n);
                poi();
            },
            Qt::QueuedConnection);
    });
}

bool CalendarioManager::letta(bool nonRisponde, const QStringList& messiDaParte)
{
    if (!messiDaParte.isEmpty())
        emit this->messiDaParte(messiDaParte);
    if (cambia(nonRisponde_, nonRisponde))
        emit nonRispondeChanged();
    // Nothing is known of a store that did not answer: what it showed stays.
    return !nonRisponde;
}

void CalendarioManager::avvia()
{
    if (attivo_)
        return;
    attivo_ = true;
    impostazioni_.setValue(kGiaUsato, true);
    aggiornamento_ = clock_.repeating(kIntervalloAggiornamento, [this] { aggiornaTutto(); });
    aggiornaTutto();
}

void CalendarioManager::aggiornaTutto()
{
    aggiornaImpegni();
    aggiornaPromemoria();
}

void CalendarioManager::aggiornaImpegni()
{
    if (!attivo_)
        return;
    const quint64 generazione = ++generazioneImpegni_;
    const QDateTime ora = clock_.now();
    const QDateTime da = Agenda::inizioGiorno(ora);
    const QDateTime a = Agenda::fineGiorno(ora);
    suCoda([this, generazione, da, a](ArchivioAgenda& archivio) -> Passo {
        Lettura<Impegno> l = archivio.impegni(da, a);
        Agenda::ordinaImpegni(l.elementi);
        return [this, generazione, l] {
            if (letta(l.nonRisponde, l.messiDaParte))
                applicaImpegni(generazione, l.accesso, l.elementi, l.file);
        };
    });
}

void CalendarioManager::aggiornaPromemoria()
{
    if (!attivo_)
        return;
    const quint64 generazione = ++generazionePromemoria_;
    const QDateTime limite = Agenda::fineGiorno(clock_.now());
    suCoda([this, generazione, limite](ArchivioAgenda& archivio) -> Passo {
        Lettura<Promemoria> l = archivio.promemoria(limite);
        Agenda::ordinaPromemoria(l.elementi);
        return [this, generazione, l] {
            if (letta(l.nonRisponde, l.messiDaParte))
                applicaPromemoria(generazione, l.accesso, l.elementi, l.file);
        };
    });
}

bool CalendarioManager::accetta(quint64 generazione, quint64& applicata, bool accesso, const QStringList& file)
{
    // Refreshes may overlap; one older than the last applied comes too late.
    if (generazione < applicata)
        return false;
    applicata = generazione;
    osserva(accesso, file);
    return true;
}

void CalendarioManager::applicaImpegni(quint64 generazione, bool accesso, QList<Impegno> lista,
                                       const QStringList& file)
{
    if (!accetta(generazione, applicataImpegni_, accesso, file))
        return;
    // Read at every refresh, so access granted later shows without a restart.
    if (cambia(accessoNegato_, !accesso)) {
        emit accessoNegatoChanged();
        setAvvisoImpostazioni({});
    }
    if (!accesso)
        return; // the lists keep what they showed
    if (cambia(impegniDiOggi_, std::move(lista)))
        emit impegniDiOggiChanged();
    if (cambia(prossimo_, Agenda::prossimo(impegniDiOggi_, clock_.now())))
        emit prossimoChanged();
}

void CalendarioManager::applicaPromemoria(quint64 generazione, bool accesso, QList<Promemoria> lista,
                                          const QStringList& file)
{
    if (!accetta(generazione, applicataPromemoria_, accesso, file))
        return;
    if (cambia(accessoPromemoriaNegato_, !accesso))
        emit accessoPromemoriaNegatoChanged();
    if (!accesso)
        return;
    if (cambia(promemoria_, lista))
        emit promemoriaChanged();
    // A reminder done or deleted elsewhere takes its failure with it.
    bool tolti = false;
    for (auto it = erroriPromemoria_.begin(); it != erroriPromemoria_.end();) {
        const QString id = it.key();
        if (std::none_of(lista.cbegin(), lista.cend(), [&id](const Promemoria& p) { return p.id == id; })) {
            it = erroriPromemoria_.erase(it);
            tolti = true;
        } else {
            ++it;
        }
    }
    if (tolti)
        emit erroriPromemoriaChanged();
    controllaScadenze(lista);
}

void CalendarioManager::controllaScadenze(const QList<Promemoria>& lista)
{
    if (daAvvisare_)
        return; // one due reminder at a time
    if (auto p = Agenda::daAnnunciare(lista, clock_.now(), giaAvvisati_)) {
        giaAvvisati_.insert(p->id);
        setDaAvvisare(p);
    }
}

void CalendarioManager::cambioEsterno()
{
    // The changes already posted arrive before this refresh runs.
    if (cambioInAttesa_)
        return;
    cambioInAttesa_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            cambioInAttesa_ = false;
            aggiornaTutto();
        },
        Qt::QueuedConnection);
}

void CalendarioManager::setDaAvvisare(const std::optional<Promemoria>& p)
{
    if (cambia(daAvvisare_, p))
        emit daAvvisareChanged();
}

void CalendarioManager::osserva(bool accesso, const QStringList& file)
{
    if (!osservatore_) {
        osservatore_ = new QFileSystemWatcher(this);
        connect(osservatore_, &QFileSystemWatcher::directoryChanged, this, &CalendarioManager::aggiornaTutto);
        connect(osservatore_, &QFileSystemWatcher::fileChanged, this, &CalendarioManager::aggiornaTutto);
    }
    // A file replaced by a rename drops out of the watch; every refresh puts
    // back what is there now.
    QStringList voluti = file;
    if (accesso)
        voluti.append(cartella_); // a folder that is not there yet is added at a later refresh
    const QStringList osservati = osservatore_->files() + osservatore_->directories();
    QStringList via, nuovi;
    for (const QString& p : osservati)
        if (!voluti.contains(p))
            via.append(p);
    for (const QString& p : voluti)
        if (!osservati.contains(p))
            nuovi.append(p);
    if (!via.isEmpty())
        osservatore_->removePaths(via);
    if (!nuovi.isEmpty())
        osservatore_->addPaths(nuovi);
}
