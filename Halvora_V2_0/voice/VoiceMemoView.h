#pragma once

#include <QHash>
#include <QUrl>
#include <QWidget>

class MemoRowView;
class PulsanteRegistrazione;
class QScrollArea;
class QVBoxLayout;
class StatoRinomina;
class VoiceManager;

// The memo tab: header, record/stop button, elapsed time or last error,
// and the memo list (or its empty state). Everything it shows comes from
// the VoiceManager handed in.
class VoiceMemoView : public QWidget {
    Q_OBJECT
public:
    explicit VoiceMemoView(VoiceManager& manager, QWidget* parent = nullptr);

    PulsanteRegistrazione* pulsante() const { return pulsante_; }
    QList<MemoRowView*> righe() const;
    StatoRinomina& rinomina() const { return *rinomina_; }
    // What the status line shows: the elapsed time, the last error, or nothing.
    QString testoStato() const;

signals:
    // A row asked for its memo's transcript.
    void trascrizioneRichiesta(const QUrl& url);

protected:
    void showEvent(QShowEvent*) override;

private:
    void aggiornaStato();
    void aggiornaElenco();

    VoiceManager& manager_;
    StatoRinomina* rinomina_;
    PulsanteRegistrazione* pulsante_;
    QWidget* stato_;
    QWidget* vuoto_;
    QScrollArea* scorrimento_;
    QWidget* contenitore_;
    QVBoxLayout* elenco_;
    QHash<QUrl, MemoRowView*> righe_;
};
