#pragma once

#include <QList>
#include <QPointer>
#include <QRectF>
#include <QRegion>
#include <QWidget>
#include <functional>

class VistaAreaScheda;
class X11SempreSopra;

// The one window: a frameless, transparent panel above every window on every
// desktop, full-screen ones included. No window manager handles it (so none
// lists it, moves it or stacks a full-screen window over it). Clicks reach
// it only inside the regions it is told take them (the X input shape);
// everywhere else they fall through. It takes the keyboard only on a click
// while the notch is open, and hands it back when the notch closes.
//
// Its content is laid out on a canvas (800 by 600) hanging from the top
// edge; the window itself covers only the part of the canvas it is told is
// drawn, since a Wayland compositor gives XWayland's windows the pointer
// over all of their surface, input shape or not. There the shape is the
// whole window, and what lands outside the regions goes to nothing.
class NotchPanel : public QWidget {
    Q_OBJECT
public:
    explicit NotchPanel(QSize canvas, QWidget* parent = nullptr);
    ~NotchPanel() override;

    // The canvas, global; the content laid out on it stays put while the
    // window changes.
    QRect frameTela() const { return QRect(origineTela_, tela_); }
    void posizionaTela(QPoint origine);
    void impostaContenuto(QWidget* contenuto);
    // The window covers `area` (global) of the canvas, no more.
    void adattaFinestra(const QRect& area);
    // The window itself is what takes the pointer (XWayland passes no input
    // shape on): it must cover only what is drawn, not the shadows.
    bool finestraStretta() const { return xwayland_; }
    // What the shapes cover now, global (their bounds); empty when nothing
    // translucent is drawn.
    QRect areaMateriale() const;

    bool consenteTastiera() const { return consenteTastiera_; }
    bool gestoInCorso() const { return gestoInCorso_; }
    // Run when a gesture ends and when a marker joins or leaves.
    void setAlTermineDelGesto(std::function<void()> azione) { alTermineDelGesto_ = std::move(azione); }

    // The regions take the pointer, wherever it is now: the X server tells
    // the panel when it comes in, however it got there (a warp too). A
    // press begun on the closed notch keeps them until the button is released.
    void aggiornaPassaggioClick(const QList<QRectF>& rettangoli, bool aperta, bool pulsantePremuto);
    // The markers' rectangles, global, less each marker's top gap.
    QList<QRectF> rettangoliSchede() const;
    // The region that takes clicks now, global; empty when all clicks pass.
    QRegion regioneInput() const { return regioneInput_; }
    bool ignoraEventiMouse() const { return regioneInput_.isEmpty(); }

    // Shows the panel and keeps it above every window.
    void mostra();
    // Whether the keyboard is the panel's now.
    bool haTastiera() const;
    // The drawn shapes (canvas coordinates): the compositor blurs behind
    // them where it offers that.
    void impostaRegioneMateriale(const QRegion& regione);
    bool sfocaturaDietro() const { return sfocatura_; }
    // Out of every screenshot while a capture runs: transparent under a
    // compositor, unmapped without one (where opacity means nothing).
    void nascondiPerCattura(bool nascondi);

    void registra(VistaAreaScheda* vista);
    void lascia(VistaAreaScheda* vista);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void moveEvent(QMoveEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

private:
    void impostaRegione(const QRegion& globale);
    void eseguiAlTermine();
    // Where the canvas lies in the window.
    QPoint scostamentoTela() const { return origineTela_ - pos(); }
    // Under XWayland: whether a pointer event must reach no widget.
    bool fuoriDalleRegioni(QEvent* evento);

    const QSize tela_;
    QPoint origineTela_;
    QPointer<QWidget> contenuto_;
    bool xwayland_ = false;
    bool premutoDentro_ = false; // a press in a region, not yet released
    bool consenteTastiera_ = false;
    bool gestoInCorso_ = false;
    QList<QPointer<VistaAreaScheda>> visteScheda_;
    std::function<void()> alTermineDelGesto_;
    QRegion regioneInput_; // global
    X11SempreSopra* sopra_ = nullptr;
    bool sfocatura_ = false;
    QRegion regioneMateriale_;
    uint32_t tastieraPrecedente_ = 0; // who had the keyboard before a click took it
};
