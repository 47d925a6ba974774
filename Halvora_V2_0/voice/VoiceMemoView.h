#pragma once

#include <QHash>
#include <QUrl>
#include <QWidget>

class ElencoProgressivo;
class MemoRowView;
class PulsanteRegistrazione;
class QScrollArea;
class QVBoxLayout;
class StatoRinomina;
class VoiceManager;

// The memo tab: header, record/stop button, elapsed time or last error,
// and the memo list (or its empty state). Everything it shows comes from
// the VoiceManager handed in. Memo rows are built as they scroll into view.
class VoiceMemoView : public QWidget {
    Q_OBJECT
public:
    explicit VoiceMemoView(VoiceManager& manager, QWidget* parent = nullptr);

    PulsanteRegistrazione* pulsante() const { return pulsante_; }
    // The rows built so far, in list order: those in view and those scrolled past.
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
    MemoRowView* riga(const QUrl& memo);

    VoiceManager& manager_;
    StatoRinomina* rinomina_;
    PulsanteRegistrazione* pulsante_;
    QWidget* stato_;
    QWidget* vuoto_;
    QScrollArea* scorrimento_;
    QWidget* contenitore_;
    QVBoxLayout* elenco_;
    ElencoProgressivo* progressivo_;
    QList<QUrl> memo_;
    QHash<QUrl, MemoRowView*> righe_;
};
