#pragma once

#include "ProtocolloVideo.h"

#include <QUrl>
#include <QWidget>

class PaginaTacca;
class QSocketNotifier;
class QWebChannel;
class QWebEngineProfile;
class QWebEngineView;
class StratoComandi;

// The helper's one window: the player page with the card's layers over
// it. It reads the application's commands on stdin and writes its window,
// the page's checked messages, the answers and the clicks on stdout. The
// window is never shown on its own: the application embeds it and then
// asks it to show. End of input, or the application gone, ends it.
class AiutanteVideo : public QWidget {
    Q_OBJECT
public:
    AiutanteVideo(QUrl servizio, QUrl origine);
    ~AiutanteVideo() override;

    // Starts reading commands and announces the window once it is made.
    void avvia();

protected:
    void resizeEvent(QResizeEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    bool event(QEvent* e) override;

private:
    void annuncia();
    void leggiIngresso();
    void comando(const QJsonObject& c);
    void daPagina(const QString& corpo);
    void esegui(const QString& script);
    static void scrivi(const QJsonObject& o);

    QUrl servizio_, origine_;
    QWebEngineProfile* profilo_;
    PaginaTacca* pagina_;
    QWebChannel* canale_;
    QWebEngineView* vista_;
    StratoComandi* strato_;
    QSocketNotifier* ingresso_ = nullptr;
    ProtocolloVideo::Righe righe_;
    WId annunciata_ = 0;
};
