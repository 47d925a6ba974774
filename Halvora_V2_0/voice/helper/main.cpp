// halvora-riconoscimento: turns one recording into text with pocketsphinx.
// The audio comes on standard input (or as a file argument), is decoded to
// 16 kHz mono, brought up to a useful level, split at its pauses and
// recognised piece by piece; the text goes to standard output. Exit 0 with
// the text (empty: no speech), 3 when the audio cannot be read (the
// decoder's own message goes to standard error, for the log), 4 when there
// is no usable model.
#include "ContrattoRiconoscimento.h"
#include "SegnaleVoce.h"

#include <QAudioDecoder>
#include <QCoreApplication>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

#include <err.h>
#include <pocketsphinx.h>

namespace {

using ContrattoRiconoscimento::Esito;

constexpr int kFrequenza = 16000;
// A decoder that gives nothing for this long is stuck on a file it cannot read.
constexpr int kAttesaDecoderMs = 30000;

struct Audio {
    std::vector<float> campioni;
    QString errore; // the decoder's message; empty when decoded
};

Audio decodifica(QCoreApplication& app, const QString& file)
{
    Audio audio;
    QAudioDecoder decoder;
    QAudioFormat formato;
    formato.setSampleRate(kFrequenza);
    formato.setChannelCount(1);
    formato.setSampleFormat(QAudioFormat::Float);
    decoder.setAudioFormat(formato);
    decoder.setSource(QUrl::fromLocalFile(file));

    QTimer fermo;
    fermo.setSingleShot(true);
    fermo.setInterval(kAttesaDecoderMs);
    bool fallito = false;
    QObject::connect(&fermo, &QTimer::timeout, &app, [&] {
        fallito = true;
        app.exit();
    });
    QObject::connect(&decoder, &QAudioDecoder::bufferReady, &app, [&] {
        const QAudioBuffer b = decoder.read();
        fermo.start();
        if (b.format().sampleFormat() != QAudioFormat::Float || b.format().channelCount() != 1) {
            audio.errore = QStringLiteral("Unexpected audio format");
            fallito = true;
            app.exit();
            return;
        }
        const float* s = b.constData<float>();
        audio.campioni.insert(audio.campioni.end(), s, s + b.sampleCount());
    });
    QObject::connect(&decoder, &QAudioDecoder::finished, &app, [&] { app.exit(); });
    QObject::connect(&decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), &app, [&](QAudioDecoder::Error) {
        audio.errore = decoder.errorString();
        fallito = true;
        app.exit();
    });
    decoder.start();
    fermo.start();
    app.exec();
    decoder.stop();
    if (fallito && audio.errore.isEmpty())
        audio.errore = QStringLiteral("The audio could not be decoded");
    if (fallito)
        audio.campioni.clear();
    return audio;
}

void scrivi(const QString& testo)
{
    const QByteArray utf8 = testo.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    // Never outlive the application: a killed application takes its recognition along.
    const pid_t genitore = getppid();
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != genitore)
        return Esito::nonDisponibile;

    QCoreApplication app(argc, argv);
    const auto richiesta = ContrattoRiconoscimento::leggi(app.arguments().mid(1));
    if (!richiesta) {
        std::fputs("uso: halvora-riconoscimento --modello CARTELLA [FILE]  (audio da stdin senza FILE)\n", stderr);
        return Esito::nonDisponibile;
    }
    const auto modello = ContrattoRiconoscimento::trovaModello(richiesta->cartellaModello);
    if (!modello) {
        std::fputs("riconoscimento: nessun modello in quella cartella\n", stderr);
        return Esito::nonDisponibile;
    }

    // The file opened by the application, reopened by its descriptor: GStreamer seeks in it.
    Audio audio = decodifica(app, richiesta->file.isEmpty() ? QStringLiteral("/proc/self/fd/0") : richiesta->file);
    if (!audio.errore.isEmpty()) {
        std::fprintf(stderr, "riconoscimento: audio illeggibile: %s\n", audio.errore.toLocal8Bit().constData());
        return Esito::audioIlleggibile;
    }
    SegnaleVoce::normalizza(audio.campioni);
    const std::vector<SegnaleVoce::Tratto> tratti = SegnaleVoce::dividiAllePause(audio.campioni, kFrequenza);
    if (tratti.empty())
        return Esito::testo; // silence: nothing to say

    err_set_logfp(nullptr);
    cmd_ln_t* config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", qPrintable(modello->acustico), "-lm",
                                   qPrintable(modello->linguistico), "-dict", qPrintable(modello->dizionario),
                                   "-samprate", "16000", nullptr);
    if (!config)
        return Esito::nonDisponibile;
    ps_decoder_t* ps = ps_init(config);
    if (!ps) {
        cmd_ln_free_r(config);
        return Esito::nonDisponibile;
    }
    QStringList parole;
    for (const SegnaleVoce::Tratto& t : tratti) {
        const std::vector<int16_t> interi = SegnaleVoce::aInteri(audio.campioni, t);
        if (ps_start_utt(ps) < 0)
            break;
        ps_process_raw(ps, interi.data(), interi.size(), FALSE, TRUE);
        ps_end_utt(ps);
        int32 punteggio = 0;
        if (const char* ipotesi = ps_get_hyp(ps, &punteggio); ipotesi && *ipotesi)
            parole << QString::fromUtf8(ipotesi).simplified();
    }
    ps_free(ps);
    cmd_ln_free_r(config);
    scrivi(parole.join(QLatin1Char(' ')).trimmed());
    return Esito::testo;
}
