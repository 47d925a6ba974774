// The root view's side of the notch video: what it hands the video manager,
// and its card, which resizes the slot.
#include "RootNotchView.h"

#include "FrontApplication.h"
#include "MediaManager.h"
#include "NotchStateManager.h"
#include "Processi.h"
#include "SlotScheda.h"
#include "UserDefaults.h"
#include "VideoNotchCardView.h"
#include "VideoNotchManager.h"

#include <QCoreApplication>

void RootNotchView::collegaVideo()
{
    VideoNotchManager* video = videoNotch_.get();
    if (MediaManager* media = mediaManager_.get()) {
        // The current browser sample, read again on every sync tick.
        QPointer<MediaManager> debole(media);
        video->setSessioneCorrente([debole]() -> std::optional<SorgenteSistema::Brano> {
            return debole ? debole->videoBrowser() : std::nullopt;
        });
        media->setComandoBrowser([video](const SorgenteSistema::Brano& b, std::function<void(bool)> esito) {
            video->comandoBrowser(b, std::move(esito));
        });
    }
    FrontApplication* frontale = servizi_.fabbrica.frontale;
    if (!frontale)
        return;
    connect(frontale, &FrontApplication::changed, this, [this, frontale] {
        const auto app = frontale->current();
        std::optional<QString> id;
        if (app) {
            // Our own windows (the panel, the video player) count as this application.
            const bool nostra = Processi::discendeDa(app->pid, QCoreApplication::applicationPid());
            id = nostra ? videoNotch_->idProprio() : app->desktopId;
        }
        videoNotch_->valutaSessione(id, mediaManager_ ? mediaManager_->videoBrowser() : std::nullopt);
    });
}

void RootNotchView::guardaVideoBrowser()
{
    const auto sessione = mediaManager_ ? mediaManager_->videoBrowser() : std::nullopt;
    if (!sessione || !videoNotch_)
        return;
    videoNotch_->guardaNellaTacca(*sessione);
    stato_.chiudiSubito();
}

QWidget* RootNotchView::creaSchedaVideo(QRectF& area)
{
    if (!videoNotch_)
        return nullptr;
    static const QString chiave = QStringLiteral("videoNotch.larghezza");
    UserDefaults& impostazioni = servizi_.impostazioni;
    bool numero = false;
    const double salvata = impostazioni.value(chiave, VideoNotchCardView::kLarghezzaPredefinita).toDouble(&numero);
    auto* v = new VideoNotchCardView(*videoNotch_, numero ? salvata : VideoNotchCardView::kLarghezzaPredefinita,
                                     [&impostazioni](double l) { impostazioni.setValue(chiave, l); });
    connect(v, &VideoNotchCardView::dimensioneChanged, this, [this, v] {
        if (slot_->scheda() == v) {
            slot_->aggiornaArea(v->rettangoloScheda());
            disponi();
        }
    });
    area = v->rettangoloScheda();
    return v;
}
