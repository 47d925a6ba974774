#include "MediaPlayerView.h"

#include "DisegnoMedia.h"
#include "MediaManager.h"
#include "SchedaChiusa.h"
#include "Testi.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainterPath>
#include <cmath>

using namespace DisegnoMedia;

namespace {

const QColor kBianco(255, 255, 255);
QColor bianco(double opacita) { return QColor::fromRgbF(1, 1, 1, float(opacita)); }
const QColor kSecondario = bianco(0.55); // secondary text on the dark notch

QString titoloApri(const QString& titolo) { return Testi::tr("Apri «%1» sotto la tacca").arg(titolo); }

} // namespace

MediaPlayerView::MediaPlayerView(QWidget* parent, Clock& clock)
    : QWidget(parent), clock_(clock), tinta_(clock, [this] { update(); })
{
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    disponi();
}

MediaPlayerView::MediaPlayerView(MediaManager& manager, std::function<void()> apriNellaTacca, QWidget* parent, Clock& clock)
    : MediaPlayerView(parent, clock)
{
    apriNellaTacca_ = std::move(apriNellaTacca);
    setStato(StatoMedia::da(manager));
    connect(&manager, &MediaManager::cambiato, this, [this, &manager] { setStato(StatoMedia::da(manager)); });
    connect(this, &MediaPlayerView::previousTrack, &manager, &MediaManager::previousTrack);
    connect(this, &MediaPlayerView::togglePlayPause, &manager, &MediaManager::togglePlayPause);
    connect(this, &MediaPlayerView::nextTrack, &manager, &MediaManager::nextTrack);
    connect(this, &MediaPlayerView::trascinamento, &manager, &MediaManager::setIsDraggingSlider);
    connect(this, &MediaPlayerView::posizioneTrascinata, &manager, &MediaManager::setCurrentTime);
    connect(this, &MediaPlayerView::seek, &manager, &MediaManager::seek);
}

void MediaPlayerView::setStato(const StatoMedia& stato)
{
    stato_ = stato;
    tinta_.imposta(stato_.albumTint);
    disponi();
    update();
}

void MediaPlayerView::setApriNellaTacca(std::function<void()> azione)
{
    apriNellaTacca_ = std::move(azione);
    disponi();
    update();
}

QString MediaPlayerView::formattaTempo(double secondi)
{
    if (!std::isfinite(secondi))
        return QStringLiteral("00:00");
    // Beyond what a 64-bit count of seconds holds, show the largest.
    const double limitato = std::clamp(std::trunc(secondi), -9.2e18, 9.2e18);
    const qint64 s = qint64(limitato);
    const qint64 minuti = s / 60;
    return QString::asprintf("%02lld:%02lld", static_cast<long long>(minuti), static_cast<long long>(s - 60 * minuti));
}

bool MediaPlayerView::nienteInRiproduzione(const StatoMedia& s)
{
    return s.trackTitle.isEmpty() || s.trackTitle == QLatin1String("Nessuna riproduzione");
}

bool MediaPlayerView::cursoreAttivo() const { return zone_.contains(Zona::cursore) && stato_.permetteSeek; }

void MediaPlayerView::resizeEvent(QResizeEvent*) { disponi(); }

void MediaPlayerView::disponi()
{
    zone_.clear();
    binario_ = {};
    const QRectF r = rect();
    if (nienteInRiproduzione(stato_)) {
        // Centred stack: title row 24, explanation or pill, round buttons 40; spacing 12.
        const double spiegazione = mostraApri() ? misuraPillola(QStringLiteral("pip.enter"), tr("Guarda nella tacca"),
                                                                carattere(10, QFont::Bold), 10, 5).height()
                                                : 30;
        const double alto = 24 + 12 + spiegazione + 12 + 40;
        double y = r.center().y() - alto / 2;
        if (mostraApri()) {
            const QSizeF s = misuraPillola(QStringLiteral("pip.enter"), tr("Guarda nella tacca"), carattere(10, QFont::Bold), 10, 5);
            zone_.insert(Zona::apriNellaTacca, QRectF(r.center().x() - s.width() / 2, y + 36, s.width(), s.height()));
        }
        y += 24 + 12 + spiegazione + 12;
        const double cx = r.center().x();
        zone_.insert(Zona::precedente, QRectF(cx - 20 - 22 - 40, y, 40, 40));
        zone_.insert(Zona::playPause, QRectF(cx - 20, y, 40, 40));
        zone_.insert(Zona::successivo, QRectF(cx + 20 + 22, y, 40, 40));
        return;
    }
    const QRectF c = r.adjusted(12, 10, -12, -12);
    if (mostraApri()) {
        const QSizeF s = misuraPillola(QStringLiteral("pip.enter"), tr("Guarda nella tacca"), carattere(9, QFont::Bold), 8, 4);
        zone_.insert(Zona::apriNellaTacca, QRectF(c.right() - s.width(), c.top(), s.width(), s.height()));
    }
    // Transport on the right of the track row, centred between header and bottom row.
    const double yRiga = c.top() + 20 + (c.height() - 20 - 28) / 2;
    const double cy = yRiga;
    double x = c.right();
    zone_.insert(Zona::successivo, QRectF(x - 22, cy - 11, 22, 22));
    x -= 22 + 16;
    zone_.insert(Zona::playPause, QRectF(x - 30, cy - 15, 30, 30));
    x -= 30 + 16;
    zone_.insert(Zona::precedente, QRectF(x - 22, cy - 11, 22, 22));
    if (stato_.totalDuration > 0) {
        const QFontMetricsF m(carattere(10, QFont::Medium, true));
        const double larghezzaTempo = m.horizontalAdvance(QStringLiteral("000:00"));
        const double yb = c.bottom() - 8 - 8;
        binario_ = QRectF(c.left() + larghezzaTempo + 12, yb - 1.5, c.width() - 2 * (larghezzaTempo + 12), 3);
        zone_.insert(Zona::cursore, binario_.adjusted(-6, -8, 6, 8));
    }
}

double MediaPlayerView::valoreCursore(double x) const
{
    const double massimo = std::max(stato_.totalDuration, 1.0);
    if (binario_.width() <= 0)
        return 0;
    return std::clamp((x - binario_.left()) / binario_.width(), 0.0, 1.0) * massimo;
}

void MediaPlayerView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (nienteInRiproduzione(stato_))
        disegnaNiente(p);
    else
        disegnaPlayer(p);
}

void MediaPlayerView::disegnaPlayer(QPainter& p)
{
    const QRectF r = rect();
    // Square top corners, round bottom ones: the panel hangs from the notch.
    QPainterPath forma;
    const double k = 24;
    forma.moveTo(r.topLeft());
    forma.lineTo(r.topRight());
    forma.lineTo(r.right(), r.bottom() - k);
    forma.quadTo(r.bottomRight(), QPointF(r.right() - k, r.bottom()));
    forma.lineTo(r.left() + k, r.bottom());
    forma.quadTo(r.bottomLeft(), QPointF(r.left(), r.bottom() - k));
    forma.closeSubpath();
    p.save();
    p.setClipPath(forma);
    p.fillRect(r, QColor(38, 38, 42, 235)); // ultra-thin material over the dark notch
    if (auto t = tinta_.attuale()) {
        QPainterPath tutto;
        tutto.addRect(r);
        velaTinta(p, tutto, *t, 0.9, 0.4);
    }
    p.fillRect(r, QColor::fromRgbF(0, 0, 0, 0.22f));

    const QRectF c = r.adjusted(12, 10, -12, -12);
    // Header: source badge and, for a browser video, the open-in-notch pill.
    const QFont fBadge = carattere(9, QFont::Bold);
    const QString app = stato_.activeAppDisplayName.toUpper();
    const QSizeF sb = misuraPillola(stato_.simboloSorgente, app, fBadge, 8, 4);
    pillola(p, QRectF(c.topLeft(), sb), stato_.simboloSorgente, app, fBadge, 8, bianco(0.9), bianco(0.2));
    if (zone_.contains(Zona::apriNellaTacca))
        pillola(p, zone_.value(Zona::apriNellaTacca), QStringLiteral("pip.enter"), tr("Guarda nella tacca"), fBadge, 8,
                bianco(0.9), bianco(0.2));

    // Track row.
    const double cy = zone_.value(Zona::playPause).center().y();
    const QRectF art(c.left(), cy - 24, 48, 48);
    if (!stato_.albumArt.isNull()) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgbF(0, 0, 0, 0.3f));
        p.drawRoundedRect(art.translated(0, 2).adjusted(-1, -1, 1, 1), 9, 9);
        copertina(p, stato_.albumArt, art, 8);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgbF(0.55f, 0.55f, 0.58f, 0.2f));
        p.drawRoundedRect(art, 8, 8);
        simbolo(p, QStringLiteral("music.note"), art, 18, kBianco);
    }
    const double xTesti = art.right() + 12;
    const double fineTesti = zone_.value(Zona::precedente).left() - 8;
    testoRiga(p, stato_.trackTitle, QRectF(xTesti, cy - 19, fineTesti - xTesti, 20), carattere(14, QFont::Bold), kBianco, 0.8);
    testoRiga(p, stato_.trackArtist, QRectF(xTesti, cy + 2, fineTesti - xTesti, 17), carattere(12, QFont::Medium), bianco(0.7), 0.8);
    simbolo(p, QStringLiteral("backward.fill"), zone_.value(Zona::precedente), 14, kBianco);
    simbolo(p, stato_.isPlaying ? QStringLiteral("pause.fill") : QStringLiteral("play.fill"), zone_.value(Zona::playPause),
            22, kBianco);
    simbolo(p, QStringLiteral("forward.fill"), zone_.value(Zona::successivo), 14, kBianco);

    if (stato_.totalDuration > 0) {
        const QFont fTempo = carattere(10, QFont::Medium, true);
        const double yb = binario_.center().y();
        testoRiga(p, formattaTempo(stato_.currentTime), QRectF(c.left(), yb - 8, binario_.left() - 12 - c.left(), 16),
                  fTempo, bianco(0.7));
        testoRiga(p, formattaTempo(stato_.totalDuration), QRectF(binario_.right() + 12, yb - 8, c.right() - binario_.right() - 12, 16),
                  fTempo, bianco(0.7), 1.0, Qt::AlignRight | Qt::AlignVCenter);
        const double attenua = stato_.permetteSeek ? 1.0 : 0.45;
        const double f = std::clamp(stato_.currentTime / std::max(stato_.totalDuration, 1.0), 0.0, 1.0);
        p.setPen(Qt::NoPen);
        p.setBrush(bianco(0.25 * attenua));
        p.drawRoundedRect(binario_, 1.5, 1.5);
        p.setBrush(bianco(attenua));
        p.drawRoundedRect(QRectF(binario_.left(), binario_.top(), binario_.width() * f, binario_.height()), 1.5, 1.5);
        p.drawEllipse(QPointF(binario_.left() + binario_.width() * f, yb), 5, 5);
    } else {
        const double yb = c.bottom() - 10 - 7;
        p.setPen(Qt::NoPen);
        p.setBrush(bianco(0.85));
        p.drawEllipse(QPointF(c.left() + 2.5, yb), 2.5, 2.5);
        testoRiga(p, tr("In diretta"), QRectF(c.left() + 11, yb - 8, c.width() - 11, 16), carattere(10, QFont::DemiBold), bianco(0.75));
    }
    p.restore();
}

void MediaPlayerView::disegnaNiente(QPainter& p)
{
    const QRectF r = rect();
    const double yPulsanti = zone_.value(Zona::playPause).top();
    const double yTitolo = yPulsanti - 12 - (mostraApri() ? zone_.value(Zona::apriNellaTacca).height() : 30) - 12 - 24;
    const QFont fTitolo = carattere(14, QFont::Medium);
    const QString titolo = tr("Nessuna riproduzione");
    const double larghezza = 20 + 12 + QFontMetricsF(fTitolo).horizontalAdvance(titolo);
    const double x0 = r.center().x() - larghezza / 2;
    simbolo(p, QStringLiteral("music.note.list"), QRectF(x0, yTitolo, 20, 24), 20, kSecondario);
    testoRiga(p, titolo, QRectF(x0 + 32, yTitolo, larghezza - 32 + 1, 24), fTitolo, kSecondario);
    if (mostraApri()) {
        pillola(p, zone_.value(Zona::apriNellaTacca), QStringLiteral("pip.enter"), tr("Guarda nella tacca"),
                carattere(10, QFont::Bold), 10, bianco(0.9), bianco(0.2));
    } else {
        p.setFont(carattere(11, QFont::Normal));
        p.setPen(AspettoScheda::terziario());
        p.drawText(QRectF(r.left() + 12, yTitolo + 36, r.width() - 24, 30), Qt::AlignCenter | Qt::TextWordWrap,
                   tr("Controlli di sistema — il player in uso non fornisce i dati del brano."));
    }
    const struct {
        Zona zona;
        const char* simbolo;
        double lato;
    } pulsanti[] = {{Zona::precedente, "backward.fill", 15}, {Zona::playPause, "playpause.fill", 20}, {Zona::successivo, "forward.fill", 15}};
    for (const auto& b : pulsanti) {
        const QRectF z = zone_.value(b.zona);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 60, 66, 200));
        p.drawEllipse(z);
        simbolo(p, QString::fromLatin1(b.simbolo), z, b.lato, kBianco);
    }
}

void MediaPlayerView::mousePressEvent(QMouseEvent* e)
{
    const QPointF pos = e->position();
    if (e->button() != Qt::LeftButton)
        return;
    if (cursoreAttivo() && zone_.value(Zona::cursore).contains(pos)) {
        trascinando_ = true;
        emit trascinamento(true);
        emit posizioneTrascinata(valoreCursore(pos.x()));
    }
}

void MediaPlayerView::mouseMoveEvent(QMouseEvent* e)
{
    if (trascinando_) {
        emit posizioneTrascinata(valoreCursore(e->position().x()));
        return;
    }
    const bool suPillola = zone_.value(Zona::apriNellaTacca).contains(e->position()) && mostraApri();
    setToolTip(suPillola ? titoloApri(*stato_.titoloVideoBrowser) : QString());
}

void MediaPlayerView::mouseReleaseEvent(QMouseEvent* e)
{
    const QPointF pos = e->position();
    if (trascinando_) {
        trascinando_ = false;
        const double valore = valoreCursore(pos.x());
        emit posizioneTrascinata(valore);
        emit trascinamento(false);
        emit seek(valore);
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    // A round button's hit area is its circle.
    auto dentro = [&](Zona z) {
        const QRectF r = zone_.value(z);
        if (r.isEmpty())
            return false;
        if (!nienteInRiproduzione(stato_) || z == Zona::apriNellaTacca)
            return r.contains(pos);
        const QPointF d = pos - r.center();
        return QPointF::dotProduct(d, d) <= r.width() * r.width() / 4;
    };
    if (dentro(Zona::precedente))
        emit previousTrack();
    else if (dentro(Zona::playPause))
        emit togglePlayPause();
    else if (dentro(Zona::successivo))
        emit nextTrack();
    else if (dentro(Zona::apriNellaTacca) && apriNellaTacca_)
        apriNellaTacca_();
}
