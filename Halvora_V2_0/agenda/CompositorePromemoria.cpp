#include "CompositorePromemoria.h"

#include "CalendarioManager.h"
#include "Clock.h"
#include "DettaturaVocale.h"

#include <QLocale>
#include <QPointer>

CompositorePromemoria::CompositorePromemoria(CalendarioManager& manager, Clock& clock, DettaturaVocale& dettatura,
                                             QObject* parent)
    : QObject(parent), manager_(manager), clock_(clock), dettatura_(dettatura),
      scadenzaScelta_(clock.now().addSecs(kAnticipoScelta))
{
}

template<class T>
void CompositorePromemoria::cambia(T& campo, T valore)
{
    if (campo == valore)
        return;
    campo = std::move(valore);
    emit cambiato();
}

void CompositorePromemoria::setNuovoPromemoria(const QString& testo) { cambia(nuovoPromemoria_, testo); }
void CompositorePromemoria::setScrivendo(bool v) { cambia(scrivendo_, v); }
void CompositorePromemoria::setScadenzaScelta(const QDateTime& quando) { cambia(scadenzaScelta_, quando); }
void CompositorePromemoria::setRipetizione(RipetizionePromemoria r) { cambia(ripetizione_, r); }
void CompositorePromemoria::setAnticipo(AnticipoAvviso a) { cambia(anticipo_, a); }

bool CompositorePromemoria::testoVuoto() const
{
    qsizetype inizio = 0, fine = nuovoPromemoria_.size();
    auto spazio = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (inizio < fine && spazio(nuovoPromemoria_.at(inizio)))
        ++inizio;
    while (fine > inizio && spazio(nuovoPromemoria_.at(fine - 1)))
        --fine;
    return inizio == fine;
}

QString CompositorePromemoria::etichettaScadenza() const
{
    const QLocale locale;
    const QDateTime quando = scadenzaScelta_.toLocalTime();
    const QString ora = locale.toString(quando.time(), QLocale::ShortFormat);
    if (quando.date() == clock_.now().toLocalTime().date())
        return tr("le %1").arg(ora);
    return tr("il %1 alle %2").arg(Agenda::giornoBreve(quando.date(), locale), ora);
}

QString CompositorePromemoria::testoCrea() const { return tr("Crea per %1").arg(etichettaScadenza()); }

void CompositorePromemoria::creaRapido(QuandoRicordare quando)
{
    crea(Scelte::data(quando, clock_.now()), RipetizionePromemoria::mai, AnticipoAvviso::allOraEsatta, false);
}

void CompositorePromemoria::creaDaDettagli() { crea(scadenzaScelta_, ripetizione_, anticipo_, true); }

void CompositorePromemoria::crea(const QDateTime& scadenza, RipetizionePromemoria ripetizione,
                                 AnticipoAvviso anticipo, bool daDettagli)
{
    // The store answers later: a second press meanwhile would make a twin.
    if (inCreazione_)
        return;
    inCreazione_ = true;
    const QString titolo = nuovoPromemoria_;
    QPointer<CompositorePromemoria> io(this);
    manager_.creaPromemoria(titolo, scadenza, ripetizione, anticipo, [io, titolo, daDettagli](const EsitoCreazione& e) {
        if (!io)
            return;
        io->inCreazione_ = false;
        io->cambia(io->erroreCreazione_, e.messaggio());
        if (e.tipo != EsitoCreazione::Tipo::creato)
            return;
        // What was typed while the store worked is not thrown away.
        if (io->nuovoPromemoria_ == titolo)
            io->cambia(io->nuovoPromemoria_, QString());
        io->cambia(io->scrivendo_, false);
        if (daDettagli) {
            io->cambia(io->mostraDettagli_, false);
            io->cambia(io->ripetizione_, RipetizionePromemoria::mai);
            io->cambia(io->anticipo_, AnticipoAvviso::allOraEsatta);
            io->cambia(io->scadenzaScelta_, io->clock_.now().addSecs(kAnticipoScelta));
        }
    });
}

void CompositorePromemoria::alternaDettagli()
{
    if (!mostraDettagli_) {
        attivaApplicazione();
        cambia(scadenzaScelta_, clock_.now().addSecs(kAnticipoScelta));
    }
    cambia(mostraDettagli_, !mostraDettagli_);
}

void CompositorePromemoria::alternaDettatura()
{
    if (!dettatura_.inCorso()) {
        dettatura_.avvia();
        return;
    }
    QPointer<CompositorePromemoria> io(this);
    dettatura_.fermaETrascrivi([io](std::optional<QString> testo) {
        if (!io || !testo)
            return;
        // Appended to whatever the field holds now: typing meanwhile stays.
        io->setNuovoPromemoria(io->nuovoPromemoria_.isEmpty() ? *testo
                                                              : io->nuovoPromemoria_ + QLatin1Char(' ') + *testo);
    });
}

void CompositorePromemoria::attivaApplicazione()
{
    if (attiva_)
        attiva_();
}
