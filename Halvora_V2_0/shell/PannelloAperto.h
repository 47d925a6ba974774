#pragma once

#include "AreaSchede.h"
#include "AttivitaNotch.h"
#include "LetturaUsoIA.h"
#include "Molla.h"
#include "NotchStateManager.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class AvvisoAperto;
class BarraSchede;
class Clock;
class PulsanteSimbolo;

// The open notch's content: in guide mode the guide alone; otherwise the
// tab face or, on its back, the settings page, with the usage ring and the
// gear over the top-trailing corner. The gear turns the panel over about
// its vertical axis like a card; both faces end the turn the right way
// round.
class PannelloAperto : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMargineRiga = 16;
    static constexpr int kSpaziaturaRiga = 10;
    static constexpr int kLatoGear = 24;
    static constexpr int kLatoAnello = 18;
    // The springs of the panel's changes: the turn to the settings page and
    // back, the guide coming and going (its shape moves on them too).
    static constexpr CostantiMolla kVersoImpostazioni{0.5, 0.8};
    static constexpr CostantiMolla kTornaIndietro{0.6, 0.8};
    static constexpr CostantiMolla kGuidaEntra{0.45, 0.72};
    static constexpr CostantiMolla kGuidaEsce{0.4, 0.75};

    PannelloAperto(NotchStateManager& stato, BarraSchede& barra, Clock& clock, QWidget* parent = nullptr);

    AreaSchede& areaSchede() const { return *area_; }
    // The tab face's pieces (panel coordinates: the face fills the panel).
    QRect rettangoloTab(int indice) const { return area_->rettangoloTab(indice); }
    QRect rettangoloPower() const { return area_->rettangoloPower(); }
    QRect areaModulo() const { return area_->areaModulo(); }
    QRect rettangoloGear() const;
    QRect rettangoloAnello() const;
    // The notch shape as drawn now and the frame the content's edges follow
    // (the panel's coordinates); none: the panel itself. The panel may be
    // laid over more than the shape while the shape moves.
    void setForma(const std::optional<QRectF>& forma, const std::optional<QRectF>& cornice);

    void setAzionePower(std::function<void()> azione) { area_->setAzionePower(std::move(azione)); }
    using CostruttoreModulo = AreaSchede::CostruttoreModulo;
    void setCostruttoreModulo(CostruttoreModulo costruttore) { area_->setCostruttoreModulo(std::move(costruttore)); }
    QWidget* modulo() const { return area_->modulo(); }
    // Fits the faces to the panel (also while it is not shown, when no
    // resize event comes).
    void disponiModulo();

    // Builds a page that fills the panel; it goes with the panel.
    using CostruttoreVista = std::function<QWidget*()>;
    // The settings page, built afresh each time the settings are shown and
    // released when they are left.
    void setCostruttoreImpostazioni(CostruttoreVista costruttore);
    QWidget* paginaImpostazioni() const { return pagina_; }
    // The onboarding guide, built when guide mode starts and released when
    // it ends; without a builder guide mode shows an empty panel.
    void setCostruttoreGuida(CostruttoreVista costruttore);
    QWidget* guida() const { return guida_; }

    // The usage ring of the row, for the provider the usage monitor picks
    // for the open panel; none leaves the gear alone.
    void setUsoIA(const std::optional<StatoUsoIA>& stato);
    bool anelloPresente() const;
    // The notice of the moment, at the top of either face; none hides it.
    void setAvviso(const std::optional<AttivitaNotch>& attivita);
    AvvisoAperto* avviso() const { return avviso_; }
    // Whether the ring and gear row shows (not over the settings or the guide).
    bool rigaVisibile() const;

    bool giroInCorso() const { return girando_; }
    void completaAnimazioni();

    // Draws `faccia` turned by `angolo` radians about the vertical axis
    // through the centre of `area`, in perspective; edge-on draws nothing.
    static void disegnaGirata(QPainter& p, const QRectF& area, const QPixmap& faccia, double angolo);

signals:
    // Its own animations moved a step: what it shows changed.
    void aspettoCambiato();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void giraVerso(bool impostazioni);
    // The size a face is laid out at: the page's own, or the tab's.
    QSize dimensioneFaccia(bool impostazioni) const;
    void mostraFacce();
    void aggiornaGuida();
    void passo();
    void passoGuida();
    void disponiRiga();

    NotchStateManager& stato_;
    BarraSchede& barra_;
    Clock& clock_;
    AreaSchede* area_;
    CostruttoreVista costruttoreImpostazioni_, costruttoreGuida_;
    QPointer<QWidget> pagina_, guida_;
    QPointer<QWidget> guidaUscente_; // fading out, taking no clicks
    QWidget* riga_;
    PulsanteSimbolo* gear_;
    QWidget* anello_ = nullptr;
    AvvisoAperto* avviso_;
    std::optional<QRectF> forma_, cornice_;

    // The turn, from 0 (the face that leaves) to 1 (the face that comes).
    Molla giro_;
    AnimatoreMolle animatore_;
    QPixmap facciaUscente_, facciaEntrante_; // each at its own size
    // The guide's opacity, from 0 to 1.
    Molla opacitaGuida_;
    AnimatoreMolle animatoreGuida_;
    bool versoImpostazioni_ = false;
    bool girando_ = false;
};
