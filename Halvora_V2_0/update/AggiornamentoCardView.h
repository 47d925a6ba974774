#pragma once

#include "SchedaChiusa.h"

#include <QString>
#include <functional>
#include <optional>

class QAbstractButton;

// The bar under the closed notch while an update is on offer: which version,
// the step of a running installation, a failure, or a new version waiting
// to be opened, with the matching actions. It decides nothing: the root
// view hands in the manager's fields and binds the four actions, and builds
// a new card whenever they change. The widget is the 372 by 46 card grown
// by the room its shadow takes.
class AggiornamentoCardView : public SchedaChiusa {
    Q_OBJECT
public:
    static constexpr QSizeF kDimensione{372, 46};

    struct Campi {
        QString versione;
        std::optional<QString> passo;
        std::optional<QString> errore;
        bool installata = false;
        bool puoAggiornare = false;
        bool operator==(const Campi&) const = default;
    };
    struct Azioni {
        std::function<void()> onAggiorna, onScarica, onRimanda, onApri;
    };

    AggiornamentoCardView(Campi campi, Azioni azioni, Clock& clock, QWidget* parent = nullptr);

    QColor accento() const;
    QString titolo() const;
    QString sottotitolo() const;
    // The capsule button ("Aggiorna", "Scarica" or "Apri"); none while a step runs.
    QAbstractButton* pulsante() const { return pulsante_; }
    QAbstractButton* chiudi() const { return chiudi_; }
    QWidget* attesa() const { return attesa_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void disegnaPrimoPiano(QPainter& p) override;

private:
    bool sottotitoloFisso() const;

    Campi campi_;
    QAbstractButton* pulsante_ = nullptr;
    QAbstractButton* chiudi_ = nullptr;
    QWidget* attesa_ = nullptr;
    QImage ombra_;
};
