#pragma once

#include <QList>
#include <QPointer>
#include <QRectF>
#include <QRegion>
#include <QWidget>
#include <functional>

class VistaAreaScheda;

// The one window: a frameless, transparent panel above every window on every
// desktop. Clicks reach it only inside the regions it is told take them
// (the X input shape); everywhere else they fall through. It takes the
// keyboard only while the notch is open.
class NotchPanel : public QWidget {
    Q_OBJECT
public:
    explicit NotchPanel(QSize canvas, QWidget* parent = nullptr);
    ~NotchPanel() override;

    bool consenteTastiera() const { return consenteTastiera_; }
    bool gestoInCorso() const { return gestoInCorso_; }
    // Run when a gesture ends and when a marker joins or leaves.
    void setAlTermineDelGesto(std::function<void()> azione) { alTermineDelGesto_ = std::move(azione); }

    // Decides whether the panel takes the pointer: exactly when one of the
    // regions contains it, except that a press begun on the closed notch
    // keeps it until the button is released.
    void aggiornaPassaggioClick(const QList<QRectF>& rettangoli, bool aperta, QPointF puntatore,
                                bool pulsantePremuto);
    // The markers' rectangles, global, less each marker's top gap.
    QList<QRectF> rettangoliSchede() const;
    // The region that takes clicks now, global; empty when all clicks pass.
    QRegion regioneInput() const { return regioneInput_.translated(geometry().topLeft()); }
    bool ignoraEventiMouse() const { return regioneInput_.isEmpty(); }

    // Shows the panel and fixes it above every window on every desktop.
    void mostra();

    void registra(VistaAreaScheda* vista);
    void lascia(VistaAreaScheda* vista);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void moveEvent(QMoveEvent* evento) override;

private:
    void impostaRegione(const QRegion& locale);
    void eseguiAlTermine();

    bool consenteTastiera_ = false;
    bool gestoInCorso_ = false;
    QList<QPointer<VistaAreaScheda>> visteScheda_;
    std::function<void()> alTermineDelGesto_;
    QRegion regioneInput_; // window coordinates
};
