// Every store's save on a small file system that is really full (or
// read-only): the save is refused with a reason, the old content stays
// byte for byte, and nothing half-written is left beside it.
#include "ArchivioCalendario.h"
#include "AvvioAlLoginXdg.h"
#include "DiscoProva.h"
#include "DropManager.h"
#include "FakeAudio.h"
#include "FakeClock.h"
#include "FakeInvioVicino.h"
#include "FornitoreMime.h"
#include "SalvataggioSicuro.h"
#include "UserDefaults.h"
#include "VoiceManager.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

QByteArray leggi(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<illeggibile>");
}

void scrivi(const QString& percorso, const QByteArray& dati)
{
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(dati), dati.size());
}

// The names in a folder, hidden ones included, but the filler's.
QStringList voci(const QString& cartella)
{
    QStringList v = QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    v.removeAll(QStringLiteral(".riempimento"));
    return v;
}

} // namespace

class TestDiscoPieno : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const DiscoProva prova;
        if (!prova.montato())
            QSKIP(qPrintable(QStringLiteral("no small file system can be mounted here: ") + prova.errore()));
    }

    void aSaveOnAFullDiskKeepsTheOldFile()
    {
        DiscoProva disco;
        QVERIFY2(disco.montato(), qPrintable(disco.errore()));
        const QString file = disco.filePath(QStringLiteral("dati.txt"));
        scrivi(file, "contenuto di prima\n");
        disco.riempi();

        const auto errore = SalvataggioSicuro::salva(file, QByteArray(64 * 1024, 'n'));
        QVERIFY(errore);
        QCOMPARE(errore->codice, ENOSPC);
        QCOMPARE(errore->testo(), QStringLiteral("Spazio su disco esaurito."));
        QCOMPARE(leggi(file), QByteArray("contenuto di prima\n"));
        QCOMPARE(voci(disco.percorso()), QStringList{"dati.txt"});

        // A new file is refused the same way and leaves nothing.
        QVERIFY(SalvataggioSicuro::salvaNuovo(disco.filePath(QStringLiteral("nuovo.txt")), QByteArray(8192, 'n')));
        QCOMPARE(voci(disco.percorso()), QStringList{"dati.txt"});

        disco.libera();
        QVERIFY(!SalvataggioSicuro::salva(file, "dopo\n"));
        QCOMPARE(leggi(file), QByteArray("dopo\n"));
        QCOMPARE(voci(disco.percorso()), QStringList{"dati.txt"});
    }

    void aSaveKeepsModeAndLinkAndNeverReplacesWhenNew()
    {
        DiscoProva disco;
        QVERIFY2(disco.montato(), qPrintable(disco.errore()));
        const QString file = disco.filePath(QStringLiteral("privato.ini"));
        scrivi(file, "a=1\n");
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
        const QString link = disco.filePath(QStringLiteral("collegamento.ini"));
        QVERIFY(QFile::link(file, link));

        QVERIFY(!SalvataggioSicuro::salva(link, "a=2\n"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(leggi(file), QByteArray("a=2\n"));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);

        const auto preso = SalvataggioSicuro::salvaNuovo(file, "a=3\n");
        QVERIFY(preso);
        QCOMPARE(preso->codice, EEXIST);
        QCOMPARE(leggi(file), QByteArray("a=2\n"));
        QCOMPARE(voci(disco.percorso()), (QStringList{"collegamento.ini", "privato.ini"}));
    }

    void aSettingThatCannotBeKeptIsReported()
    {
        DiscoProva disco;
        QVERIFY2(disco.montato(), qPrintable(disco.errore()));
        const QString file = disco.filePath(QStringLiteral("Halvora.ini"));
        UserDefaults d(file);
        d.setValue(QStringLiteral("taccaDiscreta"), false);
        QVERIFY(d.sync());
        const QByteArray prima = leggi(file);
        disco.riempi();

        QSignalSpy fallito(&d, &UserDefaults::salvataggioFallito);
        // Saved on the worker after this turn of the event loop, and told back.
        d.setValue(QStringLiteral("taccaDiscreta"), true);
        d.setValue(QStringLiteral("clipboard.appEscluse"), QStringList{QString(8192, QLatin1Char('x')), "y"});
        QTRY_COMPARE(fallito.count(), 1);
        QCOMPARE(fallito.at(0).at(0).toString(), QStringLiteral("Spazio su disco esaurito."));
        QCOMPARE(leggi(file), prima);
        // It holds for this run.
        QCOMPARE(d.boolValue(QStringLiteral("taccaDiscreta")), std::optional<bool>(true));
        QVERIFY(!d.sync());
        QCOMPARE(leggi(file), prima);
        QCOMPARE(voci(disco.percorso()), QStringList{"Halvora.ini"});

        disco.libera();
        QVERIFY(d.sync());
        QCOMPARE(UserDefaults(file).boolValue(QStringLiteral("taccaDiscreta")), std::optional<bool>(true));
    }

    void aReminderThatCannotBeSavedLeavesTheListWhole()
    {
        DiscoProva disco;
        QVERIFY2(disco.montato(), qPrintable(disco.errore()));
        ArchivioCalendario archivio(disco.filePath(QStringLiteral("calendario")));
        const QDateTime ora(QDate(2026, 3, 2), QTime(9, 0));
        QCOMPARE(archivio.crea({"Latte", ora.addSecs(3600), RipetizionePromemoria::mai, 0}, ora).tipo,
                 EsitoCreazione::Tipo::creato);
        const QString elenco = *archivio.elencoPredefinito();
        const QByteArray prima = leggi(elenco);
        disco.riempi();

        const EsitoCreazione esito =
            archivio.crea({QString(20000, QLatin1Char('P')), ora.addSecs(7200), RipetizionePromemoria::ogniGiorno, 0}, ora);
        QCOMPARE(esito.tipo, EsitoCreazione::Tipo::nonSalvato);
        QCOMPARE(*esito.messaggio(), QStringLiteral("Promemoria non salvato: Spazio su disco esaurito."));
        const auto aperti = archivio.promemoria(ora.addDays(1)).elementi;
        QCOMPARE(aperti.size(), 1);
        const EsitoScrittura completato = archivio.completa(aperti.first().id, ora);
        QCOMPARE(completato.tipo, EsitoScrittura::Tipo::nonSalvato);
        QCOMPARE(completato.errore, QStringLiteral("Spazio su disco esaurito."));
        QCOMPARE(leggi(elenco), prima);
        QCOMPARE(voci(QFileInfo(elenco).path()), (QStringList{"Promemoria.ics", "archivio.ini"}));
    }

    void aTranscriptThatCannotBeSavedKeepsTheOldOneAndSaysSo()
    {
        DiscoProva disco;
        QVERIFY2(disco.montato(), qPrintable(disco.errore()));
        FakeClock orologio;
        FakeBackendAudio audio;
        VoiceManager voce(audio, orologio, disco.percorso());
        const QString memo = voce.memosFolder() + QStringLiteral("/Riunione.m4a");
        scrivi(memo, "audio");
        scrivi(voce.memosFolder() + QStringLiteral("/Riunione.txt"), "trascrizione di prima");
        voce.setTrascrittore([](const QString&, bool, TrascrittoreAudio::Risposta fatto) {
            fatto({TrascrittoreAudio::Esito::Tipo::testo, QString(20000, QLatin1Char('t'))});
        });
        disco.riempi();
        voce.transcribe(QUrl::fromLocalFile(memo));
        QTRY_COMPARE(voce.errorMessage(), QStringLiteral("Trascrizione non salvata: Spazio su disco esaurito."));
        QCOMPARE(leggi(voce.memosFolder() + QStringLiteral("/Riunione.txt")), QByteArray("trascrizione di prima"));
        QCOMPARE(voci(voce.memosFolder()), (QStringList{"Riunione.m4a", "Riunione.txt"}));
    }

    void anAutostartEntryThatCannotBeWrittenStaysAsItWas()
    {
        DiscoProva disco;
        QVERIFY2(disco.montato(), qPrintable(disco.errore()));
        const QString cartella = disco.filePath(QStringLiteral("autostart"));
        QVERIFY(!AvvioAlLoginXdg(cartella, QStringLiteral("/opt/halvora/halvora")).registra());
        const QByteArray prima = leggi(cartella + QStringLiteral("/halvora.desktop"));
        disco.riempi();
        AvvioAlLoginXdg spostata(cartella, QStringLiteral("/home/io/") + QString(8000, QLatin1Char('a')) + "/halvora");
        QCOMPARE(spostata.registra(), std::optional<QString>(QStringLiteral("Spazio su disco esaurito.")));
        QCOMPARE(leggi(cartella + QStringLiteral("/halvora.desktop")), prima);
        QVERIFY(spostata.registrato());
        QCOMPARE(voci(cartella), QStringList{"halvora.desktop"});
    }

    void aDropOnAFullDiskIsReportedAndLeavesNothing()
    {
        DiscoProva disco;
        QVERIFY2(disco.montato(), qPrintable(disco.errore()));
        QTemporaryDir sorgenti;
        QMimeData trascinati;
        QList<QUrl> file;
        for (const QString& nome : {QStringLiteral("a.bin"), QStringLiteral("b.bin")}) {
            scrivi(sorgenti.filePath(nome), QByteArray(64 * 1024, 'z'));
            file << QUrl::fromLocalFile(sorgenti.filePath(nome));
        }
        trascinati.setUrls(file);
        qputenv("XDG_DATA_HOME", QFile::encodeName(disco.percorso()));
        FakeInvioVicino invio;
        DropManager vassoio(invio);
        const QString tray = DropManager::trayFolder();
        QVERIFY(tray.startsWith(disco.percorso()));
        disco.riempi();

        QSignalSpy nonRiuscito(&vassoio, &DropManager::rilascioNonRiuscito);
        bool fatto = false;
        vassoio.handleProviderDrop(fornitoriDaMime(trascinati), [&] { fatto = true; });
        QTRY_VERIFY(fatto);
        QCOMPARE(nonRiuscito.count(), 1);
        QCOMPARE(nonRiuscito.at(0).at(0).toInt(), 2);
        QCOMPARE(nonRiuscito.at(0).at(1).toString(), QStringLiteral("Spazio su disco esaurito."));
        QVERIFY(vassoio.draggedFiles().isEmpty());
        QCOMPARE(voci(tray), QStringList());
    }

    void aReadOnlyCalendarShowsItsEventsAndRefusesWrites()
    {
        DiscoProva disco;
        QVERIFY2(disco.montato(), qPrintable(disco.errore()));
        const QString cartella = disco.filePath(QStringLiteral("calendario"));
        QVERIFY(QDir().mkpath(cartella));
        scrivi(cartella + QStringLiteral("/Lavoro.ics"),
               "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//prova//IT\r\n"
               "BEGIN:VEVENT\r\nUID:e1\r\nDTSTAMP:20260301T080000Z\r\nDTSTART:20260302T100000\r\n"
               "DTEND:20260302T110000\r\nSUMMARY:Riunione\r\nEND:VEVENT\r\n"
               "BEGIN:VTODO\r\nUID:t1\r\nDTSTAMP:20260301T080000Z\r\nDUE:20260302T090000\r\n"
               "SUMMARY:Chiamare\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
        const QByteArray prima = leggi(cartella + QStringLiteral("/Lavoro.ics"));
        QVERIFY(disco.soloLettura(true));

        ArchivioCalendario archivio(cartella);
        const QDateTime ora(QDate(2026, 3, 2), QTime(8, 0));
        const auto impegni = archivio.impegni(ora.addSecs(-8 * 3600), ora.addDays(1));
        QVERIFY(impegni.accesso);
        QCOMPARE(impegni.elementi.size(), 1);
        QCOMPARE(impegni.elementi.first().titolo, QStringLiteral("Riunione"));
        QCOMPARE(archivio.promemoria(ora.addDays(1)).elementi.size(), 1);
        const EsitoCreazione esito = archivio.crea({"Nuovo", ora, RipetizionePromemoria::mai, 0}, ora);
        QCOMPARE(esito.tipo, EsitoCreazione::Tipo::accessoNegato);
        QCOMPARE(*esito.messaggio(), QStringLiteral("Accesso ai Promemoria non concesso."));
        const EsitoScrittura completato = archivio.completa(QStringLiteral("t1"), ora);
        QCOMPARE(completato.tipo, EsitoScrittura::Tipo::nonSalvato);
        QCOMPARE(completato.errore, QStringLiteral("Il disco è in sola lettura."));
        QCOMPARE(leggi(cartella + QStringLiteral("/Lavoro.ics")), prima);
    }

    void aReadOnlyDiskRefusesWithItsReason()
    {
        DiscoProva disco;
        QVERIFY2(disco.montato(), qPrintable(disco.errore()));
        const QString file = disco.filePath(QStringLiteral("dati.txt"));
        scrivi(file, "prima\n");
        QVERIFY(disco.soloLettura(true));
        const auto errore = SalvataggioSicuro::salva(file, "dopo\n");
        QVERIFY(errore);
        QCOMPARE(errore->codice, EROFS);
        QCOMPARE(leggi(file), QByteArray("prima\n"));
    }
};

int main(int argc, char** argv)
{
    if (!DiscoProva::preparaProcesso())
        qWarning("no mount namespace of our own: the small disks will be refused");
    QApplication app(argc, argv);
    TestDiscoPieno t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_DiscoPieno.moc"
