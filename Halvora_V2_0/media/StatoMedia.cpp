#include "StatoMedia.h"

#include "DisegnoMedia.h"
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

void TransizioneTinta::imposta(const std::optional<QColor>& nuova)
{
    if (!primo_ && nuova == verso_)
        return;
    const double ora = clock_.monotonic();
    da_ = primo_ ? nuova : attuale();
    verso_ = nuova;
    inizio_ = primo_ ? -1e9 : ora;
    primo_ = false;
    if (ora - inizio_ < kDurata)
        timer_ = clock_.repeating(1.0 / 30, [this] {
            if (clock_.monotonic() - inizio_ >= kDurata)
                timer_.cancel();
            if (ridisegna_)
                ridisegna_();
        });
}

std::optional<QColor> TransizioneTinta::attuale() const
{
    const double t = std::clamp((clock_.monotonic() - inizio_) / kDurata, 0.0, 1.0);
    if (t >= 1 || (!da_ && !verso_))
        return verso_;
    static const QEasingCurve curva(QEasingCurve::InOutQuad);
    // Fading from or to no tint fades the alpha of the one colour there is.
    const QColor a = da_.value_or(QColor(verso_->red(), verso_->green(), verso_->blue(), 0));
    const QColor b = verso_.value_or(QColor(da_->red(), da_->green(), da_->blue(), 0));
    return DisegnoMedia::mescola(a, b, curva.valueForProgress(t));
}
