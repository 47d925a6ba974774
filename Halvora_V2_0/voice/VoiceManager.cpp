#include "VoiceManager.h"

#include "Diagnostica.h"
#include "LettoreMp4.h"
#include "NomiMemo.h"
#include "SalvataggioSicuro.h"

#include <QCoreApplication>
#include <QPointer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThreadPool>
#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace {

// The transcript beside a memo, up to kLimiteTrascrizione bytes; empty when there is none.
QString leggiTrascrizione(const QString& percorsoMemo)
{
    QFile f(NomiMemo::percorsoTrascrizione(percorsoMemo));
    // A pipe or a device would keep the reading waiting for ever.
    if (!QFileInfo(f.fileName()).isFile() || !f.open(QIODevice::ReadOnly))
        return {};
    // A character cut in two at the end is left out, not shown broken.
    QStringDecoder utf8(QStringDecoder::Utf8);
    return utf8(f.read(VoiceManager::kLimiteTrascrizione));
}

// A recording without sound is this old at most while it still runs: the
// microphone's first audio comes within seconds, and a fragment each second after.
constexpr int kEtaRegistrazioneMuta = 30;

struct Elenco {
    QList<QUrl> memo; // newest first
    QHash<QUrl, QString> trascrizioni;
};

// The folder's memos and their transcripts. With `pulisci`, recordings cut
// off before their first sound (a kill, a crash) go: they are no memo and
// would keep their name taken.
Elenco leggiCartella(const QString& cartella, bool pulisci)
{
    // Broken links are listed too (System): their date cannot be read, so they sort last.
    const QFileInfoList voci =
        QDir(cartella).entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    struct Voce {
        QUrl url;
        QDateTime data;
    };
    std::vector<Voce> memo;
    const QDateTime vecchio = QDateTime::currentDateTime().addSecs(-kEtaRegistrazioneMuta);
    // A transcript whose save was cut off is made again by transcribing.
    if (pulisci)
        for (const SalvataggioSicuro::Avanzo& a : SalvataggioSicuro::avanzi(cartella))
            QFile::remove(a.percorso);
    for (const QFileInfo& f : voci) {
        // A pipe, a socket or a device is no memo (a broken link, whose date is unknown, is listed).
        if (f.suffix().toLower() != NomiMemo::estensione || (f.exists() && !f.isFile()))
            continue;
        // A recording that never held a sound (cut before its first second) is no memo.
        if (LettoreMp4::senzaSuono(f.absoluteFilePath())) {
            if (pulisci && f.lastModified() < vecchio
                && !QFileInfo::exists(NomiMemo::percorsoTrascrizione(f.absoluteFilePath()))) {
                diagnostica(QStringLiteral("Registrazione senza suono, eliminata: ") + f.absoluteFilePath());
                QFile::remove(f.absoluteFilePath());
            }
            continue;
        }
        memo.push_back({QUrl::fromLocalFile(f.absoluteFilePath()), f.lastModified()});
    }
    std::stable_sort(memo.begin(), memo.end(), [](const Voce& a, const Voce& b) {
        if (!a.data.isValid())
            return false;
        return !b.data.isValid() || a.data > b.data;
    });
    Elenco e;
    for (const Voce& v : memo) {
        e.memo << v.url;
        const QString testo = leggiTrascrizione(v.url.toLocalFile());
        if (!testo.isEmpty())
            e.trascrizioni.insert(v.url, testo);
    }
    return e;
}

} // namespace

VoiceManager::VoiceManager(BackendAudio& audio, Clock& clock, const QString& cartellaDocumenti, QObject* parent)
    : QObject(parent), audio_(audio), clock_(clock), documenti_(cartellaDocumenti)
{
    // A recording running at quit must still end in a complete file.
    if (auto* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &VoiceManager::concludiRegistrazioni);
    migrateLooseMemos();
    elenca(true);
}

VoiceManager::~VoiceManager() { concludiRegistrazioni(); }

QString VoiceManager::documentiPredefiniti()
{
    const QString dati = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dati.isEmpty())
        return QDir::tempPath();
    return dati + QStringLiteral("/Documents");
}

void VoiceManager::pubblica(void (VoiceManager::*segnale)())
{
    emit(this->*segnale)();
    emit cambiato();
}

void VoiceManager::setIsRecording(bool valore)
{
    isRecording_ = valore;
    pubblica(&VoiceManager::isRecordingChanged);
}

void VoiceManager::setTrascrizioneInCorso(const QUrl& url)
{
    trascrizioneInCorso_ = url;
    pubblica(&VoiceManager::trascrizioneInCorsoChanged);
}

void VoiceManager::impostaRecordings(QList<QUrl> valore)
{
    recordings_ = std::move(valore);
    pubblica(&VoiceManager::recordingsChanged);
}

void VoiceManager::impostaPlayingURL(const QUrl& valore)
{
    playingURL_ = valore;
    pubblica(&VoiceManager::playingURLChanged);
}

void VoiceManager::impostaDurata(double valore)
{
    recordingDuration_ = valore;
    pubblica(&VoiceManager::recordingDurationChanged);
}

void VoiceManager::impostaPermissionDenied(bool valore)
{
    permissionDenied_ = valore;
    pubblica(&VoiceManager::permissionDeniedChanged);
}

void VoiceManager::impostaErrore(const QString& valore)
{
    errorMessage_ = valore;
    pubblica(&VoiceManager::errorMessageChanged);
}

void VoiceManager::impostaTrascrizioni(QHash<QUrl, QString> valore)
{
    trascrizioni_ = std::move(valore);
    pubblica(&VoiceManager::trascrizioniChanged);
}

QString VoiceManager::memosFolder() const
{
    const QString cartella = documenti_ + QStringLiteral("/VoiceMemos");
    QDir().mkpath(cartella);
    return cartella;
}

QString VoiceManager::defaultMemoName() const { return NomiMemo::nomePredefinito(clock_.now()); }

void VoiceManager::loadRecordings() { elenca(false); }

void VoiceManager::elenca(bool pulisci)
{
    // Files others leave in the folder (huge or hostile ones too) are read
    // off the GUI thread; the last listing asked for is the one shown.
    const quint64 n = ++elenchiChiesti_;
    QPointer<VoiceManager> io(this);
    QThreadPool::globalInstance()->start([io, n, cartella = memosFolder(), pulisci] {
        Elenco e = leggiCartella(cartella, pulisci);
        QMetaObject::invokeMethod(
            io.data(),
            [io, n, e = std::move(e)]() mutable {
                if (!io || n < io->elencoMostrato_)
                    return;
                io->elencoMostrato_ = n;
                io->impostaRecordings(std::move(e.memo));
                io->impostaTrascrizioni(std::move(e.trascrizioni));
            },
            Qt::QueuedConnection);
    });
}

void VoiceManager::migrateLooseMemos()
{
    const QDir documenti(documenti_);
    if (!documenti.exists())
        return;
    const QString cartella = memosFolder();
    for (const QFileInfo& f : documenti.entryInfoList(QDir::Files | QDir::NoDotAndDotDot)) {
        if (f.suffix().toLower() != NomiMemo::estensione)
            continue;
        // A transcript already there under this name would attach itself to the moved memo.
        if (NomiMemo::nomeOccupato(cartella, f.completeBaseName()) || QFileInfo::exists(cartella + '/' + f.fileName()))
            continue;
        QFile::rename(f.absoluteFilePath(), cartella + QLatin1Char('/') + f.fileName());
    }
}

void VoiceManager::renameMemo(const QUrl& url, const QString& newName)
{
    const QFileInfo memo(url.toLocalFile());
    const QString ext = memo.suffix();
    const std::optional<QString> nome = NomiMemo::nomeDaRinomina(newName, ext);
    if (!nome)
        return;
    const QString cartella = memo.absolutePath();
    const QString destinazione = cartella + QLatin1Char('/') + *nome + QLatin1Char('.') + ext;
    if (QDir::cleanPath(destinazione) == QDir::cleanPath(memo.absoluteFilePath()))
        return;
    // The transcript moves along: an existing one under the new name is never overwritten.
    const QString trascrizioneNuova = NomiMemo::percorsoTrascrizione(destinazione);
    if (QFileInfo::exists(destinazione) || QFileInfo::exists(trascrizioneNuova)) {
        diagnostica(QStringLiteral("Errore rename: esiste già un file con nome ") + QFileInfo(destinazione).fileName());
        return;
    }
    if (playingURL_ == url)
        fermaLettore();
    // The transcript gets its new name as a second link before the memo
    // moves, and loses the old one after: a kill in between leaves the memo
    // with its transcript under one name or the other, never apart.
    const QString trascrizione = NomiMemo::percorsoTrascrizione(memo.absoluteFilePath());
    const bool collegata = ::link(QFile::encodeName(trascrizione).constData(),
                                  QFile::encodeName(trascrizioneNuova).constData()) == 0;
    QFile file(memo.absoluteFilePath());
    errno = 0;
    if (!file.rename(destinazione)) {
        diagnostica(QStringLiteral("Errore rename: ") + file.errorString());
        impostaErrore(tr("Memo non rinominato: %1").arg(SalvataggioSicuro::Errore{errno ? errno : EIO}.testo()));
        if (collegata)
            QFile::remove(trascrizioneNuova);
        return;
    }
    if (collegata)
        QFile::remove(trascrizione);
    else
        QFile::rename(trascrizione, trascrizioneNuova); // no transcript, or no hard links here
    // The new names last through a power cut.
    SalvataggioSicuro::sincronizzaCartella(cartella);
    // A transcript on its way follows the memo to its new name.
    if (trascrizioneInCorso_ == url)
        setTrascrizioneInCorso(QUrl::fromLocalFile(destinazione));
    loadRecordings();
}

void VoiceManager::deleteMemo(const QUrl& url)
{
    QMetaObject::invokeMethod(
        this,
        [this, url] {
            if (playingURL_ == url)
                fermaLettore();
            QFile file(url.toLocalFile());
            if (!file.remove()) {
                diagnostica(QStringLiteral("Errore eliminazione memo: ") + file.errorString());
                return;
            }
            QFile::remove(NomiMemo::percorsoTrascrizione(url.toLocalFile()));
            // Its transcript, still being made, goes with it.
            if (trascrizioneInCorso_ == url)
                trascrizioneScartata_ = true;
            if (trascrizioni_.contains(url)) {
                auto testi = trascrizioni_;
                testi.remove(url);
                impostaTrascrizioni(std::move(testi));
            }
            loadRecordings();
        },
        Qt::QueuedConnection);
}
