#pragma once

#include "ContenutoScheda.h"
#include "TransizioneScheda.h"

#include <QRectF>
#include <functional>

class AggiornamentoManager;
class CalendarioManager;
class Clock;
class Installazione;
class MediaManager;
class PomodoroManager;
class QWidget;
class VideoNotchManager;
class VoiceManager;

// Builds the card the slot holds for each kind of card, from the managers
// that feed it. A kind whose manager or content is missing builds none.
class CostruttoreSchede {
public:
    // The managers the cards show; any may be missing.
    struct Fonti {
        Clock& clock;
        MediaManager* media = nullptr;
        VoiceManager* voce = nullptr;
        PomodoroManager* pomodoro = nullptr;
        CalendarioManager* calendario = nullptr;
        VideoNotchManager* video = nullptr;
        AggiornamentoManager* aggiornamento = nullptr;
        // What the installation card drives, and what closing it does.
        Installazione* installazione = nullptr;
        std::function<void()> chiudiInstallazione;
    };
    // A card widget and the card inside it, with the pose it enters from.
    struct Costruita {
        QWidget* scheda = nullptr;
        QRectF area;
        TransizioneScheda::Posa ingresso = TransizioneScheda::kIngresso;
    };

    explicit CostruttoreSchede(Fonti fonti) : fonti_(std::move(fonti)) {}

    // The card of kind `tipo` showing `contenuto`; the music card's waves
    // move when `ondeAnimate`.
    Costruita costruisci(CatenaSchede::Scheda tipo, const CatenaSchede::ContenutoScheda& contenuto,
                         bool ondeAnimate) const;

private:
    QWidget* creaSchedaAgenda(CatenaSchede::Scheda s, QRectF& area) const;
    QWidget* creaSchedaProposta(QRectF& area) const;
    QWidget* creaSchedaAggiornamento(const AggiornamentoCardView::Campi& campi, QRectF& area) const;

    Fonti fonti_;
};
