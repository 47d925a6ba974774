#pragma once

#include "Molla.h"
#include "NotchStateManager.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class BarraSchede;
class EffettoStrato;

// The tab face of the open panel: the power button and the row of seven
// tabs with the indicator sliding under the selected one, a divider, and
// the module of the active tab, which slides in from the side the change
// went to while the old one slides out the other way.
class AreaSchede : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLatoPulsante = 40;
    static constexpr int kSopraBarra = 44;
    static constexpr int kSottoBarra = 6;
    static constexpr int kSottoModulo = 20;

    AreaSchede(NotchStateManager& stato, BarraSchede& barra, QWidget* parent = nullptr);

    QRect rettangoloTab(int indice) const;
    QRect rettangoloPower() const;
    QRect areaModulo() const;
    // Where the indicator is drawn now (it follows the selection on a spring).
    QRectF rettangoloIndicatore() const;

    void setAzionePower(std::function<void()> azione) { azionePower_ = std::move(azione); }
    using CostruttoreModulo = std::function<QWidget*(NotchTab)>;
    void setCostruttoreModulo(CostruttoreModulo costruttore);
    QWidget* modulo() const { return modulo_; }
    // Builds the module of the active tab when there is none; with `false`
    // releases it (nothing of a tab is built while the settings show).
    void setModuloPresente(bool presente);
    void disponiModulo();

    bool transizioneInCorso() const { return !uscente_.isNull(); }
    // The new module is still being built and drawn, before it slides in.
    bool inPreparazione() const { return tappa_ != Tappa::nessuna; }
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

private:
    int tabSotto(QPoint p) const;
    void cambiaModulo();
    void mettiModulo(bool anima);
    EffettoStrato* effettoDiPassaggio() const;
    void prossimaTappa();
    void rilasciaModulo();
    void passo();
    void seguiPassaggio();
    void ridisegna(bool conModulo = true);

    NotchStateManager& stato_;
    BarraSchede& barra_;
    std::function<void()> azionePower_;
    CostruttoreModulo costruttore_;
    QPointer<QWidget> modulo_;
    std::optional<NotchTab> tabModulo_;
    bool moduloPresente_ = true;

    // The indicator's left edge, the module change from 0 to 1.
    Molla indicatore_, cambio_;
    AnimatoreMolle animatore_;
    // The old module as last drawn, while it slides out.
    QPixmap uscente_;
    // A change the user sees is made over a few turns, so that no frame
    // waits for all of it: the new module is built, then drawn as a
    // picture, then it slides in.
    enum class Tappa { nessuna, costruisci, disegna, scorri };
    Tappa tappa_ = Tappa::nessuna;
    class QTimer* tappe_;
    bool avanti_ = true;
    std::optional<NotchTab> evidenziata_;
    double opacitaEvidenziata_ = 0;
    class QVariantAnimation* dissolvenza_;
    // The tab that was chosen before, while its colour gives way (0 to 1).
    NotchTab scelta_;
    std::optional<NotchTab> sceltaPrima_;
    double cambioColore_ = 1;
    class QVariantAnimation* colore_;
};
