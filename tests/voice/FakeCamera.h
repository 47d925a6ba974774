#pragma once

#include "SessioneCamera.h"

#include <atomic>
#include <memory>

// What the test sets and reads of the fake session; shared so it outlives
// the session, which the manager releases on its own thread.
struct StatoCameraFinta {
    std::atomic<AutorizzazioneCamera> autorizzazione{AutorizzazioneCamera::autorizzata};
    std::atomic<EsitoIngresso> esito{EsitoIngresso::aggiunto};
    std::atomic<int> richieste{0};
    std::atomic<int> aggiunte{0};
    std::atomic<int> avvii{0};
    std::atomic<int> fermate{0};
    std::atomic<int> ingressi{0};
    std::atomic<bool> inEsecuzione{false};
    std::atomic<bool> rilasciata{false};
    std::function<void(bool)> risposta; // the pending access question
    std::atomic<QVideoSink*> uscita{nullptr}; // where the live picture goes
};

class FakeSessioneCamera final : public SessioneCamera {
public:
    explicit FakeSessioneCamera(std::shared_ptr<StatoCameraFinta> s) : s_(std::move(s)) {}
    ~FakeSessioneCamera() override { s_->rilasciata = true; }

    AutorizzazioneCamera autorizzazione() override { return s_->autorizzazione; }
    void richiediAccesso(std::function<void(bool)> risposta) override
    {
        ++s_->richieste;
        s_->risposta = std::move(risposta);
    }
    EsitoIngresso aggiungiIngressoPredefinito() override
    {
        const EsitoIngresso e = s_->esito;
        if (e == EsitoIngresso::aggiunto) {
            ++s_->aggiunte;
            s_->ingressi = 1;
        }
        return e;
    }
    void rimuoviIngressi() override
    {
        s_->ingressi = 0;
        s_->inEsecuzione = false; // a session without inputs shows nothing
    }
    int ingressi() const override { return s_->ingressi; }
    void avvia() override
    {
        ++s_->avvii;
        s_->inEsecuzione = s_->ingressi > 0;
    }
    void ferma() override
    {
        ++s_->fermate;
        s_->inEsecuzione = false;
    }
    bool inEsecuzione() const override { return s_->inEsecuzione; }
    void impostaUscitaVideo(QVideoSink* uscita) override { s_->uscita = uscita; }

private:
    std::shared_ptr<StatoCameraFinta> s_;
};
