#pragma once

#include <memory>

class BackendAudio;
class CalendarioManager;
class Clock;
class CompositorePromemoria;
class DettaturaVocale;
class TrascrittoreAudio;
class UserDefaults;

// The reminder composer with its dictation, through the desktop's audio and
// recogniser on this computer. The shell keeps one for the whole run and
// hands it to each calendar tab it builds: what the user typed (and a
// reminder the store refused) stays until it is saved or cleared, however
// often the tab is left.
class CompositoreConDettatura {
public:
    CompositoreConDettatura(CalendarioManager& manager, Clock& clock, UserDefaults& impostazioni);
    ~CompositoreConDettatura();

    CompositorePromemoria& compositore() const { return *compositore_; }

private:
    std::unique_ptr<BackendAudio> audio_;
    std::unique_ptr<TrascrittoreAudio> trascrittore_;
    std::unique_ptr<DettaturaVocale> dettatura_;
    std::unique_ptr<CompositorePromemoria> compositore_;
};
