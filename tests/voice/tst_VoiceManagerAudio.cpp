#include "FakeAudio.h"
#include "FakeClock.h"
#include "VoiceManager.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString negato = QStringLiteral("Accesso al microfono negato. Abilitalo in Impostazioni di Sistema.");
}

class TestVoiceManagerAudio : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeBackendAudio> audio_;
    std::unique_ptr<FakeClock> clock_;
    std::unique_ptr<VoiceManager> m_;

    QString cartella() const { return dir_->filePath("Documents/VoiceMemos"); }
    QStringList fileMemo() const { return QDir(cartella()).entryList(QDir::Files, QDir::Name); }
    FakeRegistratore* ultimo() const { return audio_->registratori.last().data(); }
    QUrl scriviMemo(const QString& nome)
    {
        QFile f(cartella() + "/" + nome);
        f.open(QIODevice::WriteOnly);
        f.write("audio");
        return QUrl::fromLocalFile(f.fileName());
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        audio_ = std::make_unique<FakeBackendAudio>();
        clock_ = std::make_unique<FakeClock>(QDateTime(QDate(2026, 12, 8), QTime(14, 5)));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        m_ = std::make_unique<VoiceManager>(*audio_, *clock_, dir_->filePath("Documents"));
        svuotaCoda();
    }
    void cleanup()
    {
        m_.reset();
        QLocale::setDefault(QLocale::system());
    }

    void recordsCountsAndStops()
    {
        m_->requestMicrophoneAndRecord();
        svuotaCoda();
        QVERIFY(m_->isRecording());
        QCOMPARE(fileMemo(), QStringList{"Memo 8 Dec 14.05.m4a"});
        clock_->advance(3.0);
        QCOMPARE(m_->recordingDuration(), 3.0);

        m_->stopRecording();
        svuotaCoda();
        QVERIFY(!m_->isRecording());
        QCOMPARE(m_->recordingDuration(), 0.0);
        QCOMPARE(clock_->pending(), 0);
        QCOMPARE(m_->recordings().size(), 1);
        // The file is closed later; the late end does not disturb the idle state.
        ultimo()->concludi(true);
        svuotaCoda();
        QVERIFY(!m_->isRecording());
        QCOMPARE(m_->recordings().size(), 1);
    }

    void aShortRecordingStillMakesAMemo()
    {
        m_->startRecording();
        svuotaCoda();
        clock_->advance(0.4);
        m_->stopRecording();
        svuotaCoda();
        QCOMPARE(m_->recordingDuration(), 0.0);
        QCOMPARE(m_->recordings().size(), 1);
    }

    void secondMemoOfTheMinuteGetsASuffix()
    {
        scriviMemo("Memo 8 Dec 14.05.m4a");
        m_->startRecording();
        svuotaCoda();
        QCOMPARE(QFileInfo(ultimo()->percorso()).fileName(), QStringLiteral("Memo 8 Dec 14.05 (2).m4a"));
    }

    void permission_data()
    {
        QTest::addColumn<int>("permesso");
        QTest::addColumn<int>("risposta"); // -1: no question asked
        QTest::addColumn<bool>("registra");
        QTest::newRow("granted") << int(PermessoMicrofono::autorizzato) << -1 << true;
        QTest::newRow("denied") << int(PermessoMicrofono::negato) << -1 << false;
        QTest::newRow("asked, granted") << int(PermessoMicrofono::nonDeterminato) << 1 << true;
        QTest::newRow("asked, refused") << int(PermessoMicrofono::nonDeterminato) << 0 << false;
    }
    void permission()
    {
        QFETCH(int, permesso);
        QFETCH(int, risposta);
        QFETCH(bool, registra);
        audio_->permesso = PermessoMicrofono(permesso);
        for (int volta = 0; volta < 2; ++volta) {
            m_->stopRecording();
            m_->requestMicrophoneAndRecord();
            QCOMPARE(audio_->richieste, risposta < 0 ? 0 : volta + 1);
            if (risposta >= 0)
                audio_->rispostaPendente(risposta == 1);
            svuotaCoda();
            QCOMPARE(m_->isRecording(), registra);
            QCOMPARE(m_->permissionDenied(), !registra);
            QCOMPARE(m_->errorMessage(), registra ? QString() : negato);
        }
        QCOMPARE(audio_->registratori.isEmpty(), !registra);
    }

    void failedStartsLeaveNoMemo_data()
    {
        QTest::addColumn<bool>("creazione");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("recorder not made") << true << "Registrazione non riuscita: guasto finto";
        QTest::newRow("recorder did not start") << false
                                                << "Impossibile avviare la registrazione. Controlla il microfono.";
    }
    void failedStartsLeaveNoMemo()
    {
        QFETCH(bool, creazione);
        QFETCH(QString, messaggio);
        (creazione ? audio_->falliscaCreazione : audio_->falliscaAvvio) = true;
        m_->requestMicrophoneAndRecord();
        svuotaCoda();
        QVERIFY(!m_->isRecording());
        QVERIFY(!m_->permissionDenied());
        QCOMPARE(m_->errorMessage(), messaggio);
        QCOMPARE(fileMemo(), QStringList{});
        QCOMPARE(clock_->pending(), 0);

        // The next good start clears the message.
        audio_->falliscaCreazione = audio_->falliscaAvvio = false;
        m_->requestMicrophoneAndRecord();
        svuotaCoda();
        QVERIFY(m_->isRecording());
        QVERIFY(m_->errorMessage().isEmpty());
    }

    void startingAgainFinishesTheRunningFile()
    {
        m_->startRecording();
        svuotaCoda();
        FakeRegistratore* primo = ultimo();
        clock_->advance(60.0);
        m_->startRecording();
        svuotaCoda();
        FakeRegistratore* secondo = ultimo();
        QVERIFY(primo != secondo);
        QCOMPARE(primo->fermate, 1);
        QVERIFY(secondo->attivo);
        QCOMPARE(fileMemo(), (QStringList{"Memo 8 Dec 14.05.m4a", "Memo 8 Dec 14.06.m4a"}));
        // The first file's end arrives late: the running recording keeps its state.
        primo->concludi(true);
        svuotaCoda();
        QVERIFY(m_->isRecording());
        clock_->advance(2.0);
        QCOMPARE(m_->recordingDuration(), 2.0);
        QCOMPARE(m_->recordings().size(), 2);
    }

    void aRecordingThatFailsEndsTheStateAndSaysWhy_data()
    {
        QTest::addColumn<bool>("conAudio");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("midway") << true << "Registrazione non riuscita: guasto finto";
        QTest::newRow("before the microphone sent anything")
            << false << "Impossibile avviare la registrazione. Controlla il microfono.";
    }
    void aRecordingThatFailsEndsTheStateAndSaysWhy()
    {
        QFETCH(bool, conAudio);
        QFETCH(QString, messaggio);
        m_->startRecording();
        svuotaCoda();
        clock_->advance(5.0);
        if (!conAudio) {
            ultimo()->avviato = false;
            QFile(ultimo()->percorso()).resize(0);
        }
        ultimo()->concludi(false);
        svuotaCoda();
        QVERIFY(!m_->isRecording());
        QCOMPARE(m_->recordingDuration(), 0.0);
        QCOMPARE(clock_->pending(), 0);
        QCOMPARE(m_->errorMessage(), messaggio);
        // What was recorded stays; an empty file does not.
        QCOMPARE(fileMemo().size(), conAudio ? 1 : 0);
    }

    void stopWithoutRecorderIsHarmless()
    {
        scriviMemo("a.m4a");
        QSignalSpy lista(m_.get(), &VoiceManager::recordingsChanged);
        m_->stopRecording();
        svuotaCoda();
        QVERIFY(!m_->isRecording());
        QCOMPARE(lista.count(), 1);
        QCOMPARE(m_->recordings().size(), 1);
    }

    void quittingFinishesTheFile_data()
    {
        QTest::addColumn<bool>("distruggi");
        QTest::newRow("quit notice") << false;
        QTest::newRow("manager released") << true;
    }
    void quittingFinishesTheFile()
    {
        QFETCH(bool, distruggi);
        m_->startRecording();
        svuotaCoda();
        QPointer<FakeRegistratore> r = ultimo();
        if (distruggi)
            m_.reset();
        else
            m_->concludiRegistrazioni();
        QVERIFY(r);
        QVERIFY(r->attesoAllaChiusura);
        QVERIFY(r->chiuso);
        QFile f(r->percorso());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("audio-fine"));
    }

    void playToggleAndSwitch()
    {
        const QUrl a = scriviMemo("a.m4a"), b = scriviMemo("b.m4a");
        m_->playMemo(a);
        svuotaCoda();
        QCOMPARE(m_->playingURL(), a);
        QPointer<FakeLettore> lettoreA = audio_->lettori.last();
        QCOMPARE(lettoreA->volume, 1.0f);
        QVERIFY(lettoreA->suona);

        m_->playMemo(a); // second press stops
        svuotaCoda();
        QVERIFY(m_->playingURL().isEmpty());

        m_->playMemo(a);
        svuotaCoda();
        lettoreA = audio_->lettori.last();
        m_->playMemo(b); // another memo switches
        // A's end is reported after B was asked for: B keeps playing.
        lettoreA->termina();
        svuotaCoda();
        QCOMPARE(m_->playingURL(), b);
        QVERIFY(!lettoreA || !lettoreA->suona);
        QPointer<FakeLettore> lettoreB = audio_->lettori.last();
        QVERIFY(lettoreB->suona);
        lettoreB->termina();
        svuotaCoda();
        QVERIFY(m_->playingURL().isEmpty());
    }

    // A memo gone, or a file the player cannot play (random bytes named
    // .m4a), says so instead of doing nothing.
    void anUnplayableMemoSaysSo_data()
    {
        QTest::addColumn<bool>("sparito");
        QTest::newRow("gone") << true;
        QTest::newRow("not playable") << false;
    }
    void anUnplayableMemoSaysSo()
    {
        QFETCH(bool, sparito);
        const QUrl a = sparito ? QUrl::fromLocalFile(cartella() + "/sparito.m4a") : scriviMemo("a.m4a");
        m_->playMemo(a);
        svuotaCoda();
        if (!sparito) {
            QCOMPARE(m_->playingURL(), a);
            QVERIFY(m_->errorMessage().isEmpty());
            audio_->lettori.last()->termina(false);
            svuotaCoda();
        }
        QVERIFY(m_->playingURL().isEmpty());
        QCOMPARE(m_->errorMessage(), QStringLiteral("Impossibile riprodurre il memo."));
    }

    void recordingStopsPlayback()
    {
        const QUrl a = scriviMemo("a.m4a");
        m_->playMemo(a);
        svuotaCoda();
        QPointer<FakeLettore> lettore = audio_->lettori.last();
        m_->startRecording();
        svuotaCoda();
        QVERIFY(m_->playingURL().isEmpty());
        QVERIFY(!lettore || !lettore->suona);
    }

    void writingIsRecordingStartsNothing()
    {
        m_->setIsRecording(true);
        svuotaCoda();
        QVERIFY(m_->isRecording());
        QVERIFY(audio_->registratori.isEmpty());
        QCOMPARE(clock_->pending(), 0);
    }
};

QTEST_GUILESS_MAIN(TestVoiceManagerAudio)
#include "tst_VoiceManagerAudio.moc"
