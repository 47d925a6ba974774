#include "SuonoAllarme.h"

#include <QSoundEffect>
#include <QUrl>

SuonoAllarmeQt::SuonoAllarmeQt() : effetto_(std::make_unique<QSoundEffect>())
{
    effetto_->setSource(QUrl(QStringLiteral("qrc:/agenda/allarme.wav")));
}

SuonoAllarmeQt::~SuonoAllarmeQt() = default;

void SuonoAllarmeQt::suona()
{
    // Restart rather than overlap when the previous ring is still playing.
    effetto_->stop();
    effetto_->play();
}
