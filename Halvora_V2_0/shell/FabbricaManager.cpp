#include "FabbricaManager.h"

#include "AggiornamentoManager.h"
#include "ArchivioCalendario.h"
#include "ArchivioDesktop.h"
#include "ArchivioSistema.h"
#include "BackendAudioQt.h"
#include "CalendarioManager.h"
#include "CodaArchivio.h"
#include "CameraManager.h"
#include "ClipboardManager.h"
#include "ControlloBrowserLinux.h"
#include "FrontApplication.h"
#include "DownloadMonitor.h"
#include "DropManager.h"
#include "InvioKdeConnect.h"
#include "LettoreFeedHttps.h"
#include "MediaManager.h"
#include "NotificheDBus.h"
#include "PlayerTaccaAiutante.h"
#include "PomodoroManager.h"
#include "Pasteboard.h"
#include "SessioneDesktop.h"
#include "RisveglioLogind.h"
#include "SessioneCameraQt.h"
#include "SuonoAllarme.h"
#include "TrascrittoreAudio.h"
#include "UserDefaults.h"
#include "UsoIAMonitor.h"
#include "VideoNotchManager.h"
#include "VoiceManager.h"

#include <QCoreApplication>

namespace {

// The backends the managers use, made when their manager is.
struct Condivisi {
    std::unique_ptr<InvioKdeConnect> invio;
    std::unique_ptr<BackendAudioQt> audio;
    std::unique_ptr<TrascrittoreAudio> trascrittore;
    std::unique_ptr<NotificheDBus> notifiche;
    std::unique_ptr<SuonoAllarmeQt> suono;
    std::unique_ptr<Pasteboard> appunti;
    std::unique_ptr<LettoreFeedHttps> feed;
    std::unique_ptr<RisveglioLogind> risveglio;
    std::unique_ptr<ControlloBrowserLinux> browser;
    std::unique_ptr<PlayerTaccaAiutante> player;
};

} // namespace

FabbricaManager FabbricaManager::reale(Clock& clock, UserDefaults& impostazioni, FrontApplication& frontale,
                                       const DesktopEntries& applicazioni, Aggiornamenti aggiornamenti)
{
    auto c = std::make_shared<Condivisi>();
    FabbricaManager f;
    // One clipboard for the history and for the views that copy to it, so
    // the history sees their copies as any other.
    auto appunti = [c]() -> Pasteboard& {
        if (!c->appunti)
            c->appunti = SessioneDesktop::creaPasteboard();
        return *c->appunti;
    };
    f.appunti = appunti;
    f.applicazioni = &applicazioni;
    f.frontale = &frontale;
    f.drop = [c, &clock] {
        c->invio = std::make_unique<InvioKdeConnect>(clock);
        return std::make_unique<DropManager>(*c->invio, std::make_unique<CatturaSchermo>(clock));
    };
    f.voice = [c, &clock] {
        c->audio = std::make_unique<BackendAudioQt>();
        c->trascrittore = std::make_unique<TrascrittoreAudio>();
        auto voice = std::make_unique<VoiceManager>(*c->audio, clock);
        voice->setTrascrittore(c->trascrittore->funzione());
        return voice;
    };
    f.pomodoro = [c, &clock] {
        c->notifiche = std::make_unique<NotificheDBus>();
        c->suono = std::make_unique<SuonoAllarmeQt>();
        return std::make_unique<PomodoroManager>(clock, *c->notifiche, *c->suono);
    };
    f.media = [&clock, &impostazioni] {
        auto configurazione = ConfigurazioneMedia::daImpostazioni(impostazioni);
        configurazione.pidProprio = QCoreApplication::applicationPid();
        return std::make_unique<MediaManager>(clock, configurazione);
    };
    f.camera = [] { return std::make_unique<CameraManager>(std::make_unique<SessioneCameraQt>()); };
    f.clipboard = [appunti, &clock, &impostazioni, &frontale] {
        return std::make_unique<ClipboardManager>(appunti(), frontale, impostazioni, clock);
    };
    f.download = [&clock] { return std::make_unique<DownloadMonitor>(clock); };
    f.calendario = [&clock, &impostazioni] {
        auto archivio = std::make_shared<ArchivioSistema>(
            std::make_unique<ArchivioDesktop>(impostazioni.value(QStringLiteral("calendario.elencoPromemoria")).toString()),
            std::make_unique<ArchivioCalendario>(ArchivioCalendario::cartellaPredefinita()));
        return std::make_unique<CalendarioManager>(clock, impostazioni, std::move(archivio));
    };
    f.aggiornamento = [c, &clock, &impostazioni, aggiornamenti] {
        c->feed = std::make_unique<LettoreFeedHttps>(aggiornamenti.feed);
        c->risveglio = std::make_unique<RisveglioLogind>();
        return std::make_unique<AggiornamentoManager>(impostazioni, clock, *c->feed, c->risveglio.get(),
                                                      aggiornamenti.manager);
    };
    f.usoIA = [&clock, &impostazioni, &frontale] {
        return std::make_unique<UsoIAMonitor>(clock, impostazioni, frontale);
    };
    f.video = [c, &clock, &frontale, &applicazioni] {
        c->browser = std::make_unique<ControlloBrowserLinux>(applicazioni);
        c->player = std::make_unique<PlayerTaccaAiutante>(PlayerTaccaAiutante::predefinita());
        return std::make_unique<VideoNotchManager>(VideoNotchManager::Dipendenze{
            .clock = clock,
            .browser = *c->browser,
            .player = c->player.get(),
            .pidProprio = QCoreApplication::applicationPid(),
            .appAttiva = frontale.currentId(),
        });
    };
    return f;
}
