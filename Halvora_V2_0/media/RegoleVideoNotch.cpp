#include "RegoleVideoNotch.h"

#include <QRegularExpression>
#include <QUrlQuery>
#include <algorithm>
#include <cmath>

namespace RegoleVideoNotch {

namespace {

bool sottodominio(const QString& host, QLatin1String dominio)
{
    return host == dominio || host.endsWith(QLatin1Char('.') + dominio);
}

bool idValido(const QString& id)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9_-]{11}$"));
    return re.match(id).hasMatch();
}

// Same address, or the same video.
bool stessoVideo(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    const auto ia = idVideoYouTube(a);
    return ia && ia == idVideoYouTube(b);
}

// A page without a title of its own is shown by its address, without the
// scheme ("youtube.com/watch?v=…"): the video id that text names.
std::optional<QString> idMostrato(const QString& titolo)
{
    const QString t = titolo.trimmed();
    if (t.isEmpty() || t.contains(QLatin1Char(' ')))
        return std::nullopt;
    return idVideoYouTube(t.contains(QLatin1String("://")) ? t : QStringLiteral("https://") + t);
}

} // namespace

QString pulisciTitolo(const QString& titolo)
{
    QString t;
    for (char32_t c : titolo.toUcs4())
        if (QChar::category(c) != QChar::Other_Format)
            t += QString::fromUcs4(&c, 1);
    t = t.toLower().trimmed();
    static const QRegularExpression contatore(QStringLiteral("^\\(\\d+\\)\\s*"));
    t.remove(contatore);
    for (QLatin1String coda : {QLatin1String(" - youtube music"), QLatin1String(" - youtube")})
        if (t.endsWith(coda))
            t.chop(coda.size());
    return t.trimmed();
}

std::optional<QString> idVideoYouTube(const QString& url)
{
    const QUrl u(url, QUrl::StrictMode);
    if (!u.isValid() || (u.scheme() != QLatin1String("https") && u.scheme() != QLatin1String("http")))
        return std::nullopt;
    const QString h = u.host().toLower();
    QString candidato;
    if (sottodominio(h, QLatin1String("youtu.be"))) {
        const QStringList parti = u.path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
        candidato = parti.value(0);
    } else if (sottodominio(h, QLatin1String("youtube.com")) && u.path() == QLatin1String("/watch")) {
        candidato = QUrlQuery(u).queryItemValue(QStringLiteral("v"), QUrl::FullyDecoded);
    }
    if (!idValido(candidato))
        return std::nullopt;
    return candidato;
}

QUrl urlGuarda(const QString& id, double secondi)
{
    const qint64 interi = std::isfinite(secondi) && secondi > 0 ? qint64(std::min(secondi, 1.0e9)) : 0;
    QUrl u(QStringLiteral("https://www.youtube.com/watch"));
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("v"), id);
    q.addQueryItem(QStringLiteral("t"), QString::number(interi) + QLatin1Char('s'));
    u.setQuery(q);
    return u;
}

QString host(const QString& url)
{
    QString h = QUrl(url).host();
    if (h.startsWith(QLatin1String("www.")))
        h.remove(0, 4);
    return h;
}

std::optional<SceltaBrowser> scegliScheda(const QList<SchedaBrowser>& schede, const std::optional<MediaBrowser>& media,
                                          const QString& titolo)
{
    if (!media)
        return std::nullopt;
    auto chiave = [](const SchedaBrowser& s) { return (idVideoYouTube(s.url) ? 0 : 2) + (s.attiva ? 0 : 1); };
    QList<SchedaBrowser> ordinate = schede;
    std::stable_sort(ordinate.begin(), ordinate.end(),
                     [&](const SchedaBrowser& a, const SchedaBrowser& b) { return chiave(a) < chiave(b); });
    // Only the tab the browser's player plays can tell a state: by its
    // address when the player names one, else by its title, or by the
    // video id of the address it shows for a page without a title.
    const QString titoloMedia = pulisciTitolo(media->titolo);
    const std::optional<QString> idMedia = idMostrato(media->titolo);
    QList<SchedaBrowser> tenute;
    for (const SchedaBrowser& s : ordinate) {
        const bool suona = !media->url.isEmpty()
                               ? stessoVideo(s.url, media->url)
                               : (!titoloMedia.isEmpty() && pulisciTitolo(s.titolo) == titoloMedia)
                                     || (idMedia && idVideoYouTube(s.url) == idMedia);
        if (suona)
            tenute << s;
    }
    if (tenute.isEmpty())
        return std::nullopt;
    const QString cercato = pulisciTitolo(titolo);
    auto scegli = [&](const QList<SchedaBrowser>& tra) -> std::optional<SchedaBrowser> {
        for (const SchedaBrowser& s : tra)
            if (pulisciTitolo(s.titolo) == cercato)
                return s;
        for (const SchedaBrowser& s : tra)
            if (s.attiva)
                return s;
        return tra.first();
    };
    // Every kept tab shares the player's one state, so playing tabs first
    // changes nothing: the choice runs over all of them.
    const auto scelta = scegli(tenute);
    const double tempo = std::isfinite(media->posizione) && media->posizione > 0 ? media->posizione : 0;
    return SceltaBrowser{*scelta, tempo, !media->inRiproduzione || tenute.size() == 1,
                         idVideoYouTube(scelta->url).has_value()};
}

std::optional<SchedaBrowser> schedaPerTitolo(const QList<SchedaBrowser>& schede, const QString& titolo)
{
    const QString cercato = pulisciTitolo(titolo);
    if (cercato.isEmpty())
        return std::nullopt;
    for (const SchedaBrowser& s : schede) {
        const QString t = pulisciTitolo(s.titolo);
        if (!t.isEmpty() && idVideoYouTube(s.url) && (t == cercato || t.contains(cercato) || cercato.contains(t)))
            return s;
    }
    return std::nullopt;
}

} // namespace RegoleVideoNotch
