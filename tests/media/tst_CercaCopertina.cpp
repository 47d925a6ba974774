#include "CercaCopertina.h"
#include "ColoreCopertina.h"

#include <QBuffer>
#include <QHostAddress>
#include <QPainter>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

QByteArray png(const QImage& img)
{
    QByteArray dati;
    QBuffer b(&dati);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "PNG");
    return dati;
}

QImage tinta(QColor c)
{
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(c);
    return img;
}

// A loopback HTTP server with canned answers by path; records the paths asked.
class Server : public QTcpServer {
public:
    QHash<QByteArray, QByteArray> risposte; // path → full HTTP response
    QList<QByteArray> chieste;
    Server()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray richiesta = s->readAll();
                    const QByteArray percorso = richiesta.split(' ').value(1);
                    chieste << percorso;
                    s->write(risposte.value(percorso, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"));
                    s->disconnectFromHost();
                });
        });
    }
    QByteArray base() const { return "http://127.0.0.1:" + QByteArray::number(serverPort()); }
    void rispondi(const QByteArray& percorso, const QByteArray& tipo, const QByteArray& corpo)
    {
        risposte.insert(percorso, "HTTP/1.1 200 OK\r\nContent-Type: " + tipo + "\r\nConnection: close\r\nContent-Length: "
                                      + QByteArray::number(corpo.size()) + "\r\n\r\n" + corpo);
    }
};

QImage attendi(CercaCopertina& c, const QString& chiave)
{
    QSignalSpy spy(&c, &CercaCopertina::trovata);
    if (!spy.wait(5000))
        return QImage(1, 1, QImage::Format_Mono); // a marker that no answer came
    if (spy.first().at(0).toString() != chiave)
        return QImage(2, 2, QImage::Format_Mono);
    return spy.first().at(1).value<QImage>();
}

} // namespace

class TestCercaCopertina : public QObject {
    Q_OBJECT

private slots:
    void searchTermIsEncoded()
    {
        const QUrl u = CercaCopertina::indirizzoRicerca(QUrl(QStringLiteral("https://musica.example")),
                                                        QStringLiteral("C+D=E?"), QStringLiteral("A&B"));
        QCOMPARE(u.toEncoded(), QByteArray("https://musica.example/search?term=A%26B%20C%2BD%3DE%3F&entity=song&limit=1"));
        QVERIFY(!CercaCopertina::indirizzoRicerca(QUrl(QStringLiteral("https://musica.example")), {}, {}).isValid());
    }

    void onlyWebAddresses_data()
    {
        QTest::addColumn<QString>("indirizzo");
        QTest::addColumn<bool>("ammesso");
        QTest::newRow("https") << "https://a.example/x.png" << true;
        QTest::newRow("http") << "http://127.0.0.1:8/x.png" << true;
        QTest::newRow("file") << "file:///etc/passwd" << false;
        QTest::newRow("data") << "data:image/png;base64,AAAA" << false;
        QTest::newRow("ftp") << "ftp://a.example/x.png" << false;
        QTest::newRow("no host") << "http:///x.png" << false;
    }
    void onlyWebAddresses()
    {
        QFETCH(QString, indirizzo);
        QTEST(CercaCopertina::indirizzoAmmesso(QUrl(indirizzo)), "ammesso");
    }

    void searchReply_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("url");
        QTest::newRow("bigger size asked") << QByteArray("{\"results\":[{\"artworkUrl100\":\"https://a.example/x/100x100bb.jpg\"}]}")
                                           << "https://a.example/x/600x600bb.jpg";
        QTest::newRow("other address unchanged") << QByteArray("{\"results\":[{\"artworkUrl100\":\"https://a.example/x.jpg\"}]}")
                                                 << "https://a.example/x.jpg";
        QTest::newRow("empty results") << QByteArray("{\"results\":[]}") << "";
        QTest::newRow("no address") << QByteArray("{\"results\":[{\"x\":1}]}") << "";
        QTest::newRow("address not a string") << QByteArray("{\"results\":[{\"artworkUrl100\":5}]}") << "";
        QTest::newRow("not json") << QByteArray("<html>") << "";
        QTest::newRow("array") << QByteArray("[1]") << "";
    }
    void searchReply()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, url);
        const auto r = CercaCopertina::indirizzoDaRisposta(json);
        QCOMPARE(r ? r->toString() : QString(), url);
    }

    void searchThenDownloadFromTheServer()
    {
        Server s;
        s.rispondi("/search?term=Gruppo%20Uno&entity=song&limit=1", "application/json",
                   "{\"results\":[{\"artworkUrl100\":\"" + s.base() + "/art/100x100bb.png\"}]}");
        s.rispondi("/art/600x600bb.png", "image/png", png(tinta(Qt::red)));
        CercaCopertina c(QUrl(QString::fromLatin1(s.base())));
        c.cerca(QStringLiteral("k1"), QStringLiteral("Uno"), QStringLiteral("Gruppo"));
        const QImage img = attendi(c, QStringLiteral("k1"));
        QCOMPARE(img.size(), QSize(16, 16));
        QCOMPARE(img.pixelColor(3, 3), QColor(Qt::red));
        QCOMPARE(s.chieste.last(), QByteArray("/art/600x600bb.png"));
    }

    void failuresGiveNoImage_data()
    {
        QTest::addColumn<QByteArray>("percorso");
        QTest::addColumn<QByteArray>("tipo");
        QTest::addColumn<QByteArray>("corpo");
        QTest::newRow("not found") << QByteArray("/altro") << QByteArray() << QByteArray();
        QTest::newRow("not an image") << QByteArray("/a.png") << QByteArray("image/png") << QByteArray("ciao");
        // A tiny file that claims 5000 by 5000 pixels.
        QImage enorme(5000, 5000, QImage::Format_Mono);
        enorme.fill(0);
        QTest::newRow("too many pixels") << QByteArray("/a.png") << QByteArray("image/png") << png(enorme);
        QTest::newRow("too many bytes") << QByteArray("/a.png") << QByteArray("image/png") << QByteArray(9 << 20, 'x');
    }
    void failuresGiveNoImage()
    {
        QFETCH(QByteArray, percorso);
        QFETCH(QByteArray, tipo);
        QFETCH(QByteArray, corpo);
        Server s;
        if (!tipo.isEmpty())
            s.rispondi(percorso, tipo, corpo);
        CercaCopertina c(QUrl(QString::fromLatin1(s.base())));
        c.scarica(QStringLiteral("k"), QUrl(QString::fromLatin1(s.base() + "/a.png")));
        const QImage img = attendi(c, QStringLiteral("k"));
        QVERIFY(img.isNull());
    }

    void refusesOtherSchemesWithoutAsking()
    {
        Server s;
        CercaCopertina c(QUrl(QString::fromLatin1(s.base())));
        c.scarica(QStringLiteral("k"), QUrl(QStringLiteral("file:///etc/hostname")));
        QVERIFY(attendi(c, QStringLiteral("k")).isNull());
        QVERIFY(s.chieste.isEmpty());
    }

    void accentColour_data()
    {
        QTest::addColumn<QImage>("immagine");
        QTest::addColumn<double>("tono");
        QTest::addColumn<double>("saturazione");
        QTest::addColumn<double>("luminosita");
        QTest::newRow("black") << tinta(Qt::black) << 0.0 << 0.0 << 0.42;
        QTest::newRow("transparent reads as black") << tinta(Qt::transparent) << 0.0 << 0.0 << 0.42;
        QTest::newRow("pure red") << tinta(Qt::red) << 0.0 << 0.9 << 0.72;
        QTest::newRow("saturation 0.2 is raised") << tinta(QColor::fromHsvF(0.6f, 0.2f, 0.6f)) << 0.6 << 0.5 << 0.6;
        QTest::newRow("saturation 0.05 stays") << tinta(QColor::fromHsvF(0.3f, 0.05f, 0.6f)) << 0.3 << 0.05 << 0.6;
        QTest::newRow("bright white is dimmed") << tinta(Qt::white) << 0.0 << 0.0 << 0.72;
    }
    void accentColour()
    {
        QFETCH(QImage, immagine);
        QFETCH(double, tono);
        QFETCH(double, saturazione);
        QFETCH(double, luminosita);
        const auto c = coloreDaCopertina(immagine);
        QVERIFY(c);
        QCOMPARE(c->alphaF(), 1.0f);
        QVERIFY2(std::abs(std::max(0.0f, c->hsvHueF()) - tono) < 0.01, qPrintable(QString::number(c->hsvHueF())));
        QVERIFY2(std::abs(c->hsvSaturationF() - saturazione) < 0.01, qPrintable(QString::number(c->hsvSaturationF())));
        QVERIFY2(std::abs(c->valueF() - luminosita) < 0.01, qPrintable(QString::number(c->valueF())));
    }

    void noImageNoColour() { QVERIFY(!coloreDaCopertina(QImage())); }
};

QTEST_MAIN(TestCercaCopertina)
#include "tst_CercaCopertina.moc"
