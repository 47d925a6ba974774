#pragma once

#include "Clock.h"
#include "LetturaUsoIA.h"
#include "PresentazioneUsoIA.h"
#include "RegoleUsoIA.h"

#include <QPointer>
#include <QWidget>
#include <optional>
#include <vector>

// How long ago `quando` was, short and in words where the language has
// them: "adesso", "25 min fa", "3 h fa", "ieri", "4 g fa". Already
// translated. A time ahead of `ora` (a clock set back) reads "adesso".
QString tempoRelativo(const QDateTime& quando, const QDateTime& ora);

// What the usage detail card says, computed afresh at each drawing.
struct RigaFinestraUsoIA {
    QString titolo;      // "Sessione" or "Settimana", translated
    qint64 percentuale = 0;
    FasciaUso fascia = FasciaUso::normale;
    std::optional<QString> azzeramento;
};
struct ContenutoSchedaUsoIA {
    QString nome;                // the provider's name, never translated
    std::optional<QString> eta;  // "Aggiornato …", only for an old reading
    std::vector<RigaFinestraUsoIA> righe;
};
ContenutoSchedaUsoIA contenutoSchedaUsoIA(const LetturaUsoIA& lettura, bool attuale, const QDateTime& ora);

class SchedaUsoIA;

// The open panel's usage pill: ring, provider mark and the percentage of
// the window the usage rules pick; dimmed when the reading is not current.
// While the pointer rests on the capsule a detail card hangs below it.
// Placement: this widget is the pill alone (its size follows the text, keep
// its trailing edge fixed); the card is a separate widget made on `strato`
// (an ancestor of the pill, by default its window) and placed there by the
// pill itself, 28 px below the pill's top, right edges aligned.
class UsoIAAnelloView final : public QWidget {
    Q_OBJECT
public:
    UsoIAAnelloView(const LetturaUsoIA& lettura, bool attuale, Clock& clock, QWidget* parent = nullptr,
                    QWidget* strato = nullptr);
    ~UsoIAAnelloView() override;

    // A new state from the monitor; the hover state stays.
    void imposta(const LetturaUsoIA& lettura, bool attuale);

    static constexpr int kDiametroAnello = 18;
    static constexpr int kLarghezzaScheda = 210;
    static constexpr int kDiscesaScheda = 28;

    // The window shown in the pill; none draws nothing at all.
    std::optional<RegoleUsoIA::Scelta> finestraPrincipale() const;
    QString testoPercentuale() const;
    bool sopra() const { return sopra_; }
    // The card while it is on screen (arriving, shown or leaving), else null.
    QWidget* scheda() const;
    // The card's rounded rectangle in the coordinates of `strato`.
    QRect rettangoloScheda() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;
    void moveEvent(QMoveEvent*) override;
    void hideEvent(QHideEvent*) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void aggiornaDimensione();
    void impostaSopra(bool sopra);
    void segui(QPointF posizione);
    void passo();
    void collocaScheda();
    void togliScheda();
    // The widgets between the pill and the layer: moving one moves the pill.
    void seguiAntenati(bool segui);
    QWidget* strato() const;

    LetturaUsoIA lettura_;
    bool attuale_;
    Clock& clock_;
    QPointer<QWidget> strato_;
    QPointer<SchedaUsoIA> scheda_;
    bool sopra_ = false;
    // The hover spring: 0 away, 1 over the pill.
    double valore_ = 0;
    double velocita_ = 0;
    double ultimoPasso_ = 0;
    TimerHandle animazione_;
};
