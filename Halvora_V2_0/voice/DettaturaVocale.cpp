#include "DettaturaVocale.h"

#include "UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QUuid>

DettaturaVocale::Trascrittore DettaturaVocale::nessunTrascrittore()
{
    return TrascrittoreAudio::nessuno();
}

DettaturaVocale::DettaturaVocale(BackendAudio& audio, Clock& clock, UserDefaults& impostazioni,
                                 Trascrittore trascrivi, QObject* parent)
    : QObject(parent), audio_(audio), clock_(clock), impostazioni_(impostazioni), trascrittore_(std::move(trascrivi))
{
}

DettaturaVocale::~DettaturaVocale()
{
    if (!registratore_) {
        // Gone while its recording was being transcribed.
        if (!file_.isEmpty())
            QFile::remove(file_);
        return;
    }
    // A dictation cut short leaves no temporary file behind: it is removed
    // once the recorder has closed it.
    RegistratoreAudio* r = registratore_.release();
    disconnect(r, nullptr, this, nullptr);
    // Still closing at quit, when no event loop runs to delete it: it goes with the application.
    r->setParent(QCoreApplication::instance());
    const QString file = file_;
    auto elimina = [r, file] {
        QFile::remove(file);
        r->deleteLater();
    };
    if (!r->inRegistrazione() || chiuso_) {
        elimina();
        return;
    }
    connect(r, &RegistratoreAudio::finito, r, elimina);
    r->ferma();
}

void DettaturaVocale::avvia()
{
    if (inCorso_ || inElaborazione_ || attesaPermesso_)
        return;
    impostaErrore(std::nullopt);
    switch (audio_.permessoMicrofono()) {
    case PermessoMicrofono::autorizzato:
        registra();
        return;
    case PermessoMicrofono::negato:
        impostaErrore(tr("Microfono non autorizzato."));
        return;
    case PermessoMicrofono::nonDeterminato: {
        attesaPermesso_ = true;
        QPointer<DettaturaVocale> io(this);
        audio_.richiediPermessoMicrofono([io](bool concesso) {
            // The answer may come on any thread.
            QMetaObject::invokeMethod(
                io.data(),
                [io, concesso] {
                    if (!io)
                        return;
                    io->attesaPermesso_ = false;
                    if (concesso)
                        io->registra();
                    else
                        io->impostaErrore(tr("Microfono non autorizzato."));
                },
                Qt::QueuedConnection);
        });
        return;
    }
    }
}

void DettaturaVocale::registra()
{
    const QString percorso = QDir::temp().filePath(QStringLiteral("dettatura-%1.m4a")
                                                       .arg(QUuid::createUuid().toString(QUuid::WithoutBraces)));
    QString motivo;
    std::unique_ptr<RegistratoreAudio> nuovo = audio_.creaRegistratore(percorso, &motivo);
    if (!nuovo || !nuovo->registra()) {
        // Our own fresh file: nothing of a start that failed is kept.
        QFile::remove(percorso);
        // A recorder that could not be made says why, in the backend's own
        // (translated) words; one that would not start has nothing to add.
        impostaErrore(!nuovo && !motivo.isEmpty() ? motivo : tr("Impossibile avviare la dettatura."));
        return;
    }
    registratore_.reset(nuovo.release());
    connect(registratore_.get(), &RegistratoreAudio::finito, this, [this](bool) { registrazioneChiusa(); });
    file_ = percorso;
    chiuso_ = false;
    trascrizioneAvviata_ = false;
    impostaInCorso(true);
    limite_ = clock_.singleShot(kLimiteSecondi, [this] { fermaETrascrivi(); });
}

void DettaturaVocale::fermaETrascrivi(Risposta fatto)
{
    if (!inCorso_ || !registratore_ || file_.isEmpty()) {
        if (fatto)
            fatto(std::nullopt);
        return;
    }
    limite_.cancel();
    risposta_ = std::move(fatto);
    impostaInCorso(false);
    impostaInElaborazione(true);
    if (chiuso_) {
        trascrivi();
        return;
    }
    // Armed before the stop: a backend may report the file closed at once.
    attesaChiusura_ = clock_.singleShot(kAttesaChiusura, [this] { trascrivi(); });
    registratore_->ferma();
}

void DettaturaVocale::registrazioneChiusa()
{
    chiuso_ = true;
    if (inCorso_)
        fermaETrascrivi(); // the recording ended by itself: as at the time limit
    else if (inElaborazione_)
        trascrivi();
}

void DettaturaVocale::trascrivi()
{
    if (trascrizioneAvviata_)
        return;
    trascrizioneAvviata_ = true;
    attesaChiusura_.cancel();
    if (registratore_) {
        disconnect(registratore_.get(), nullptr, this, nullptr);
        registratore_.reset();
    }
    const bool soloSulDispositivo = impostazioni_.boolValue(QStringLiteral("trascrizioneSoloSulMac"), false);
    QPointer<DettaturaVocale> io(this);
    const QString file = file_;
    trascrittore_(file, soloSulDispositivo, [io, file](Esito esito) {
        QMetaObject::invokeMethod(
            io.data() ? static_cast<QObject*>(io.data()) : QCoreApplication::instance(),
            [io, file, esito] {
                if (io)
                    io->concludi(esito);
                else
                    QFile::remove(file);
            },
            Qt::QueuedConnection);
    });
}

void DettaturaVocale::concludi(const Esito& esito)
{
    std::optional<QString> testo;
    switch (esito.tipo) {
    case Esito::Tipo::testo: testo = esito.testo; break;
    case Esito::Tipo::fallita: impostaErrore(esito.testo); break;
    case Esito::Tipo::permessoNegato: impostaErrore(tr("Riconoscimento vocale non autorizzato.")); break;
    case Esito::Tipo::nonDisponibile: impostaErrore(tr("Riconoscimento vocale non disponibile.")); break;
    }
    impostaInElaborazione(false);
    QFile::remove(file_);
    file_.clear();
    if (Risposta r = std::exchange(risposta_, {}))
        r(testo);
}

void DettaturaVocale::impostaInCorso(bool v)
{
    if (inCorso_ == v)
        return;
    inCorso_ = v;
    emit inCorsoChanged();
}

void DettaturaVocale::impostaInElaborazione(bool v)
{
    if (inElaborazione_ == v)
        return;
    inElaborazione_ = v;
    emit inElaborazioneChanged();
}

void DettaturaVocale::impostaErrore(std::optional<QString> v)
{
    if (errore_ == v)
        return;
    errore_ = std::move(v);
    emit erroreChanged();
}
