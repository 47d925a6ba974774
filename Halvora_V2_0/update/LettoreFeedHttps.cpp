#include "LettoreFeedHttps.h"

#include "FeedAggiornamenti.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

// Lives on the reader's thread and owns the network there.
class LavoratoreFeed final : public QObject {
    Q_OBJECT
public:
    explicit LavoratoreFeed(LettoreFeedHttps::Opzioni opzioni) : opzioni_(std::move(opzioni)) {}

public slots:
    void scarica(quint64 id)
    {
        const QUrl url = LettoreFeedHttps::urlDocumento(opzioni_.endpoint);
        if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty()) {
            emit concluso(id, false, {});
            return;
        }
        if (!rete_)
            rete_ = new QNetworkAccessManager(this);
        QNetworkRequest richiesta(url);
        richiesta.setSslConfiguration(opzioni_.ssl);
        richiesta.setTransferTimeout(opzioni_.timeoutMs);
        richiesta.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        richiesta.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        richiesta.setRawHeader("Cache-Control", "no-cache");
        // Never to a less safe scheme.
        richiesta.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        QNetworkReply* risposta = rete_->get(richiesta);
        auto corpo = std::make_shared<QByteArray>();
        auto troppo = [risposta] {
            return risposta->header(QNetworkRequest::ContentLengthHeader).toLongLong() >
                   FeedAggiornamenti::kCorpoMassimo;
        };
        connect(risposta, &QNetworkReply::metaDataChanged, this, [risposta, troppo] {
            if (troppo())
                risposta->abort();
        });
        connect(risposta, &QNetworkReply::readyRead, this, [risposta, corpo] {
            corpo->append(risposta->read(FeedAggiornamenti::kCorpoMassimo + 1 - corpo->size()));
            // Stop reading the moment the answer is too large to be a feed.
            if (corpo->size() > FeedAggiornamenti::kCorpoMassimo)
                risposta->abort();
        });
        connect(risposta, &QNetworkReply::finished, this, [this, risposta, corpo, id] {
            risposta->deleteLater();
            const int stato = risposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            if (risposta->isOpen())
                corpo->append(risposta->read(FeedAggiornamenti::kCorpoMassimo + 1 - corpo->size()));
            const bool ok = risposta->error() == QNetworkReply::NoError && stato >= 200 && stato < 300 &&
                            corpo->size() <= FeedAggiornamenti::kCorpoMassimo;
            emit concluso(id, ok, ok ? *corpo : QByteArray());
        });
    }

signals:
    void concluso(quint64 id, bool ok, const QByteArray& corpo);

private:
    LettoreFeedHttps::Opzioni opzioni_;
    QNetworkAccessManager* rete_ = nullptr;
};

LettoreFeedHttps::LettoreFeedHttps(Opzioni opzioni, QObject* parent) : QObject(parent)
{
    lavoratore_ = new LavoratoreFeed(std::move(opzioni));
    lavoratore_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, lavoratore_, &QObject::deleteLater);
    connect(lavoratore_, &LavoratoreFeed::concluso, this, &LettoreFeedHttps::concluso, Qt::QueuedConnection);
    thread_.setObjectName(QStringLiteral("FeedAggiornamenti"));
    thread_.start();
}

LettoreFeedHttps::~LettoreFeedHttps()
{
    thread_.quit();
    thread_.wait();
}

QUrl LettoreFeedHttps::endpointPredefinito() { return QUrl(QStringLiteral(HALVORA_URL_AGGIORNAMENTI)); }

QUrl LettoreFeedHttps::urlDocumento(const QUrl& endpoint)
{
    QUrl url = endpoint;
    url.setPath(QStringLiteral("/aggiornamenti.json"));
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

void LettoreFeedHttps::richiedi(std::function<void(std::optional<QByteArray>)> fine)
{
    const quint64 id = ++prossimo_;
    inAttesa_.insert(id, std::move(fine));
    QMetaObject::invokeMethod(lavoratore_, "scarica", Qt::QueuedConnection, Q_ARG(quint64, id));
}

void LettoreFeedHttps::concluso(quint64 id, bool ok, const QByteArray& corpo)
{
    auto fine = inAttesa_.take(id);
    if (fine)
        fine(ok ? std::optional<QByteArray>(corpo) : std::nullopt);
}

#include "LettoreFeedHttps.moc"
