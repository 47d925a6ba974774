// Records one memo through the real backend until it is killed; says
// "registra" on standard output once the recording has started, so
// tst_RegistrazioneReale knows from when audio is being written.
// usage: registratore_prova <documents folder>
#include "BackendAudioQt.h"
#include "Clock.h"
#include "VoiceManager.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    BackendAudioQt audio;
    VoiceManager voce(audio, Clock::system(), app.arguments().at(1));
    QObject::connect(&voce, &VoiceManager::isRecordingChanged, &app, [&voce] {
        if (voce.isRecording()) {
            std::puts("registra");
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
