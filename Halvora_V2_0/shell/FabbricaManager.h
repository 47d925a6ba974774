#pragma once

#include "AggiornamentoManager.h"
#include "LettoreFeedHttps.h"

#include <QString>
#include <functional>
#include <memory>

class CalendarioManager;
class CameraManager;
class ClipboardManager;
class Clock;
class DownloadMonitor;
class DesktopEntries;
class DropManager;
class FrontApplication;
class MediaManager;
class Pasteboard;
class PomodoroManager;
class UserDefaults;
class UsoIAMonitor;
class VideoNotchManager;
class VoiceManager;

// How the root view builds the feature managers it owns. An empty entry
// leaves that manager out (views of a missing manager stay empty areas), so
// a view built without the running desktop starts no helper process, opens
// no folder and talks to no bus.
struct FabbricaManager {
    // How the update checker reads its feed and installs; its `rilancia`
    // opens another copy as a new instance (an installed update).
    struct Aggiornamenti {
        AggiornamentoManager::Opzioni manager;
        LettoreFeedHttps::Opzioni feed{LettoreFeedHttps::endpointPredefinito()};
    };

    template <class T>
    using Crea = std::function<std::unique_ptr<T>()>;

    Crea<DropManager> drop;
    Crea<VoiceManager> voice;
    Crea<PomodoroManager> pomodoro;
    Crea<MediaManager> media;
    Crea<CameraManager> camera;
    Crea<ClipboardManager> clipboard;
    Crea<DownloadMonitor> download;
    Crea<CalendarioManager> calendario;
    Crea<AggiornamentoManager> aggiornamento;
    Crea<UsoIAMonitor> usoIA;
    Crea<VideoNotchManager> video;

    // What the views share with the managers: the one clipboard, and the
    // installed applications. Without them the root view keeps a clipboard
    // of its own and knows no applications.
    std::function<Pasteboard&()> appunti;
    const DesktopEntries* applicazioni = nullptr;
    // The front application, whose changes may bring a video offer.
    FrontApplication* frontale = nullptr;

    // The managers of the running desktop. What they share (notification
    // service, clipboard, audio, nearby sending) lives as long as the
    // returned entries; `frontale` and `applicazioni` must outlive them.
    static FabbricaManager reale(Clock& clock, UserDefaults& impostazioni, FrontApplication& frontale,
                                 const DesktopEntries& applicazioni, Aggiornamenti aggiornamenti);
};
