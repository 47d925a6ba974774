#pragma once

#include "LettoreFeed.h"

#include <QHash>
#include <QObject>
#include <QSslConfiguration>
#include <QThread>
#include <QUrl>

class LavoratoreFeed;

// The feed over HTTPS: GET "/aggiornamenti.json" on the endpoint, never
// from a cache, with a time-out. Only a 2xx answer of at most 64 KiB is a
// body; a network error, a refused certificate, another status or a larger
// answer give none. The network runs on a thread of its own.
class LettoreFeedHttps final : public QObject, public LettoreFeed {
    Q_OBJECT
public:
    struct Opzioni {
        QUrl endpoint;                                  // https://host[:port]
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        int timeoutMs = 10000;
    };

    explicit LettoreFeedHttps(Opzioni opzioni, QObject* parent = nullptr);
    ~LettoreFeedHttps() override;

    // The endpoint this build was configured with.
    static QUrl endpointPredefinito();
    // The address of the document on an endpoint.
    static QUrl urlDocumento(const QUrl& endpoint);

    void richiedi(std::function<void(std::optional<QByteArray>)> fine) override;

private slots:
    void concluso(quint64 id, bool ok, const QByteArray& corpo);

private:
    QThread thread_;
    LavoratoreFeed* lavoratore_ = nullptr;
    quint64 prossimo_ = 0;
    QHash<quint64, std::function<void(std::optional<QByteArray>)>> inAttesa_;
};
