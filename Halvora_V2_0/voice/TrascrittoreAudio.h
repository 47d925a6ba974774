#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QProcess;

// Speech transcription of recorded audio with the offline recogniser
// (pocketsphinx), one model folder per language it can recognise. Each
// transcription runs in the recognition helper, a child process: a broken
// model can only take the helper down, and the GUI thread never waits. The
// audio never leaves this computer. Running helpers are killed at quit.
class TrascrittoreAudio : public QObject {
    Q_OBJECT
public:
    // What a transcription gave: the text, or why there is none.
    struct Esito {
        enum class Tipo { testo, fallita, permessoNegato, nonDisponibile };
        Tipo tipo = Tipo::nonDisponibile;
        QString testo; // the recognised text (never empty), or the failure message
    };
    using Risposta = std::function<void(Esito)>;
    // How the voice features call a transcriber: the file, whether it must
    // stay on this machine, and who learns the outcome (once, on any thread).
    using Funzione = std::function<void(const QString& percorso, bool soloSulDispositivo, Risposta fatto)>;

    // Where Debian's pocketsphinx packages put their language models.
    static inline const QString kCartellaModelli = QStringLiteral("/usr/share/pocketsphinx/model");

    // How long a helper may work before it counts as hung and is killed: a
    // fixed part (start, model, decoder) and a multiple of the audio's
    // length. Recognition here takes a fraction of the audio's length.
    struct Limite {
        int fissoMs = 60000;
        double perSecondoAudio = 3.0;
    };

    explicit TrascrittoreAudio(QObject* parent = nullptr);
    // `programma` is the helper to run; `cartellaModelli` holds the models.
    TrascrittoreAudio(QString programma, QString cartellaModelli, QObject* parent = nullptr);
    TrascrittoreAudio(QString programma, QString cartellaModelli, Limite limite, QObject* parent = nullptr);
    ~TrascrittoreAudio() override;

    // The helper beside the executable, else the one of the build tree.
    static QString programmaPredefinito();

    // Transcribes the file at `percorso`; `fatto` is called later, on the
    // GUI thread. Recognition is always local, so `soloSulDispositivo`
    // changes nothing. A helper that crashes, is killed or outlasts its
    // limit is a failure (`fallita`), not a missing language.
    void trascrivi(const QString& percorso, bool soloSulDispositivo, Risposta fatto);
    // This transcriber as a `Funzione`; once it is gone, the answer is `nonDisponibile`.
    Funzione funzione();
    // No recogniser at all: every answer is `nonDisponibile`.
    static Funzione nessuno();
    // Helpers running now.
    int inCorso() const;
    // Kills every running helper; their callers hear nothing more.
    void fermaTutto();

    // The helper's limit for an audio file (its length read from the file,
    // else guessed from its size).
    static int limiteMs(const QString& percorso, const Limite& limite);

    // The languages with a model, as identifiers like "en-US", sorted.
    static QStringList lingueSupportate(const QString& cartellaModelli = kCartellaModelli);
    // The folder of the model for `lingua` (one of lingueSupportate).
    static QString cartellaLingua(const QString& cartellaModelli, const QString& lingua);
    // The recogniser's language for the user's preferred languages, in order:
    // the first preference that a supported language matches exactly, else
    // one with its language code; failing all of them, the first English one.
    static std::optional<QString> localeRiconoscimento(const QStringList& preferite, const QStringList& supportate);
    // The recogniser's language named in itself ("American English"), or
    // "non disponibile" when there is none.
    static QString nomeLinguaRiconoscimento(const QStringList& preferite, const QStringList& supportate);
    // The same for the interface's languages and the installed models.
    static QString nomeLinguaRiconoscimento();

private:
    void concludi(QProcess* p, const Risposta& fatto, const Esito& esito);

    QString programma_;
    QString cartellaModelli_;
    Limite limite_;
    QList<QPointer<QProcess>> processi_;
};
