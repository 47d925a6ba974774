#include "SuonoAllarme.h"

#include <QSoundEffect>
#include <QUrl>

SuonoAllarmeQt::SuonoAllarmeQt() = default;

SuonoAllarmeQt::~SuonoAllarmeQt() = default;

void SuonoAllarmeQt::suona()
{
    // Made at the first ring: the sound brings up the whole multimedia
    // stack, which a notch that never rings should not carry.
    if (!effetto_) {
        effetto_ = std::make_unique<QSoundEffect>();
        effetto_->setSource(QUrl(QStringLiteral("qrc:/agenda/allarme.wav")));
    }
    // Restart rather than overlap when the previous ring is still playing.
    effetto_->stop();
    effetto_->play();
}
