#pragma once

#include "PlayerTacca.h"
#include "ProtocolloVideo.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QUrl>

class QProcess;

// The notch player in its own process: loading a page starts the video
// helper (halvora-video), emptying it ends the helper, so a video's web
// engine never stays in the application's memory. Commands and the page's
// messages travel as checked lines on the helper's stdio (ProtocolloVideo);
// a helper that dies while a page is loaded reports an error as the page
// would.
class PlayerTaccaAiutante final : public PlayerTacca {
    Q_OBJECT
public:
    struct Configurazione {
        QString programma;
        // Where the video service's player script comes from; the page's own origin.
        QUrl servizio;
        QUrl origine;
        // The page's language, two letters.
        QString lingua = QStringLiteral("it");
    };

    // The helper beside the application; the origins from the build,
    // unless HALVORA_VIDEO_SERVIZIO (and HALVORA_VIDEO_ORIGINE) name others.
    static Configurazione predefinita();

    explicit PlayerTaccaAiutante(Configurazione c, QObject* parent = nullptr);
    ~PlayerTaccaAiutante() override;

    void carica(const QString& videoID, double inizio, bool muto) override;
    void svuota() override;
    void alterna() override;
    void allinea(double secondi) override;
    void muta() override;
    void smuta() override;
    void chiediTempo(std::function<void(std::optional<double>)> risposta) override;
    std::optional<quintptr> finestra() const override { return finestra_; }
    void mostraFinestra() override;
    void mostraVista(const SovrapposizioneVideo::Vista& v) override;

    bool inEsecuzione() const { return processo_ != nullptr; }
    qint64 pidAiutante() const;

private:
    void manda(const QJsonObject& comando);
    void leggiUscita();
    void gestisci(const QJsonObject& o);
    void termina(QProcess* p);
    void rispondiTutti();

    Configurazione c_;
    QPointer<QProcess> processo_;
    ProtocolloVideo::Righe righe_;
    std::optional<quintptr> finestra_;
    std::optional<SovrapposizioneVideo::Vista> vista_;
    QHash<int, std::function<void(std::optional<double>)>> inAttesa_;
    int prossima_ = 0;
};
