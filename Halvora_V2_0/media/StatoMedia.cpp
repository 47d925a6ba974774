#include "StatoMedia.h"

#include "MediaManager.h"

#include <QEasingCurve>

StatoMedia StatoMedia::da(const MediaManager& m)
{
    StatoMedia s;
    s.trackTitle = m.trackTitle();
    s.trackArtist = m.trackArtist();
    s.albumArt = m.albumArt();
    s.albumTint = m.albumTint();
    s.isPlaying = m.isPlaying();
    s.currentTime = m.currentTime();
    s.totalDuration = m.totalDuration();
    s.activeAppDisplayName = m.activeAppDisplayName();
    s.simboloSorgente = m.simboloSorgente();
    s.permetteSeek = m.permetteSeek();
    if (m.videoBrowser())
        s.titoloVideoBrowser = m.videoBrowser()->titolo;
    return s;
}

void TransizioneTinta::imposta(const std::optional<QColor>& nuova, double ora)
{
    if (!primo_ && nuova == verso_)
        return;
    da_ = primo_ ? nuova : a(ora);
    verso_ = nuova;
    inizio_ = primo_ ? -1e9 : ora;
    primo_ = false;
}

std::optional<QColor> TransizioneTinta::a(double ora) const
{
    const double t = std::clamp((ora - inizio_) / kDurata, 0.0, 1.0);
    if (t >= 1 || (!da_ && !verso_))
        return verso_;
    static const QEasingCurve curva(QEasingCurve::InOutQuad);
    const double k = curva.valueForProgress(t);
    // Fading from or to no tint fades the alpha of the one colour there is.
    QColor a = da_.value_or(QColor(verso_->red(), verso_->green(), verso_->blue(), 0));
    QColor b = verso_.value_or(QColor(da_->red(), da_->green(), da_->blue(), 0));
    auto mix = [k](float x, float y) { return float(x + (y - x) * k); };
    return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()), mix(a.blueF(), b.blueF()),
                            mix(a.alphaF(), b.alphaF()));
}
