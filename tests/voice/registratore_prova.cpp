// Records one memo through the real backend until it is killed; says
// "registra <ms>" on standard output once the recording has started, with
// the moment on the monotonic clock, which tst_RegistrazioneReale shares:
// however late it reads the line, it knows from when audio was written.
// usage: registratore_prova <documents folder>
#include "BackendAudioQt.h"
#include "Clock.h"
#include "VoiceManager.h"

#include <QCoreApplication>
#include <cstdio>
#include <ctime>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    BackendAudioQt audio;
    VoiceManager voce(audio, Clock::system(), app.arguments().at(1));
    QObject::connect(&voce, &VoiceManager::isRecordingChanged, &app, [&voce] {
        if (voce.isRecording()) {
            timespec t{};
            clock_gettime(CLOCK_MONOTONIC, &t);
            std::printf("registra %lld\n", static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000);
            std::fflush(stdout);
        }
    });
    QObject::connect(&voce, &VoiceManager::errorMessageChanged, &app, [&voce] {
        if (voce.errorMessage().isEmpty())
            return;
        std::fprintf(stderr, "registratore_prova: %s\n", qPrintable(voce.errorMessage()));
        QCoreApplication::exit(3);
    });
    voce.requestMicrophoneAndRecord();
    return app.exec();
}
