#pragma once

#include <QAbstractButton>

class QVariantAnimation;

// The large record/stop button of the memo tab: a red circle with a
// microphone, or while recording a red rounded square with a stop symbol
// that pulses (scale, red glow, opacity).
class PulsanteRegistrazione : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(qreal impulso READ impulso WRITE impostaImpulso)
public:
    explicit PulsanteRegistrazione(QWidget* parent = nullptr);

    static constexpr int lato = 76;

    bool registrando() const { return registrando_; }
    void impostaRegistrando(bool valore);
    // Restarts the pulse from rest when recording, stops it otherwise.
    void riavviaPulsazione();

    // 0 at rest, 1 at the top of the pulse.
    qreal impulso() const { return impulso_; }
    void impostaImpulso(qreal valore);
    bool pulsazioneAttiva() const;

    // Scale, glow opacity, glow radius and opacity at the current pulse.
    qreal scala() const { return 1.0 + 0.04 * impulso_; }
    qreal opacitaOmbra() const { return 0.25 + 0.30 * impulso_; }
    qreal raggioOmbra() const { return 8.0 + 10.0 * impulso_; }
    qreal opacita() const { return 1.0 - 0.08 * impulso_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool registrando_ = false;
    qreal impulso_ = 0;
    QVariantAnimation* pulsazione_;
};
