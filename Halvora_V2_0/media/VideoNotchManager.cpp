#include "VideoNotchManager.h"

VideoNotchManager::VideoNotchManager(QObject* parent) : QObject(parent) {}

void VideoNotchManager::valutaSessione(const std::optional<QString>&, const std::optional<Brano>&)
{
    // No player for the notch yet: nothing to offer.
}

void VideoNotchManager::accettaProposta(const std::optional<Brano>&)
{
    // No offer is ever pending without a player for the notch.
}

void VideoNotchManager::rifiutaProposta()
{
    if (!proposta_)
        return;
    rifiutate_.append(*proposta_);
    proposta_.reset();
    emit propostaChanged();
}

void VideoNotchManager::guardaNellaTacca(const Brano&)
{
    // No player for the notch yet.
}
