#pragma once

#include "Clock.h"

#include <QAbstractButton>
#include <QColor>
#include <QWidget>

class PomodoroManager;

// One of the two round buttons under the ring: a symbol on a faint disc,
// in the accent colour and glowing when highlighted.
class IconaTonda : public QAbstractButton {
    Q_OBJECT
public:
    IconaTonda(const QString& simbolo, const QColor& accento, QWidget* parent = nullptr);

    void imposta(const QString& simbolo, bool evidenziata);
    QString simbolo() const { return simbolo_; }
    bool evidenziata() const { return evidenziata_; }
    // The 36-point disc inside the widget, which leaves room for the glow.
    QRect disco() const;

    static constexpr int kLato = 36;
    static constexpr int kAlone = 8;
    QSize sizeHint() const override { return {kLato + 2 * kAlone, kLato + 2 * kAlone}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString simbolo_;
    QColor accento_;
    bool evidenziata_ = false;
};

// A number in a fixed frame with a pair of up/down arrows beside it; the
// arrows ask for a step, the owner decides the value.
class Stepper : public QWidget {
    Q_OBJECT
public:
    explicit Stepper(QWidget* parent = nullptr);

    void setValore(int valore);
    int valore() const { return valore_; }
    QRect frecciaSu() const;
    QRect frecciaGiu() const;
    QSize sizeHint() const override;

    // The value after one step of `passo` within 0…massimo.
    static int dopoPasso(int valore, int passo, int massimo);

signals:
    void passo(int direzione); // +1 or -1

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    int valore_ = 0;
    int premuta_ = 0; // the arrow held down: +1, -1 or 0
};

// The pomodoro tab: the mode switch, the progress ring with the time left
// (or, for a stopped custom timer, the minutes and seconds editor), the
// status line, play/pause and reset, and the count of finished focus
// sessions. Everything it shows is read from the PomodoroManager; every
// button goes straight to it.
class PomodoroView : public QWidget {
    Q_OBJECT
public:
    PomodoroView(PomodoroManager& manager, const QColor& accentColor, QWidget* parent = nullptr,
                 Clock& clock = Clock::system());

    QAbstractButton* pulsanteModo() const { return modo_; }
    IconaTonda* pulsantePlay() const { return play_; }
    IconaTonda* pulsanteReset() const { return reset_; }
    Stepper* minuti() const { return minuti_; }
    Stepper* secondi() const { return secondi_; }

    // Which main area shows: the editor exactly while a custom timer is stopped.
    bool mostraEditor() const;
    bool isPulsing() const { return isPulsing_; }
    // The ring's arc as drawn now (0…1), and where ring and editor lie.
    double progressoMostrato() const { return progressoMostrato_; }
    QRectF rettangoloAnello() const { return anello_; }
    QRectF rettangoloEditor() const { return editor_; }
    QString testoSessioni() const;

    // timeRemaining ÷ totalTime within 0…1; 0 without a total.
    static double progresso(int timeRemaining, int totalTime);

    static constexpr double kAnello = 220;
    static constexpr double kDurataArco = 0.35;
    static constexpr double kDurataPulsazione = 0.8;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    void aggiorna();
    void tempoCambiato();
    void disponi();
    void animaFotogramma();
    void seguiAnimazione();
    double faseImpulso() const;
    void disegnaAnello(QPainter& p);
    void disegnaEditor(QPainter& p);
    void disegnaStato(QPainter& p);
    void disegnaSessioni(QPainter& p);

    PomodoroManager& manager_;
    QColor accentColor_;
    Clock& clock_;
    bool isPulsing_ = false;
    double inizioImpulso_ = 0;

    // The arc glides linearly from where it was to the new value.
    double progressoMostrato_ = 1;
    double arcoDa_ = 1;
    double arcoA_ = 1;
    double inizioArco_ = -1;
    TimerHandle fotogrammi_;

    QAbstractButton* modo_;
    IconaTonda* play_;
    IconaTonda* reset_;
    Stepper* minuti_;
    Stepper* secondi_;
    QRectF anello_, editor_, stato_, controlli_, sessioni_;
    QRectF colonnaMinuti_, colonnaSecondi_, separatore_;
};
