#pragma once

#include "BackendAudio.h"

#include <QCoreApplication>
#include <QThreadPool>
#include <QFile>
#include <QList>
#include <QPointer>

// A recorder that writes a few bytes at start; the test decides when its
// file is closed (concludi), as the real backend reports it later.
class FakeRegistratore final : public RegistratoreAudio {
    Q_OBJECT
public:
    // `registrato`, when given, is the audio the closed file holds.
    FakeRegistratore(QString percorso, bool fallisci, QString registrato = {})
        : percorso_(std::move(percorso)), fallisci_(fallisci), registrato_(std::move(registrato))
    {
    }

    QString percorso() const override { return percorso_; }
    bool registra() override
    {
        QFile f(percorso_);
        f.open(QIODevice::WriteOnly);
        if (fallisci_)
            return false; // the platform made an empty file and gave up
        f.write("audio");
        attivo = true;
        avviato = true;
        emit audioArrivato();
        return true;
    }
    void ferma() override
    {
        if (attivo)
            ++fermate;
        attivo = false;
    }
    void fermaEAttendi(int) override
    {
        ferma();
        attesoAllaChiusura = true;
        concludi(true);
    }
    bool inRegistrazione() const override { return attivo; }
    bool avviata() const override { return avviato; }
    QString motivo() const override { return riuscito_ ? QString() : QStringLiteral("guasto finto"); }

    void concludi(bool riuscito)
    {
        if (riuscito && !registrato_.isEmpty()) {
            QFile::remove(percorso_);
            QFile::copy(registrato_, percorso_);
        } else if (riuscito) {
            QFile f(percorso_);
            f.open(QIODevice::Append);
            f.write("-fine");
        }
        attivo = false;
        chiuso = true;
        riuscito_ = riuscito;
        emit finito(riuscito);
    }

    bool attivo = false;
    bool avviato = false; // the microphone's audio reached the file
    bool chiuso = false;
    bool attesoAllaChiusura = false;
    int fermate = 0;

private:
    QString percorso_;
    bool fallisci_;
    QString registrato_;
    bool riuscito_ = true;
};

class FakeLettore final : public LettoreAudio {
    Q_OBJECT
public:
    explicit FakeLettore(QString percorso) : percorso(std::move(percorso)) {}
    void impostaVolume(float v) override { volume = v; }
    void riproduci() override { suona = true; }
    void ferma() override { suona = false; }
    bool inRiproduzione() const override { return suona; }
    // The end of the file, or a file it could not play.
    void termina(bool riuscito = true)
    {
        suona = false;
        emit finito(riuscito);
    }

    QString percorso;
    float volume = 0;
    bool suona = false;
};

class FakeBackendAudio final : public BackendAudio {
public:
    PermessoMicrofono permessoMicrofono() const override { return permesso; }
    void richiediPermessoMicrofono(std::function<void(bool)> risposta) override
    {
        ++richieste;
        rispostaPendente = std::move(risposta);
    }
    std::unique_ptr<RegistratoreAudio> creaRegistratore(const QString& percorso, QString* errore) override
    {
        if (falliscaCreazione) {
            *errore = QStringLiteral("guasto finto");
            return nullptr;
        }
        auto r = std::make_unique<FakeRegistratore>(percorso, falliscaAvvio, audioRegistrato);
        registratori << r.get();
        return r;
    }
    std::unique_ptr<LettoreAudio> creaLettore(const QString& percorso, QString* errore) override
    {
        if (!QFile::exists(percorso)) {
            *errore = QStringLiteral("manca");
            return nullptr;
        }
        auto l = std::make_unique<FakeLettore>(percorso);
        lettori << l.get();
        return l;
    }

    PermessoMicrofono permesso = PermessoMicrofono::autorizzato;
    int richieste = 0;
    std::function<void(bool)> rispostaPendente;
    bool falliscaCreazione = false;
    bool falliscaAvvio = false;
    QString audioRegistrato; // a real recording each recorder's file becomes
    QList<QPointer<FakeRegistratore>> registratori;
    QList<QPointer<FakeLettore>> lettori;
};

// Runs what the managers queued for the next turn of the event loop.
// Until the work queued so far (the listings read on workers too) is done.
inline void svuotaCoda()
{
    for (int i = 0; i < 5; ++i) {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
    }
}
