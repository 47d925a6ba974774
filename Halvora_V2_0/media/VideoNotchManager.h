#pragma once

#include "SorgenteSistema.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

// The video moved from a browser into the notch: its state and the pending
// offer to move one. The root view owns it for the whole run, reads `stato`
// and `proposta` for the card slot and forwards the user's answers. Playing
// the video in the notch needs the browser bridge, which this build does
// not have yet: the state stays closed and no offer is made.
class VideoNotchManager : public QObject {
    Q_OBJECT
public:
    using Brano = SorgenteSistema::Brano;

    struct Stato {
        enum class Tipo { chiuso, attesaPermesso, errore, caricamento, inRiproduzione, inPausa };
        Tipo tipo = Tipo::chiuso;
        // The browser's name while waiting for permission; the message of an error.
        QString testo;
        bool operator==(const Stato&) const = default;
    };

    struct Proposta {
        Brano sessione;
        QString nomeBrowser;
        bool operator==(const Proposta&) const = default;
    };

    using FonteSessione = std::function<std::optional<Brano>()>;

    explicit VideoNotchManager(QObject* parent = nullptr);

    const Stato& stato() const { return stato_; }
    const std::optional<Proposta>& proposta() const { return proposta_; }
    const QList<Proposta>& rifiutate() const { return rifiutate_; }

    // Where the session of the browser video comes from; set once by the root view.
    void setSessioneCorrente(FonteSessione fonte) { sessioneCorrente_ = std::move(fonte); }
    bool haSessioneCorrente() const { return static_cast<bool>(sessioneCorrente_); }

    // An application became active; may lead to an offer.
    void valutaSessione(const std::optional<QString>& bundleID, const std::optional<Brano>& videoBrowser);
    // Moves the offered video into the notch; nothing without an offer.
    void accettaProposta(const std::optional<Brano>& videoBrowser);
    // A declined offer is never made again.
    void rifiutaProposta();
    void guardaNellaTacca(const Brano& video);

signals:
    void statoChanged();
    void propostaChanged();

private:
    Stato stato_;
    std::optional<Proposta> proposta_;
    QList<Proposta> rifiutate_;
    FonteSessione sessioneCorrente_;
};
