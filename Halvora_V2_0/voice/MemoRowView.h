#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>

class IndicatoreAttivita;
class PulsanteSimbolo;
class QLabel;
class QLineEdit;
class QMimeData;
class QVariantAnimation;
class VoiceManager;

// Which memo is being renamed and the text of the rename field: view state
// of the memo tab, shared by all its rows so one rename replaces another.
class StatoRinomina : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    QUrl url() const { return url_; } // empty: no rename in progress
    QString nome() const { return nome_; }
    void impostaUrl(const QUrl& url);
    void impostaNome(const QString& nome);

signals:
    void urlCambiato();

private:
    QUrl url_;
    QString nome_;
};

// One memo in the memo tab: play/pause, name or rename field, rename,
// transcribe and delete buttons, the transcript with a copy button, a
// hover highlight, and dragging the audio file out of the notch.
class MemoRowView : public QWidget {
    Q_OBJECT
public:
    MemoRowView(const QUrl& url, VoiceManager& manager, StatoRinomina& rinomina, QWidget* parent = nullptr);

    QUrl url() const { return url_; }
    // The file name without extension.
    QString nomeMostrato() const;
    bool inModifica() const;
    bool sottoIlMouse() const { return sottoIlMouse_; }
    // How far the hover highlight has come, 0..1.
    qreal evidenza() const { return evidenza_; }

    // Hands a dragged memo over; by default a drag of the file. Tests replace it.
    std::function<void(QMimeData*)> consegnaTrascinamento;

signals:
    void trascrizioneRichiesta(const QUrl& url);

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;

private:
    void aggiorna();
    void aggiornaModifica();
    QLineEdit* campo();
    void conferma();
    void avviaTrascinamento();
    void impostaSottoIlMouse(bool valore);

    QUrl url_;
    VoiceManager& manager_;
    StatoRinomina& rinomina_;
    bool sottoIlMouse_ = false;
    qreal evidenza_ = 0; // 0..1, follows sottoIlMouse_ with an ease-out
    QPoint inizioPressione_;
    bool premuto_ = false;

    PulsanteSimbolo* play_;
    QWidget* nome_;
    class QHBoxLayout* primaRiga_;
    QLineEdit* campo_ = nullptr;
    PulsanteSimbolo* rinominaPulsante_;
    PulsanteSimbolo* trascrivi_;
    IndicatoreAttivita* attesa_;
    PulsanteSimbolo* elimina_;
    QWidget* rigaTrascrizione_;
    QLabel* trascrizione_;
    PulsanteSimbolo* copia_;
    QVariantAnimation* animazioneEvidenza_;
};
