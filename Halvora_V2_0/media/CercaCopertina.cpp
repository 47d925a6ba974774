#include "CercaCopertina.h"

#include <QBuffer>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>

namespace {

// Lives on the worker thread with its own network access manager.
class Rete final : public QObject {
    Q_OBJECT
public:
    void cerca(const QString& chiave, const QUrl& indirizzo)
    {
        scarica(indirizzo, CercaCopertina::kMassimoRisposta, [this, chiave](std::optional<QByteArray> dati) {
            const auto url = dati ? CercaCopertina::indirizzoDaRisposta(*dati) : std::nullopt;
            if (!url || !CercaCopertina::indirizzoAmmesso(*url)) {
                emit finito(chiave, {});
                return;
            }
            immagine(chiave, *url);
        });
    }

    void immagine(const QString& chiave, const QUrl& indirizzo)
    {
        scarica(indirizzo, CercaCopertina::kMassimoImmagine, [this, chiave](std::optional<QByteArray> dati) {
            emit finito(chiave, dati ? CercaCopertina::decodifica(*dati) : QImage());
        });
    }

signals:
    void finito(const QString& chiave, const QImage& immagine);

private:
    void scarica(const QUrl& indirizzo, qint64 massimo, std::function<void(std::optional<QByteArray>)> fatto)
    {
        if (!rete_)
            rete_ = new QNetworkAccessManager(this);
        QNetworkRequest richiesta(indirizzo);
        richiesta.setTransferTimeout(CercaCopertina::kAttesaMs);
        // Redirects may not leave http and https either.
        richiesta.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        richiesta.setMaximumRedirectsAllowed(5);
        QNetworkReply* r = rete_->get(richiesta);
        auto troppo = std::make_shared<bool>(false);
        auto controlla = [r, massimo, troppo](qint64 ricevuti) {
            if (ricevuti > massimo && !*troppo) {
                *troppo = true;
                r->abort();
            }
        };
        connect(r, &QNetworkReply::metaDataChanged, r, [r, controlla] {
            controlla(r->header(QNetworkRequest::ContentLengthHeader).toLongLong());
        });
        connect(r, &QNetworkReply::downloadProgress, r, [controlla](qint64 ricevuti, qint64) { controlla(ricevuti); });
        connect(r, &QNetworkReply::redirected, r, [r](const QUrl& verso) {
            if (!CercaCopertina::indirizzoAmmesso(verso))
                r->abort();
        });
        connect(r, &QNetworkReply::finished, this, [r, troppo, fatto = std::move(fatto)] {
            r->deleteLater();
            if (*troppo || r->error() != QNetworkReply::NoError) {
                fatto(std::nullopt);
                return;
            }
            const QByteArray dati = r->readAll();
            fatto(dati.isEmpty() ? std::nullopt : std::optional<QByteArray>(dati));
        });
    }

    QNetworkAccessManager* rete_ = nullptr;
};

} // namespace

CercaCopertina::CercaCopertina(QUrl base, QObject* parent) : QObject(parent), base_(std::move(base)), rete_(new Rete)
{
    thread_.setObjectName(QStringLiteral("Halvora.MediaManager.copertine"));
    rete_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, rete_, &QObject::deleteLater);
    connect(static_cast<Rete*>(rete_), &Rete::finito, this, &CercaCopertina::trovata, Qt::QueuedConnection);
    thread_.start();
}

CercaCopertina::~CercaCopertina()
{
    thread_.quit();
    thread_.wait();
}

void CercaCopertina::cerca(const QString& chiave, const QString& titolo, const QString& artista)
{
    const QUrl indirizzo = indirizzoRicerca(base_, titolo, artista);
    if (!indirizzo.isValid() || !indirizzoAmmesso(indirizzo)) {
        QMetaObject::invokeMethod(this, [this, chiave] { emit trovata(chiave, {}); }, Qt::QueuedConnection);
        return;
    }
    auto* rete = static_cast<Rete*>(rete_);
    QMetaObject::invokeMethod(rete, [rete, chiave, indirizzo] { rete->cerca(chiave, indirizzo); });
}

void CercaCopertina::scarica(const QString& chiave, const QUrl& indirizzo)
{
    if (!indirizzoAmmesso(indirizzo)) {
        QMetaObject::invokeMethod(this, [this, chiave] { emit trovata(chiave, {}); }, Qt::QueuedConnection);
        return;
    }
    auto* rete = static_cast<Rete*>(rete_);
    QMetaObject::invokeMethod(rete, [rete, chiave, indirizzo] { rete->immagine(chiave, indirizzo); });
}

QUrl CercaCopertina::indirizzoRicerca(const QUrl& base, const QString& titolo, const QString& artista)
{
    // What a query may hold unencoded, except the four that would split it.
    const QByteArray termine = QUrl::toPercentEncoding(artista + QLatin1Char(' ') + titolo, "!$'()*,;:@/");
    if (termine.isEmpty() || (artista + titolo).trimmed().isEmpty())
        return {};
    QByteArray testo = base.toEncoded(QUrl::StripTrailingSlash);
    testo += "/search?term=" + termine + "&entity=song&limit=1";
    return QUrl::fromEncoded(testo, QUrl::StrictMode);
}

bool CercaCopertina::indirizzoAmmesso(const QUrl& indirizzo)
{
    const QString schema = indirizzo.scheme().toLower();
    return indirizzo.isValid() && !indirizzo.host().isEmpty()
           && (schema == QLatin1String("http") || schema == QLatin1String("https"));
}

std::optional<QUrl> CercaCopertina::indirizzoDaRisposta(const QByteArray& json)
{
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject())
        return std::nullopt;
    const QJsonValue risultati = doc.object().value(QLatin1String("results"));
    if (!risultati.isArray() || risultati.toArray().isEmpty() || !risultati.toArray().first().isObject())
        return std::nullopt;
    const QJsonValue url = risultati.toArray().first().toObject().value(QLatin1String("artworkUrl100"));
    if (!url.isString())
        return std::nullopt;
    QString testo = url.toString();
    testo.replace(QLatin1String("100x100bb"), QLatin1String("600x600bb"));
    const QUrl r(testo, QUrl::StrictMode);
    if (!r.isValid() || r.isEmpty())
        return std::nullopt;
    return r;
}

QImage CercaCopertina::decodifica(const QByteArray& dati)
{
    QBuffer buffer;
    buffer.setData(dati);
    buffer.open(QIODevice::ReadOnly);
    QImageReader lettore(&buffer);
    const QSize lato = lettore.size();
    // Refuse before decoding what a small file could blow up into.
    if (!lato.isValid() || qint64(lato.width()) * lato.height() > kMassimoPixel)
        return {};
    QImage img;
    if (!lettore.read(&img))
        return {};
    return img;
}

#include "CercaCopertina.moc"
