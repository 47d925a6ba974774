#include "ProtocolloVideo.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonValue>
#include <QRegularExpression>
#include <cmath>

namespace ProtocolloVideo {

namespace {

constexpr double kMassimoInizio = 366.0 * 24 * 3600;

// The page's script. %1 is the JSON object of its values.
const char* const kScript = R"JS(
var parametri = %1;
var ponte = null, inAttesa = [];
new QWebChannel(qt.webChannelTransport, function (c) {
  ponte = c.objects.notch;
  inAttesa.forEach(function (m) { ponte.ricevi(m); });
  inAttesa = [];
});
function manda(o) {
  var s = JSON.stringify(o);
  if (ponte) ponte.ricevi(s); else if (inAttesa.length < 64) inAttesa.push(s);
}
(function () {
  var s = document.createElement('script');
  s.src = parametri.servizio + '/iframe_api';
  document.head.appendChild(s);
})();
var player, sottotitoliTolti = false, voglioMuto = parametri.muto;
function onYouTubeIframeAPIReady() {
  player = new YT.Player('p', {
    width: '100%', height: '100%', videoId: parametri.id,
    playerVars: { autoplay: 1, start: parametri.inizio, playsinline: 1, rel: 0, modestbranding: 1,
                  hl: parametri.lingua, cc_lang_pref: parametri.lingua },
    events: {
      onReady: function () {
        manda({ tipo: 'pronto' });
        if (voglioMuto) player.mute(); else player.unMute();
        player.playVideo();
      },
      onStateChange: function (e) {
        if (e.data === 1 && !sottotitoliTolti) {
          sottotitoliTolti = true;
          try { player.unloadModule('captions'); } catch (x) {}
          try { player.unloadModule('cc'); } catch (x) {}
        }
        manda({ tipo: 'stato', valore: e.data, t: player.getCurrentTime() });
      },
      onError: function (e) { manda({ tipo: 'errore', codice: e.data }); }
    }
  });
}
function alterna() {
  if (!player || !player.getPlayerState) return;
  if (player.getPlayerState() === 1) player.pauseVideo(); else player.playVideo();
}
function allinea(s) {
  if (!player || !player.getCurrentTime) return;
  var d = player.getCurrentTime() - s;
  if (Math.abs(d) > 0.3) player.seekTo(s, true);
  manda({ tipo: 'allineato', scarto: d, a: s });
}
function muta() { voglioMuto = true; if (player && player.mute) player.mute(); }
function smuta() { voglioMuto = false; if (player && player.unMute) player.unMute(); }
setInterval(function () {
  if (player && player.getCurrentTime) manda({ tipo: 'tempo', t: player.getCurrentTime() });
}, 1000);
)JS";

bool intero(const QJsonValue& v, int& out)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || std::abs(d) > 1e6)
        return false;
    out = int(d);
    return true;
}

bool finito(const QJsonValue& v) { return v.isDouble() && std::isfinite(v.toDouble()); }

bool loopback(const QString& host)
{
    if (host == QLatin1String("localhost"))
        return true;
    const QHostAddress a(host);
    return !a.isNull() && a.isLoopback();
}

} // namespace

std::optional<Pagina> pagina(const QString& id, double inizio, const QString& lingua, bool muto)
{
    static const QRegularExpression reId(QStringLiteral("^[A-Za-z0-9_-]{11}$"));
    static const QRegularExpression reLingua(QStringLiteral("^[a-z]{2}$"));
    if (!reId.match(id).hasMatch() || !reLingua.match(lingua).hasMatch() || !std::isfinite(inizio) || inizio < 0
        || inizio > kMassimoInizio)
        return std::nullopt;
    return Pagina{id, qint64(std::floor(inizio)), lingua, muto};
}

QString lingua(const QString& nomeLocale)
{
    const QString due = nomeLocale.left(2).toLower();
    static const QRegularExpression re(QStringLiteral("^[a-z]{2}$"));
    return re.match(due).hasMatch() ? due : QStringLiteral("it");
}

std::optional<QUrl> origine(const QString& testo)
{
    const QUrl u(testo, QUrl::StrictMode);
    if (!u.isValid() || u.host().isEmpty() || !u.userInfo().isEmpty() || u.hasQuery() || u.hasFragment()
        || (!u.path().isEmpty() && u.path() != QLatin1String("/")))
        return std::nullopt;
    const bool sicura = u.scheme() == QLatin1String("https");
    if (!sicura && !(u.scheme() == QLatin1String("http") && loopback(u.host())))
        return std::nullopt;
    QUrl o;
    o.setScheme(u.scheme());
    o.setHost(u.host());
    o.setPort(u.port());
    return o;
}

QString html(const Pagina& p, const QUrl& servizio)
{
    QJsonObject valori{{QStringLiteral("id"), p.id},
                       {QStringLiteral("inizio"), double(p.inizio)},
                       {QStringLiteral("lingua"), p.lingua},
                       {QStringLiteral("muto"), p.muto},
                       {QStringLiteral("servizio"), servizio.toString(QUrl::FullyEncoded)}};
    QString json = QString::fromUtf8(QJsonDocument(valori).toJson(QJsonDocument::Compact));
    json.replace(QLatin1Char('<'), QLatin1String("\\u003c"));
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                          "<meta name=\"viewport\" content=\"width=device-width\">"
                          "<style>html,body{margin:0;height:100%;background:#000;overflow:hidden}"
                          "#p{width:100%;height:100%}</style></head>"
                          "<body><div id=\"p\"></div><script>")
           + QString::fromLatin1(kScript).replace(QLatin1String("%1"), json) + QStringLiteral("</script></body></html>");
}

std::optional<QJsonObject> messaggioPagina(const QByteArray& testo)
{
    if (testo.size() > kMassimoMessaggio)
        return std::nullopt;
    const auto o = leggi(testo);
    if (!o)
        return std::nullopt;
    const QString tipo = o->value(QLatin1String("tipo")).toString();
    QJsonObject m{{QStringLiteral("tipo"), tipo}};
    // Fields that a type may carry, and whether each must be there.
    auto copia = [&](const char* campo, bool obbligo) {
        const QJsonValue v = o->value(QLatin1String(campo));
        if (v.isUndefined())
            return !obbligo;
        if (!finito(v))
            return false;
        m.insert(QLatin1String(campo), v.toDouble());
        return true;
    };
    int n = 0;
    if (tipo == QLatin1String("pronto"))
        return m;
    if (tipo == QLatin1String("stato")) {
        static const QList<int> noti{-1, 0, 1, 2, 3, 5};
        if (!intero(o->value(QLatin1String("valore")), n) || !noti.contains(n) || !copia("t", false))
            return std::nullopt;
        m.insert(QStringLiteral("valore"), n);
        return m;
    }
    if (tipo == QLatin1String("errore")) {
        const QJsonValue c = o->value(QLatin1String("codice"));
        if (c.isUndefined())
            return m;
        if (!intero(c, n))
            return std::nullopt;
        m.insert(QStringLiteral("codice"), n);
        return m;
    }
    if (tipo == QLatin1String("tempo"))
        return copia("t", true) ? std::optional(m) : std::nullopt;
    if (tipo == QLatin1String("allineato"))
        return copia("scarto", true) && copia("a", true) ? std::optional(m) : std::nullopt;
    return std::nullopt;
}

QByteArray riga(const QJsonObject& o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> leggi(const QByteArray& riga)
{
    if (riga.size() > kMassimoRiga)
        return std::nullopt;
    QJsonParseError errore;
    const QJsonDocument d = QJsonDocument::fromJson(riga, &errore);
    if (errore.error != QJsonParseError::NoError || !d.isObject())
        return std::nullopt;
    return d.object();
}

std::optional<double> numero(const QJsonObject& o, const QString& campo)
{
    const QJsonValue v = o.value(campo);
    return finito(v) ? std::optional(v.toDouble()) : std::nullopt;
}

void Righe::aggiungi(const QByteArray& dati)
{
    buffer_ += dati;
}

std::optional<QByteArray> Righe::prossima()
{
    for (;;) {
        const qsizetype fine = buffer_.indexOf('\n');
        if (fine < 0) {
            if (buffer_.size() > kMassimoRiga) {
                buffer_.clear();
                scarta_ = true;
            }
            return std::nullopt;
        }
        QByteArray r = buffer_.left(fine);
        buffer_.remove(0, fine + 1);
        if (scarta_ || r.size() > kMassimoRiga) {
            scarta_ = false;
            continue;
        }
        return r;
    }
}

} // namespace ProtocolloVideo
