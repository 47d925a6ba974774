#include "UsoIAMonitor.h"

#include "FrontApplication.h"
#include "LettoreClaudeDesktop.h"
#include "LettoreCodex.h"
#include "UserDefaults.h"

namespace {

UsoIAMonitor::Lettori lettoriReali()
{
    // The readers run on the worker thread; the system clock is safe there.
    auto ora = [] { return Clock::system().now(); };
    return {{FornitoreIA::claude, std::make_shared<LettoreClaudeDesktop>(ora)},
            {FornitoreIA::codex, std::make_shared<LettoreCodex>(ora)}};
}

} // namespace

UsoIAMonitor::UsoIAMonitor(Clock& clock, UserDefaults& impostazioni, FrontApplication& frontale, QString idPropria,
                           QObject* parent)
    : UsoIAMonitor(clock, impostazioni, frontale, lettoriReali(), std::move(idPropria), parent)
{
}

UsoIAMonitor::UsoIAMonitor(Clock& clock, UserDefaults& impostazioni, FrontApplication& frontale, Lettori lettori,
                           QString idPropria, QObject* parent)
    : QObject(parent),
      clock_(clock),
      impostazioni_(impostazioni),
      frontale_(frontale),
      idPropria_(std::move(idPropria)),
      lettori_(std::move(lettori))
{
    if (impostazioni_.value(kChiaveUltimoUsato).toString() == QLatin1String("codex"))
        ultimoUsato_ = FornitoreIA::codex;
    coda_.setObjectName(QStringLiteral("UsoIAMonitor"));
    lavoratore_ = new QObject;
    lavoratore_->moveToThread(&coda_);
    connect(&coda_, &QThread::finished, lavoratore_, &QObject::deleteLater);
    coda_.start(QThread::LowPriority);
}

UsoIAMonitor::~UsoIAMonitor()
{
    timer_.cancel();
    disconnect(osservatoreApp_);
    coda_.quit();
    coda_.wait();
}

void UsoIAMonitor::setAttivo(bool attivo)
{
    if (attivo == attivo_)
        return;
    attivo_ = attivo;
    emit attivoChanged();
    if (attivo_)
        avvia();
    else
        ferma();
}

void UsoIAMonitor::avvia()
{
    disconnect(osservatoreApp_);
    osservatoreApp_ = connect(&frontale_, &FrontApplication::changed, this,
                              [this] { appInPrimoPiano(frontale_.currentId()); });
    appInPrimoPiano(frontale_.currentId());
    armaTimer();
    leggi();
}

void UsoIAMonitor::ferma()
{
    timer_.cancel();
    disconnect(osservatoreApp_);
    osservatoreApp_ = {};
    ++generazione_;
    QMetaObject::invokeMethod(lavoratore_, [lettori = lettori_] {
        for (const auto& [fornitore, lettore] : lettori)
            lettore->dimentica();
    });
    letture_.clear();
    const bool statiCambiati = !stati_.empty();
    const bool frontaleCambiato = inPrimoPiano_.has_value();
    stati_.clear();
    inPrimoPiano_.reset();
    if (statiCambiati)
        emit statiChanged();
    if (frontaleCambiato)
        emit inPrimoPianoChanged();
    if (statiCambiati || frontaleCambiato)
        emit cambiato();
}

void UsoIAMonitor::appInPrimoPiano(const QString& id)
{
    // An application without a desktop entry has no id: it counts as absent.
    const std::optional<QString> app = id.isEmpty() ? std::nullopt : std::optional(id);
    const std::optional<QString> propria = idPropria_.isEmpty() ? std::nullopt : std::optional(idPropria_);
    if (app == propria)
        return;
    const auto p = fornitoreDaBundle(app);
    if (p == inPrimoPiano_)
        return;
    const auto precedente = inPrimoPiano_;
    inPrimoPiano_ = p;
    emit inPrimoPianoChanged();
    if (p) {
        if (ultimoUsato_ != *p) {
            ultimoUsato_ = *p;
            impostazioni_.setValue(kChiaveUltimoUsato, testoFornitore(*p));
            emit ultimoUsatoChanged();
        }
        emit cambiato();
        if (!precedente)
            armaTimer();
        if (timer_)
            leggi();
    } else {
        emit cambiato();
        if (precedente)
            armaTimer();
    }
}

void UsoIAMonitor::armaTimer()
{
    if (!attivo_)
        return;
    timer_.cancel();
    periodo_ = inPrimoPiano_ ? kIntervalloVeloce : kIntervalloLento;
    timer_ = clock_.repeating(periodo_, [this] { leggi(); });
}

void UsoIAMonitor::leggi()
{
    QMetaObject::invokeMethod(lavoratore_, [this, lettori = lettori_, generazione = generazione_] {
        RegoleUsoIA::Letture risultati;
        for (const auto& [fornitore, lettore] : lettori)
            if (auto l = lettore->leggiUso())
                risultati[fornitore] = *l;
        // The monitor outlives this task: its destructor waits for the thread.
        QMetaObject::invokeMethod(
            this, [this, generazione, risultati] { ricevi(generazione, risultati); }, Qt::QueuedConnection);
    });
}

void UsoIAMonitor::ricevi(quint64 generazione, const RegoleUsoIA::Letture& risultati)
{
    if (!attivo_ || generazione != generazione_)
        return;
    for (const auto& [fornitore, lettura] : risultati)
        letture_[fornitore] = lettura;
    ricalcola();
}

void UsoIAMonitor::ricalcola()
{
    const Stati nuovi = RegoleUsoIA::statiDaLetture(letture_, clock_.now());
    // Events go out before the states change, compared with what was
    // published last, so each freed window is told once.
    for (const auto& e : RegoleUsoIA::liberati(stati_, nuovi))
        emit diNuovoDisponibile({e.fornitore, e.settimanale});
    if (nuovi != stati_) {
        stati_ = nuovi;
        emit statiChanged();
        emit cambiato();
    }
}

std::optional<RegoleUsoIA::SceltaTacca> UsoIAMonitor::statoPerTacca() const
{
    return RegoleUsoIA::statoPerTacca(stati_, inPrimoPiano_);
}

std::optional<StatoUsoIA> UsoIAMonitor::statoPerPannello() const
{
    return RegoleUsoIA::statoPerPannello(stati_, inPrimoPiano_, ultimoUsato_);
}
