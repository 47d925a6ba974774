#pragma once

#include "NotchStateManager.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class BarraSchede;

// The open notch's panel: the tab row with its sliding indicator, the power
// button and the gear over the top-trailing corner, a divider and the module
// area of the active tab. Feature modules plug into the module area; until
// a feature's view exists its module is an empty area of the tab's size.
class PannelloAperto : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLatoPulsante = 40;
    static constexpr int kSopraBarra = 44;
    static constexpr int kSottoBarra = 6;

    PannelloAperto(NotchStateManager& stato, BarraSchede& barra, QWidget* parent = nullptr);

    // The button rectangle of a tab (panel coordinates).
    QRect rettangoloTab(int indice) const;
    QRect rettangoloPower() const;
    QRect rettangoloGear() const;
    // Where the module of the active tab goes.
    QRect areaModulo() const;

    // What the power button runs.
    void setAzionePower(std::function<void()> azione) { azionePower_ = std::move(azione); }

    // Builds the module of a tab (nullptr: an empty area). The panel takes
    // ownership and builds one module per tab change.
    using CostruttoreModulo = std::function<QWidget*(NotchTab)>;
    void setCostruttoreModulo(CostruttoreModulo costruttore);
    QWidget* modulo() const { return modulo_; }
    // Fits the module to the module area (also while the panel is not shown,
    // when no resize event comes).
    void disponiModulo();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent*) override;

private:
    int tabSotto(QPoint p) const;
    void aggiornaModulo();

    NotchStateManager& stato_;
    BarraSchede& barra_;
    std::function<void()> azionePower_;
    CostruttoreModulo costruttore_;
    QPointer<QWidget> modulo_;
    std::optional<NotchTab> tabModulo_;
};
