#pragma once

#include <QDir>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

// A loopback HTTPS server for the feed tests, with a throwaway certificate
// made by openssl at run time and trusted only by the configuration that
// fiducia() returns.
class ServerHttpsLocale final : public QTcpServer {
public:
    struct Risposta {
        int stato = 200;
        QByteArray corpo;
        bool conLunghezza = true; // Content-Length, else the body ends with the connection
        bool silenzio = false;    // never answer
        int gocciaMs = 0;         // the body one byte at a time, this many ms apart
    };
    Risposta risposta;
    QHash<QByteArray, Risposta> percorsi; // by request path, before `risposta`
    QList<QByteArray> richieste; // request head of each connection
    int connessioni = 0;         // connections accepted so far

    // False when the certificate could not be made.
    bool avvia()
    {
        if (!dir_.isValid())
            return false;
        const QString chiave = dir_.filePath("chiave.pem"), cert = dir_.filePath("cert.pem");
        const int esito = QProcess::execute("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt",
                                                        "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", chiave,
                                                        "-out", cert, "-days", "2", "-subj", "/CN=localhost",
                                                        "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost"});
        QFile fc(cert), fk(chiave);
        if (esito != 0 || !fc.open(QIODevice::ReadOnly) || !fk.open(QIODevice::ReadOnly))
            return false;
        certificato_ = QSslCertificate(&fc, QSsl::Pem);
        chiave_ = QSslKey(&fk, QSsl::Ec, QSsl::Pem);
        return !certificato_.isNull() && !chiave_.isNull() && listen(QHostAddress::LocalHost);
    }

    QUrl endpoint() const { return QUrl(QStringLiteral("https://127.0.0.1:%1").arg(serverPort())); }

    // The certificate in PEM form, for a process that trusts it.
    QString certificato() const { return dir_.filePath("cert.pem"); }

    QSslConfiguration fiducia() const
    {
        QSslConfiguration c = QSslConfiguration::defaultConfiguration();
        c.setCaCertificates({certificato_});
        return c;
    }

protected:
    void incomingConnection(qintptr descrittore) override
    {
        ++connessioni;
        auto* s = new QSslSocket(this);
        s->setSocketDescriptor(descrittore);
        s->setLocalCertificate(certificato_);
        s->setPrivateKey(chiave_);
        auto testa = std::make_shared<QByteArray>();
        connect(s, &QSslSocket::readyRead, s, [this, s, testa] {
            testa->append(s->readAll());
            if (!testa->contains("\r\n\r\n") || risposta.silenzio)
                return;
            richieste.append(*testa);
            const Risposta& risposta = percorsi.value(testa->split(' ').value(1), this->risposta);
            QByteArray out = "HTTP/1.1 " + QByteArray::number(risposta.stato) + " X\r\n"
                             "Content-Type: application/json\r\nConnection: close\r\n";
            if (risposta.conLunghezza)
                out += "Content-Length: " + QByteArray::number(risposta.corpo.size()) + "\r\n";
            if (risposta.gocciaMs > 0) {
                s->write(out + "\r\n");
                auto* goccia = new QTimer(s);
                connect(goccia, &QTimer::timeout, s, [s, resto = std::make_shared<QByteArray>(risposta.corpo)] {
                    if (resto->isEmpty())
                        return s->disconnectFromHost();
                    s->write(resto->left(1));
                    resto->remove(0, 1);
                });
                goccia->start(risposta.gocciaMs);
                return;
            }
            out += "\r\n" + risposta.corpo;
            s->write(out);
            s->disconnectFromHost();
        });
        connect(s, &QSslSocket::disconnected, s, &QObject::deleteLater);
        s->startServerEncryption();
    }

private:
    QTemporaryDir dir_;
    QSslCertificate certificato_;
    QSslKey chiave_;
};
