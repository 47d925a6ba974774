#include "DettaturaVocale.h"
#include "FakeAudio.h"
#include "FakeClock.h"
#include "UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Esito = DettaturaVocale::Esito;

// The dictation on the fake audio backend and the fake clock, with a
// transcriber that answers only when the test says.
class TestDettaturaVocale : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<UserDefaults> impostazioni;
    std::unique_ptr<FakeBackendAudio> audio;
    FakeClock clock;

    struct Richiesta {
        QString percorso;
        bool soloSulDispositivo = false;
        std::function<void(Esito)> fatto;
    };
    QList<Richiesta> richieste;

    std::unique_ptr<DettaturaVocale> nuova()
    {
        return std::make_unique<DettaturaVocale>(*audio, clock, *impostazioni,
                                                 [this](const QString& p, bool solo, std::function<void(Esito)> f) {
                                                     richieste.append({p, solo, std::move(f)});
                                                 });
    }
    FakeRegistratore* ultimo() { return audio->registratori.isEmpty() ? nullptr : audio->registratori.last().data(); }

private slots:
    void init()
    {
        impostazioni = std::make_unique<UserDefaults>(dir.filePath(QStringLiteral("imp.ini")));
        impostazioni->setValue(QStringLiteral("trascrizioneSoloSulMac"), false);
        audio = std::make_unique<FakeBackendAudio>();
        richieste.clear();
    }
    // A dictation gone mid-recording removes its file once the recorder
    // closes it: the recorders a test left open close now (as failed, so
    // that they write nothing more).
    void cleanup()
    {
        for (const QPointer<FakeRegistratore>& r : std::as_const(audio->registratori))
            if (r && !r->chiuso)
                r->concludi(false);
    }

    void aDictationRecordsIntoATemporaryFileAndHandsBackTheText()
    {
        auto d = nuova();
        d->avvia();
        QVERIFY(d->inCorso());
        QVERIFY(!d->inElaborazione());
        const QFileInfo file(d->file());
        QCOMPARE(file.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        QVERIFY2(QRegularExpression(QStringLiteral("^dettatura-[0-9a-f-]{36}\\.m4a$")).match(file.fileName()).hasMatch(),
                 qPrintable(file.fileName()));
        QVERIFY(file.exists());

        // A second start while recording does nothing.
        d->avvia();
        QCOMPARE(audio->registratori.size(), 1);

        impostazioni->setValue(QStringLiteral("trascrizioneSoloSulMac"), true);
        std::optional<std::optional<QString>> risposta;
        d->fermaETrascrivi([&](std::optional<QString> t) { risposta = t; });
        QVERIFY(!d->inCorso());
        QVERIFY(d->inElaborazione());
        QCOMPARE(ultimo()->fermate, 1);
        // Transcribed only once the recorder has closed its file.
        QVERIFY(richieste.isEmpty());
        ultimo()->concludi(true);
        QCOMPARE(richieste.size(), 1);
        QCOMPARE(richieste[0].percorso, file.absoluteFilePath());
        QVERIFY(richieste[0].soloSulDispositivo);

        // Meanwhile nothing starts, and a second stop answers nothing at once.
        d->avvia();
        QCOMPARE(audio->registratori.size(), 1);
        bool seconda = false;
        d->fermaETrascrivi([&](std::optional<QString> t) { seconda = !t; });
        QVERIFY(seconda);

        richieste[0].fatto({Esito::Tipo::testo, QStringLiteral("comprare il pane")});
        QTRY_VERIFY(risposta.has_value());
        QCOMPARE(*risposta, std::optional<QString>(QStringLiteral("comprare il pane")));
        QVERIFY(!d->inElaborazione());
        QCOMPARE(d->errore(), std::nullopt);
        QVERIFY(!QFile::exists(file.absoluteFilePath()));
        QVERIFY(d->file().isEmpty());
    }

    void transcriptionFailuresLeaveTheirMessage_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("own failure") << int(Esito::Tipo::fallita) << QStringLiteral("Audio illeggibile");
        QTest::newRow("not allowed") << int(Esito::Tipo::permessoNegato)
                                     << QStringLiteral("Riconoscimento vocale non autorizzato.");
        QTest::newRow("unavailable") << int(Esito::Tipo::nonDisponibile)
                                     << QStringLiteral("Riconoscimento vocale non disponibile.");
    }
    void transcriptionFailuresLeaveTheirMessage()
    {
        QFETCH(int, tipo);
        QFETCH(QString, messaggio);
        auto d = nuova();
        d->avvia();
        const QString file = d->file();
        bool risposto = false;
        d->fermaETrascrivi([&](std::optional<QString> t) {
            risposto = true;
            QVERIFY(!t);
        });
        ultimo()->concludi(true);
        richieste[0].fatto({Esito::Tipo(tipo), QStringLiteral("Audio illeggibile")});
        QTRY_VERIFY(risposto);
        QCOMPARE(d->errore(), std::optional<QString>(messaggio));
        QVERIFY(!d->inElaborazione());
        QVERIFY(!QFile::exists(file));

        // The next start clears the message.
        d->avvia();
        QCOMPARE(d->errore(), std::nullopt);
    }

    void withoutARecogniserTheDefaultSaysSo()
    {
        DettaturaVocale d(*audio, clock, *impostazioni);
        d.avvia();
        const QString file = d.file();
        bool risposto = false;
        d.fermaETrascrivi([&](std::optional<QString> t) { risposto = !t; });
        ultimo()->concludi(true);
        QTRY_VERIFY(risposto);
        QCOMPARE(d.errore(), std::optional<QString>(QStringLiteral("Riconoscimento vocale non disponibile.")));
        QVERIFY(!d.inElaborazione());
        QVERIFY(!QFile::exists(file));
    }

    void theRecordingStopsByItselfAfterThirtySeconds()
    {
        auto d = nuova();
        d->avvia();
        clock.advance(29.9);
        QVERIFY(d->inCorso());
        clock.advance(0.1);
        QVERIFY(!d->inCorso());
        QVERIFY(d->inElaborazione());
        QCOMPARE(ultimo()->fermate, 1);
        ultimo()->concludi(true);
        QCOMPARE(richieste.size(), 1);
        const QString file = richieste[0].percorso;
        richieste[0].fatto({Esito::Tipo::nonDisponibile, {}});
        QTRY_VERIFY(!d->inElaborazione());
        QCOMPARE(d->errore(), std::optional<QString>(QStringLiteral("Riconoscimento vocale non disponibile.")));
        QVERIFY(!QFile::exists(file));
    }

    void aStopCancelsTheLimitSoALaterDictationRunsItsFullTime()
    {
        auto d = nuova();
        d->avvia();
        clock.advance(5);
        d->fermaETrascrivi();
        ultimo()->concludi(true);
        richieste[0].fatto({Esito::Tipo::testo, QStringLiteral("uno")});
        QTRY_VERIFY(!d->inElaborazione());

        d->avvia();
        QVERIFY(d->inCorso());
        clock.advance(26); // 31 s after the first start: the old limit must not stop this one
        QVERIFY(d->inCorso());
        QCOMPARE(richieste.size(), 1);
        clock.advance(4);
        QVERIFY(!d->inCorso());
    }

    void aRecorderThatNeverClosesIsTranscribedAfterAWhile()
    {
        auto d = nuova();
        d->avvia();
        d->fermaETrascrivi();
        clock.advance(DettaturaVocale::kAttesaChiusura - 0.1);
        QVERIFY(richieste.isEmpty());
        clock.advance(0.1);
        QCOMPARE(richieste.size(), 1);
        // A late close changes nothing more.
        ultimo()->concludi(true);
        QCOMPARE(richieste.size(), 1);
    }

    void aRecordingThatEndsByItselfIsTranscribed()
    {
        auto d = nuova();
        d->avvia();
        ultimo()->concludi(false); // the microphone went away
        QVERIFY(!d->inCorso());
        QCOMPARE(richieste.size(), 1);
        QCOMPARE(clock.pending(), 0); // neither the limit nor the close wait is left
    }

    void startFailures_data()
    {
        QTest::addColumn<int>("permesso");
        QTest::addColumn<bool>("creazioneFallita");
        QTest::addColumn<bool>("avvioFallito");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("microphone denied")
            << int(PermessoMicrofono::negato) << false << false << QStringLiteral("Microfono non autorizzato.");
        QTest::newRow("no recorder") << int(PermessoMicrofono::autorizzato) << true << false
                                     << QStringLiteral("guasto finto"); // the backend's own description
        QTest::newRow("recorder refuses") << int(PermessoMicrofono::autorizzato) << false << true
                                          << QStringLiteral("Impossibile avviare la dettatura.");
    }
    void startFailures()
    {
        QFETCH(int, permesso);
        QFETCH(bool, creazioneFallita);
        QFETCH(bool, avvioFallito);
        QFETCH(QString, messaggio);
        audio->permesso = PermessoMicrofono(permesso);
        audio->falliscaCreazione = creazioneFallita;
        audio->falliscaAvvio = avvioFallito;
        auto d = nuova();
        QSignalSpy inCorso(d.get(), &DettaturaVocale::inCorsoChanged);
        d->avvia();
        QCOMPARE(d->errore(), std::optional<QString>(messaggio));
        QVERIFY(!d->inCorso());
        QCOMPARE(inCorso.count(), 0);
        QCOMPARE(clock.pending(), 0);
        QVERIFY(d->file().isEmpty());
        if (ultimo()) // a start that failed leaves no file behind
            QVERIFY(!QFile::exists(ultimo()->percorso()));
    }

    void theMicrophoneQuestionIsAnsweredLater_data()
    {
        QTest::addColumn<bool>("concesso");
        QTest::newRow("granted") << true;
        QTest::newRow("refused") << false;
    }
    void theMicrophoneQuestionIsAnsweredLater()
    {
        QFETCH(bool, concesso);
        audio->permesso = PermessoMicrofono::nonDeterminato;
        auto d = nuova();
        d->avvia();
        d->avvia(); // asked once only
        QCOMPARE(audio->richieste, 1);
        QVERIFY(!d->inCorso());
        audio->rispostaPendente(concesso);
        QTRY_VERIFY(d->inCorso() || d->errore());
        QCOMPARE(d->inCorso(), concesso);
        QCOMPARE(d->errore(), concesso ? std::nullopt : std::optional<QString>(QStringLiteral("Microfono non autorizzato.")));
    }

    void closingTheViewMidDictationLeavesNoFile()
    {
        auto d = nuova();
        d->avvia();
        QPointer<FakeRegistratore> r = ultimo();
        const QString file = d->file();
        d.reset();
        QVERIFY(r && r->fermate == 1);
        r->concludi(true);
        QVERIFY(!QFile::exists(file));
        QTRY_VERIFY(!r); // released once closed
    }
};

QTEST_GUILESS_MAIN(TestDettaturaVocale)
#include "tst_DettaturaVocale.moc"
