#include "Processi.h"
#include "TrascrittoreAudio.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using Esito = TrascrittoreAudio::Esito;
using Tipo = Esito::Tipo;

namespace {

const QString kAudio = QStringLiteral(HALVORA_AUDIO_PROVA);

// Waits for the answer of one transcription.
Esito trascrivi(TrascrittoreAudio& t, const QString& percorso)
{
    std::optional<Esito> esito;
    t.trascrivi(percorso, false, [&esito](Esito e) { esito = e; });
    if (!QTest::qWaitFor([&] { return esito.has_value(); }, 60000))
        return {Tipo::fallita, QStringLiteral("no answer")};
    return *esito;
}

// Word error rate of `detto` against `atteso`, by edit distance over words.
double erroreParole(const QString& atteso, const QString& detto)
{
    const QStringList a = atteso.toLower().split(' ', Qt::SkipEmptyParts);
    const QStringList b = detto.toLower().split(' ', Qt::SkipEmptyParts);
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (int i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (int j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (int i = 1; i <= a.size(); ++i)
        for (int j = 1; j <= b.size(); ++j)
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
    return double(d[a.size()][b.size()]) / a.size();
}

// Our running recognition helpers.
QList<qint64> aiutanti()
{
    QList<qint64> pid;
    for (const QString& voce : QDir("/proc").entryList(QDir::Dirs)) {
        bool numero = false;
        const qint64 p = voce.toLongLong(&numero);
        if (numero && Processi::genitore(p) == QCoreApplication::applicationPid()
            && Processi::eseguibile(p).endsWith("halvora-riconoscimento"))
            pid << p;
    }
    return pid;
}

} // namespace

class TestTrascrittoreAudio : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    void recognisesSpeechOnThisComputer()
    {
        // Italian preferred, no Italian model: the English one is used.
        TrascrittoreAudio t;
        const Esito e = trascrivi(t, kAudio + "/frase.m4a");
        QCOMPARE(e.tipo, Tipo::testo);
        qInfo("recognised: %s", qPrintable(e.testo));
        QVERIFY2(erroreParole(HALVORA_FRASE_PROVA, e.testo) <= 0.25, qPrintable(e.testo));
        QCOMPARE(t.inCorso(), 0);
    }

    void failuresSayWhy()
    {
        TrascrittoreAudio t;
        const Esito muto = trascrivi(t, kAudio + "/silenzio.m4a");
        QCOMPARE(muto.tipo, Tipo::fallita);
        QCOMPARE(muto.testo, QStringLiteral("Nessun parlato riconosciuto."));

        // Whatever the decoder says (in English) about a file it cannot
        // read, the user reads our own text.
        QFile frase(kAudio + "/frase.m4a");
        QVERIFY(frase.open(QIODevice::ReadOnly));
        const QByteArray audio = frase.readAll();
        const QList<std::pair<QString, QByteArray>> illeggibili{
            {"tronco.m4a", audio.left(audio.size() / 2)},
            {"testo.m4a", "solo testo, nessun suono\n"},
            {"vuoto.m4a", {}},
        };
        for (const auto& [nome, contenuto] : illeggibili) {
            QFile f(dir_.filePath(nome));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contenuto);
            f.close();
            const Esito e = trascrivi(t, f.fileName());
            QCOMPARE(e.tipo, Tipo::fallita);
            QCOMPARE(e.testo, QStringLiteral("Impossibile leggere l'audio."));
        }
        const Esito assente = trascrivi(t, dir_.filePath("assente.m4a"));
        QCOMPARE(assente.tipo, Tipo::fallita);
        QCOMPARE(assente.testo, QStringLiteral("Impossibile leggere l'audio."));
    }

    void noUsableModelMeansUnavailable()
    {
        const QString frase = kAudio + "/frase.m4a";
        // No model folder at all.
        TrascrittoreAudio vuoto(TrascrittoreAudio::programmaPredefinito(), dir_.filePath("nessuno"));
        QCOMPARE(trascrivi(vuoto, frase).tipo, Tipo::nonDisponibile);

        // A damaged model takes only the helper down.
        const QString guasto = dir_.filePath("guasto/en-us");
        QVERIFY(QDir().mkpath(guasto + "/en-us"));
        for (const char* nome : {"en-us/mdef", "en-us/means", "en-us.lm.bin", "cmudict-en-us.dict"}) {
            QFile f(guasto + "/" + QString::fromLatin1(nome));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("rovinato");
        }
        TrascrittoreAudio rotto(TrascrittoreAudio::programmaPredefinito(), dir_.filePath("guasto"));
        QCOMPARE(trascrivi(rotto, frase).tipo, Tipo::nonDisponibile);

        // No helper.
        TrascrittoreAudio senza(dir_.filePath("halvora-riconoscimento"), TrascrittoreAudio::kCartellaModelli);
        QCOMPARE(trascrivi(senza, frase).tipo, Tipo::nonDisponibile);
    }

    void aHelperThatHangsOrDiesIsAFailure_data()
    {
        QTest::addColumn<QByteArray>("aiutante");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("hangs") << QByteArray("exec sleep 600") << "Il riconoscimento vocale non ha risposto in tempo.";
        // What it started goes with it, and what it says is never held beyond a bound.
        QTest::newRow("hangs with a child") << QByteArray("sleep 600 & echo $! > \"$0.figlio\"; exec sleep 600")
                                            << "Il riconoscimento vocale non ha risposto in tempo.";
        QTest::newRow("says too much") << QByteArray("exec yes parola") << "Il riconoscimento vocale si è interrotto.";
        QTest::newRow("killed") << QByteArray("kill -KILL $$") << "Il riconoscimento vocale si è interrotto.";
        QTest::newRow("crashes mid-work") << QByteArray("head -c 1000 >/dev/null; kill -SEGV $$")
                                          << "Il riconoscimento vocale si è interrotto.";
    }
    void aHelperThatHangsOrDiesIsAFailure()
    {
        QFETCH(QByteArray, aiutante);
        QFETCH(QString, messaggio);
        // A stand-in for the recognition helper, which tells its pid first.
        const QString programma = dir_.filePath("finto-" + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'));
        const QString pid = programma + ".pid";
        QFile f(programma);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\necho $$ > '" + pid.toLocal8Bit() + "'\n" + aiutante + "\n");
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        // Half a second, and as long again as the audio lasts.
        const TrascrittoreAudio::Limite limite{500, 1.0};
        TrascrittoreAudio t(programma, TrascrittoreAudio::kCartellaModelli, limite);
        const QString frase = kAudio + "/frase.m4a";
        QElapsedTimer tempo;
        tempo.start();
        const Esito e = trascrivi(t, frase);
        QCOMPARE(e.tipo, Tipo::fallita);
        QCOMPARE(e.testo, messaggio);
        QCOMPARE(t.inCorso(), 0);
        if (aiutante.contains("exec sleep")) {
            QCOMPARE_GE(tempo.elapsed(), TrascrittoreAudio::limiteMs(frase, limite));
            QCOMPARE_GE(TrascrittoreAudio::limiteMs(frase, limite), 500 + 2900);
        }
        // Killed, not left behind, with whatever it started (a zombie waiting
        // for its reaper counts as gone).
        for (const QString& file : {pid, programma + ".figlio"}) {
            QFile numero(file);
            if (file != pid && !aiutante.contains('&'))
                continue;
            QVERIFY(numero.open(QIODevice::ReadOnly));
            const QString stato = "/proc/" + numero.readAll().trimmed() + "/stat";
            const auto vivo = [&stato] {
                QFile f(stato);
                return f.open(QIODevice::ReadOnly)
                       && !QString::fromLatin1(f.readAll()).section(QLatin1Char(')'), -1).trimmed().startsWith('Z');
            };
            QTRY_VERIFY(!vivo());
        }
    }

    void aTranscriberGoneTakesItsHelpersAlong()
    {
        auto t = std::make_unique<TrascrittoreAudio>();
        bool risposto = false;
        t->trascrivi(kAudio + "/frase.m4a", false, [&risposto](Esito) { risposto = true; });
        QTRY_COMPARE(aiutanti().size(), 1);
        const TrascrittoreAudio::Funzione f = t->funzione();
        t.reset();
        QVERIFY(aiutanti().isEmpty());
        QTest::qWait(50);
        QVERIFY(!risposto);
        // A call through it afterwards is answered all the same.
        std::optional<Esito> dopo;
        f(kAudio + "/frase.m4a", false, [&dopo](Esito e) { dopo = e; });
        QVERIFY(dopo && dopo->tipo == Tipo::nonDisponibile);
    }
};

QTEST_GUILESS_MAIN(TestTrascrittoreAudio)
#include "tst_TrascrittoreAudio.moc"
