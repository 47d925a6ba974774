#pragma once

#include "Clock.h"
#include "FornitoreIA.h"
#include "IllustrazioneGuida.h"
#include "Molla.h"
#include "NotchStateManager.h"

#include <QWidget>
#include <optional>

class Pasteboard;
class QVariantAnimation;

// The onboarding guide the open notch shows in guide mode: eleven pages,
// one at a time, with "Salta", "Indietro" and "Avanti"/"Inizia", and on the
// agents' page two buttons that copy the hook request for each agent. It
// stores nothing: whoever shows it records that it was seen on onFine().
class GuidaView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPagine = 11;
    static constexpr int kPaginaAgenti = 9;
    static constexpr double kDurataCopiato = 2.0;

    // Title and text of a page: the Italian texts, which are also the
    // translation keys.
    struct Pagina {
        const char* titolo;
        const char* testo;
    };
    static const Pagina& pagina(int indice); // 0 to 10
    // The module a page presents: pages 1 to 7, none elsewhere.
    static std::optional<NotchTab> paginaModulo(int indice);

    // Starts on page 0. The copy buttons write to `appunti`; their
    // confirmation ends on `clock`.
    GuidaView(Pasteboard& appunti, Clock& clock, QWidget* parent = nullptr);
    ~GuidaView() override;

    int passo() const { return passo_; }
    // Direction of the last move: true forward.
    bool avanti() const { return avanti_; }
    // The agent whose request was copied in the last 2 s.
    std::optional<FornitoreIA> copiato() const { return copiato_; }
    bool finita() const { return finita_; }

    // Moves by a signed step; a target outside 0 to 10 changes nothing.
    void vai(int di);
    // Puts the agent's hook request on the clipboard, replacing what it held.
    void copia(FornitoreIA fornitore);

    // Texts and places of the controls, in the current language and layout.
    QString etichettaPrincipale() const;
    QString etichettaCopia(FornitoreIA fornitore) const;
    QRectF rettangoloSalta() const;
    QRectF rettangoloIndietro() const;
    QRectF rettangoloPrincipale() const;
    // Only on the agents' page.
    std::optional<QRectF> rettangoloCopia(FornitoreIA fornitore) const;
    // The title line; the text and the copy row follow under it.
    QRectF rettangoloTitolo() const;

    // Ends the page change and the label fades at once (renders, tests).
    void completaAnimazioni();

    QSize sizeHint() const override;

signals:
    // The guide ended by "Salta" or the last page's button; sent once.
    void onFine();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    enum class Controllo { nessuno, salta, indietro, principale, copiaClaude, copiaCodex };

    Controllo controlloIn(QPointF punto) const;
    void premi(Controllo c);
    void fine();
    void animaCopiato(FornitoreIA fornitore, bool acceso);
    double faseCopia(FornitoreIA fornitore) const;
    double fondoTesto(int pagina) const;
    void disegnaPagina(QPainter& p, int pagina, double spostamento, double opacita);
    void disegnaCopia(QPainter& p, int pagina);
    void disegnaIllustrazione(QPainter& p);

    Pasteboard& appunti_;
    Clock& clock_;
    int passo_ = 0;
    int passoPrecedente_ = 0;
    bool avanti_ = true;
    bool finita_ = false;
    std::optional<FornitoreIA> copiato_;
    // One expiry per agent: a new copy of the same agent restarts it.
    TimerHandle scadenzaCopia_[2];
    QVariantAnimation* faseCopia_[2] = {};
    Controllo premuto_ = Controllo::nessuno;

    AnimatoreMolle animatore_;
    Molla transizione_{1};
    std::array<Molla, std::size(kTutteLeSchede)> evidenza_;
};
