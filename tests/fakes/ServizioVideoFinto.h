#pragma once

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>

// A stand-in for the video service on loopback: "/iframe_api" serves a
// player script with the embedded player's interface over a <video> of a
// test clip made at start (gst-launch-1.0: a test picture with its running
// time written on it, and a tone, 20 s of WebM), served with HTTP Range so
// that seeking works. Paths under "/nota/" only get noted. Video ids pick
// behaviours: "MaiPronto_0" never gets ready, "Errore150_0" fails with 150,
// "Fughe000000" tries to leave the page (a new window, a navigation, a
// foreign frame, a permission) and notes what it got.
class ServizioVideoFinto : public QObject {
public:
    explicit ServizioVideoFinto(quint16 porta = 0)
    {
        QProcess g;
        g.start(QStringLiteral("gst-launch-1.0"),
                {"-q", "webmmux", "name=m", "!", "filesink", "location=" + dir_.filePath("media.webm"),
                 "videotestsrc", "num-buffers=300", "!", "video/x-raw,width=320,height=180,framerate=15/1", "!",
                 "timeoverlay", "font-desc=Sans 28", "halignment=center", "valignment=center", "!", "vp8enc",
                 "deadline=1", "!", "m.", "audiotestsrc", "num-buffers=870", "volume=0.1", "!", "audioconvert", "!",
                 "vorbisenc", "!", "m."});
        g.waitForFinished(60000);
        QFile f(dir_.filePath(QStringLiteral("media.webm")));
        if (f.open(QIODevice::ReadOnly))
            media_ = f.readAll();
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection())
                segui(s);
        });
        server_.listen(QHostAddress::LocalHost, porta);
    }

    bool pronto() const { return server_.isListening() && media_.size() > 10000; }
    QUrl origine() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort())); }
    quint16 porta() const { return server_.serverPort(); }
    // Every path asked for, in order; "206 <path>" for each partial answer.
    QStringList richieste;

private:
    void segui(QTcpSocket* s)
    {
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QTcpSocket::readyRead, s, [this, s] {
            s->setProperty("buffer", s->property("buffer").toByteArray() + s->readAll());
            const QByteArray b = s->property("buffer").toByteArray();
            if (!b.contains("\r\n\r\n"))
                return;
            s->setProperty("buffer", QByteArray());
            rispondi(s, b);
        });
    }

    void rispondi(QTcpSocket* s, const QByteArray& richiesta)
    {
        const QList<QByteArray> righe = richiesta.split('\n');
        const QString percorso = QUrl(QString::fromLatin1(righe.value(0).split(' ').value(1))).path();
        richieste << percorso;
        QByteArray corpo, tipo = "text/plain";
        QByteArray stato = "200 OK", extra;
        if (percorso == QLatin1String("/iframe_api")) {
            corpo = kScript;
            tipo = "text/javascript";
        } else if (percorso == QLatin1String("/media.webm")) {
            tipo = "video/webm";
            corpo = media_;
            for (const QByteArray& r : righe) {
                const QByteArray l = r.trimmed().toLower();
                if (!l.startsWith("range: bytes="))
                    continue;
                const QList<QByteArray> ab = l.mid(13).split('-');
                const qsizetype da = ab.value(0).toLongLong();
                qsizetype a = ab.value(1).isEmpty() ? media_.size() - 1 : ab.value(1).toLongLong();
                a = std::min(a, media_.size() - 1);
                if (da > a) {
                    stato = "416 Range Not Satisfiable";
                    corpo.clear();
                    break;
                }
                stato = "206 Partial Content";
                extra = "Content-Range: bytes " + QByteArray::number(da) + '-' + QByteArray::number(a) + '/'
                        + QByteArray::number(media_.size()) + "\r\n";
                corpo = media_.mid(da, a - da + 1);
                richieste << QStringLiteral("206 ") + percorso;
                break;
            }
            extra += "Accept-Ranges: bytes\r\n";
        } else if (!percorso.startsWith(QLatin1String("/nota/"))) {
            stato = "404 Not Found";
        }
        s->write("HTTP/1.1 " + stato + "\r\nContent-Type: " + tipo + "\r\nContent-Length: "
                 + QByteArray::number(corpo.size()) + "\r\n" + extra + "Connection: close\r\n\r\n" + corpo);
        s->disconnectFromHost();
    }

    static constexpr const char* kScript = R"JS(
(function () {
  var base = new URL(document.currentScript.src).origin;
  function nota(cosa) { fetch(base + '/nota/' + cosa).catch(function () {}); }
  function Player(el, o) {
    var self = this, pv = o.playerVars || {}, ev = o.events || {}, stato = -1, id = o.videoId;
    var v = document.createElement('video');
    v.id = el;
    v.style.width = '100%'; v.style.height = '100%'; v.style.background = '#000';
    v.setAttribute('playsinline', '');
    var posto = document.getElementById(el);
    posto.parentNode.replaceChild(v, posto);
    function cambia(s) { if (s === stato) return; stato = s; if (ev.onStateChange) ev.onStateChange({ data: s, target: self }); }
    this.getCurrentTime = function () { return v.currentTime; };
    this.getPlayerState = function () { return stato; };
    this.playVideo = function () { var p = v.play(); if (p) p.catch(function () {}); };
    this.pauseVideo = function () { v.pause(); };
    this.seekTo = function (s) { v.currentTime = s; };
    this.mute = function () { v.muted = true; nota('muto'); };
    this.unMute = function () { v.muted = false; nota('suono'); };
    this.unloadModule = function (m) { nota('tolto-' + m); };
    v.addEventListener('playing', function () { cambia(1); });
    v.addEventListener('pause', function () { cambia(2); });
    v.addEventListener('ended', function () { cambia(0); });
    if (id === 'Errore150_0') { setTimeout(function () { if (ev.onError) ev.onError({ data: 150 }); }, 300); return; }
    v.src = base + '/media.webm';
    if (id === 'MaiPronto_0') return;
    v.addEventListener('loadedmetadata', function () {
      if (pv.start) v.currentTime = pv.start;
      if (ev.onReady) ev.onReady({ target: self });
      if (id === 'Fughe000000') fughe();
    }, { once: true });
  }
  function fughe() {
    var w = window.open(base + '/nota/finestra');
    nota(w ? 'finestra-aperta' : 'finestra-rifiutata');
    navigator.geolocation.getCurrentPosition(function () { nota('geo-concessa'); },
                                             function (e) { nota('geo-' + e.code); });
    var f = document.createElement('iframe');
    f.src = 'http://localhost:' + location.port + '/nota/cornice';
    document.body.appendChild(f);
    setTimeout(function () { location.href = base + '/nota/fuga'; }, 300);
    setTimeout(function () { nota('ancora-qui'); }, 1500);
  }
  window.YT = { Player: Player };
  setTimeout(function () { if (window.onYouTubeIframeAPIReady) window.onYouTubeIframeAPIReady(); }, 0);
})();
)JS";

    QTemporaryDir dir_;
    QByteArray media_;
    QTcpServer server_;
};
