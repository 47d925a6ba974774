#include "FakeAudio.h"
#include "FakeClock.h"
#include "VoiceManager.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Memo transcripts with the real recogniser and spoken test audio.
class TestVoiceManagerTrascrizioni : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    FakeBackendAudio audio_;
    FakeClock clock_;
    std::unique_ptr<TrascrittoreAudio> servizio_;
    std::unique_ptr<VoiceManager> m_;

    QString cartella() const { return dir_->filePath("Documents/VoiceMemos"); }
    QUrl memo(const QString& nome, const QString& audio = "frase.m4a")
    {
        const QString percorso = cartella() + "/" + nome + ".m4a";
        QFile::copy(QStringLiteral(HALVORA_AUDIO_PROVA "/") + audio, percorso);
        return QUrl::fromLocalFile(percorso);
    }
    void apri(const QString& modelli = TrascrittoreAudio::kCartellaModelli)
    {
        servizio_ = std::make_unique<TrascrittoreAudio>(TrascrittoreAudio::programmaPredefinito(), modelli);
        m_ = std::make_unique<VoiceManager>(audio_, clock_, dir_->filePath("Documents"));
        m_->setTrascrittore(servizio_->funzione());
        svuotaCoda();
    }
    void attendi()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_->trascrizioneInCorso().isEmpty(), 60000);
        svuotaCoda();
    }
    QStringList file() const { return QDir(cartella()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    static QString leggi(const QString& percorso)
    {
        QFile f(percorso);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QDir().mkpath(cartella());
    }
    void cleanup()
    {
        m_.reset();
        servizio_.reset();
    }

    void aDefaultNamedMemoTakesItsFirstWords()
    {
        memo("Spesa");
        const QUrl a = memo("Memo 8 Dec 14.05");
        apri();
        m_->transcribe(a);
        QCOMPARE(m_->trascrizioneInCorso(), a);
        attendi();
        QVERIFY(m_->errorMessage().isEmpty());
        const QStringList nomi = file();
        QCOMPARE(nomi.size(), 3);
        const QString titolo = QFileInfo(nomi.filter(".txt").value(0)).completeBaseName();
        const QString testo = leggi(cartella() + "/" + titolo + ".txt");
        QCOMPARE(titolo, testo.split(' ').mid(0, 6).join(' '));
        QVERIFY(nomi.contains(titolo + ".m4a"));
        QCOMPARE(m_->transcriptFor(QUrl::fromLocalFile(cartella() + "/" + titolo + ".m4a")), testo);

        // A name the user chose stays; the transcript goes beside it.
        m_->transcribe(QUrl::fromLocalFile(cartella() + "/Spesa.m4a"));
        attendi();
        QCOMPARE(leggi(cartella() + "/Spesa.txt"), testo);
        QCOMPARE(file().size(), 4);
    }

    void oneAtATimeAndNeverAHalfWrittenMemo()
    {
        const QUrl a = memo("Memo a");
        const QUrl b = memo("Memo b");
        apri();
        m_->transcribe(a);
        m_->transcribe(a);
        m_->transcribe(b);
        QCOMPARE(m_->trascrizioneInCorso(), a);
        QCOMPARE(servizio_->inCorso(), 1);
        attendi();
        QVERIFY(QFile::exists(cartella() + "/Memo b.m4a"));
        QCOMPARE(file().filter(".txt").size(), 1);

        // The memo being recorded is not offered.
        m_->startRecording();
        svuotaCoda();
        const QUrl nuovo = QUrl::fromLocalFile(audio_.registratori.last()->percorso());
        QVERIFY(m_->inScrittura(nuovo));
        m_->transcribe(nuovo);
        QVERIFY(m_->trascrizioneInCorso().isEmpty());
        m_->stopRecording();
        QVERIFY(m_->inScrittura(nuovo)); // until its file is closed
        audio_.registratori.last()->concludi(true);
        QVERIFY(!m_->inScrittura(nuovo));
    }

    void renameOrDeleteMeanwhileLeavesNoStrayFile()
    {
        const QUrl a = memo("Memo a");
        apri();
        m_->transcribe(a);
        m_->renameMemo(a, "Telefonata");
        const QUrl nuovo = QUrl::fromLocalFile(cartella() + "/Telefonata.m4a");
        QCOMPARE(m_->trascrizioneInCorso(), nuovo);
        attendi();
        QCOMPARE(file(), QStringList({"Telefonata.m4a", "Telefonata.txt"}));
        QVERIFY(!m_->transcriptFor(nuovo).isEmpty());

        const QUrl b = memo("Memo b");
        svuotaCoda();
        m_->transcribe(b);
        m_->deleteMemo(b);
        svuotaCoda();
        attendi();
        QCOMPARE(file(), QStringList({"Telefonata.m4a", "Telefonata.txt"}));
        QVERIFY(m_->errorMessage().isEmpty());
    }

    void aNameBeingTypedIsLeftToTheUser()
    {
        const QUrl a = memo("Memo a");
        apri();
        m_->setMemoInRinomina(a);
        m_->transcribe(a);
        attendi();
        QCOMPARE(file(), QStringList({"Memo a.m4a", "Memo a.txt"}));
    }

    void failuresGoToTheErrorMessage()
    {
        const QUrl muto = memo("Memo muto", "silenzio.m4a");
        apri();
        m_->transcribe(muto);
        attendi();
        QCOMPARE(m_->errorMessage(), QStringLiteral("Nessun parlato riconosciuto."));
        QCOMPARE(file(), QStringList({"Memo muto.m4a"}));

        // Without a model: unavailable, and the next request starts normally.
        apri(dir_->filePath("nessun-modello"));
        m_->transcribe(muto);
        QVERIFY(m_->errorMessage().isEmpty());
        attendi();
        QCOMPARE(m_->errorMessage(), QStringLiteral("Riconoscimento vocale non disponibile per questa lingua."));
        QCOMPARE(file(), QStringList({"Memo muto.m4a"}));
    }
};

QTEST_GUILESS_MAIN(TestVoiceManagerTrascrizioni)
#include "tst_VoiceManagerTrascrizioni.moc"
