#pragma once

#include "Molla.h"
#include "NotchStateManager.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class BarraSchede;
class ModuliPronti;

// The tab face of the open panel: the power button and the row of seven
// tabs with the indicator sliding under the selected one, a divider, and
// the module of the active tab. On a change the old module leaves whole,
// at its own size, towards the side opposite the change while the new one
// comes in from the other, both fading and both cut only by the notch
// shape; each is a picture made ahead, so no frame waits for either.
class AreaSchede : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLatoPulsante = 40;
    static constexpr int kSopraBarra = 44;
    static constexpr int kSottoBarra = 6;
    static constexpr int kSottoModulo = 20;
    // Every module keeps this much of the panel on its left and right.
    static constexpr int kLatiModulo = 14;
    static constexpr int kSopraModulo = kSopraBarra + kLatoPulsante + kSottoBarra + 1;

    AreaSchede(NotchStateManager& stato, BarraSchede& barra, QWidget* parent = nullptr);

    QRect rettangoloTab(int indice) const;
    QRect rettangoloPower() const;
    // Where the active tab's module stands at rest.
    QRect areaModulo() const;
    // Where the indicator is drawn now (it follows the selection on a spring).
    QRectF rettangoloIndicatore() const;

    // The notch shape as drawn while it moves (none: it rests), and the
    // frame the divider's ends follow (this widget's coordinates): what the
    // face draws stays inside the shape. A change ends with the shape's motion.
    void setForma(const std::optional<QRectF>& forma, const QRectF& cornice);

    void setAzionePower(std::function<void()> azione) { azionePower_ = std::move(azione); }
    using CostruttoreModulo = std::function<QWidget*(NotchTab)>;
    void setCostruttoreModulo(CostruttoreModulo costruttore);
    QWidget* modulo() const { return modulo_; }
    // Builds the module of the active tab when there is none; with `false`
    // releases it (nothing of a tab is built while the settings show).
    void setModuloPresente(bool presente);
    void disponiModulo();
    // Builds and draws each tab's module once, a turn apart, so the first
    // change to a tab finds what it needs ready.
    void riscalda();

    bool transizioneInCorso() const { return inTransizione_; }
    // The new module is still being built or drawn while the old one leaves.
    bool inPreparazione() const { return inTransizione_ && entrante_.isNull(); }
    // What a frame of a change draws, in this widget's coordinates.
    struct Passaggio {
        NotchTab tab;
        QRectF dove;
        double opacita;
    };
    QList<Passaggio> passaggi() const;
    // The tab whose hover capsule shows, and how strongly (it fades in and out).
    std::optional<NotchTab> tabEvidenziata() const { return evidenziata_; }
    double opacitaEvidenziata() const { return opacitaEvidenziata_; }
    void completaAnimazioni();

signals:
    // Its animations moved a step: what it shows changed.
    void aspettoCambiato();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    struct Disegnato {
        Passaggio passaggio;
        const QPixmap* immagine;
    };
    QList<Disegnato> disegnati() const;
    int tabSotto(QPoint p) const;
    QSize dimensioneModulo(NotchTab tab, const QWidget* modulo) const;
    QRectF rettangoloModulo(QSize dimensione) const;
    void cambiaModulo();
    void entra(QWidget* modulo, QPixmap immagine);
    void costruisciEntrante();
    void fineTransizione();
    void rilasciaModulo();
    void passo();
    void seguiPassaggio();
    void ridisegna(bool conModulo = true);
    void ridisegnaAspetto();

    NotchStateManager& stato_;
    BarraSchede& barra_;
    std::function<void()> azionePower_;
    ModuliPronti* pronti_;
    QPointer<QWidget> modulo_;
    std::optional<NotchTab> tabModulo_;
    bool moduloPresente_ = true;
    std::optional<QRectF> forma_, cornice_;


    // The indicator's left edge, the module change from 0 to 1.
    Molla indicatore_, cambio_;
    AnimatoreMolle animatore_;
    // A change: the pictures of the module that leaves and of the one that
    // comes (null while it is being made), with their tabs.
    bool inTransizione_ = false;
    bool nienteEntra_ = false; // no module for the new tab
    QPixmap uscente_, entrante_;
    NotchTab tabUscente_ = NotchTab::tray;
    bool avanti_ = true;
    QList<int> impronta_; // what the last frame drew, in device pixels
    std::optional<NotchTab> evidenziata_;
    double opacitaEvidenziata_ = 0;
    class QVariantAnimation* dissolvenza_;
    // The tab that was chosen before, while its colour gives way (0 to 1).
    NotchTab scelta_;
    std::optional<NotchTab> sceltaPrima_;
    double cambioColore_ = 1;
    class QVariantAnimation* colore_;
};
