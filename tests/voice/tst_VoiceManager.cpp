#include "FakeAudio.h"
#include "FakeClock.h"
#include "NomiMemo.h"
#include "VoiceManager.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

void scrivi(const QString& percorso, const QByteArray& dati = "x", int oreFa = -1)
{
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(dati);
    f.flush();
    if (oreFa >= 0)
        f.setFileTime(QDateTime::currentDateTime().addSecs(-3600 * oreFa), QFileDevice::FileModificationTime);
}

QStringList nomi(const QList<QUrl>& urls)
{
    QStringList r;
    for (const QUrl& u : urls)
        r << u.fileName();
    return r;
}

} // namespace

class TestVoiceManager : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    FakeBackendAudio audio_;
    FakeClock clock_;

    QString documenti() const { return dir_->filePath("Documents"); }
    QString memo(const QString& nome) const { return documenti() + "/VoiceMemos/" + nome; }
    std::unique_ptr<VoiceManager> crea()
    {
        auto m = std::make_unique<VoiceManager>(audio_, clock_, documenti());
        svuotaCoda();
        return m;
    }
    QStringList fileMemo() const
    {
        return QDir(documenti() + "/VoiceMemos").entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QDir().mkpath(documenti() + "/VoiceMemos");
    }

    void listsMemosNewestFirst()
    {
        scrivi(memo("a.m4a"), "x", 3);
        scrivi(memo("b.m4a"), "x", 1);
        scrivi(memo("NOTE.M4A"), "x", 2);
        scrivi(memo("a.txt"), "ciao", 1);
        scrivi(memo("x.mp3"), "x", 0);
        scrivi(memo(".nascosto.m4a"), "x", 0);
        // A memo whose date cannot be read goes last.
        QVERIFY(QFile::link(dir_->filePath("sparito"), memo("rotto.m4a")));
        scrivi(memo("c.m4a"), "x", 5);
        // Files without a sound are no memos: empty, or an index without audio.
        scrivi(memo("vuoto.m4a"), "", 0);
        QVERIFY(QFile::copy(HALVORA_AUDIO_PROVA "/senza-audio.m4a", memo("muto.m4a")));
        auto m = crea();
        QCOMPARE(nomi(m->recordings()), (QStringList{"b.m4a", "NOTE.M4A", "a.m4a", "c.m4a", "rotto.m4a"}));
    }

    // Recordings cut off before their first sound (a kill in their first
    // second) are gone at the next start, and their names free again; one
    // that may still be starting, or that has a transcript, stays. None is listed.
    void recordingsWithoutSoundGoAtTheNextStart()
    {
        scrivi(memo("Memo.m4a"), "", 1);
        QVERIFY(QFile::copy(HALVORA_AUDIO_PROVA "/senza-audio.m4a", memo("Memo (2).m4a")));
        QFile muto(memo("Memo (2).m4a"));
        QVERIFY(muto.open(QIODevice::ReadWrite)
                && muto.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        scrivi(memo("appena.m4a"), "");
        scrivi(memo("trascritto.m4a"), "", 1);
        scrivi(memo("trascritto.txt"), "ciao");
        scrivi(memo(".salvataggio-Ab12Cd.trascritto.txt"), "cia");
        auto m = crea();
        QVERIFY(m->recordings().isEmpty());
        QCOMPARE(fileMemo(), (QStringList{"appena.m4a", "trascritto.m4a", "trascritto.txt"}));
        QCOMPARE(NomiMemo::riservaPercorsoUnico(m->memosFolder(), "Memo"), memo("Memo.m4a"));
    }

    void transcriptsComeFromTheirSidecars()
    {
        scrivi(memo("a.m4a"));
        scrivi(memo("a.txt"), "ciao a tutti");
        scrivi(memo("b.m4a"));
        scrivi(memo("b.txt"), "");
        scrivi(memo("orfano.txt"), "nessuno");
        // Of a huge one, its first part, without the character the cut splits.
        scrivi(memo("c.m4a"));
        const qint64 coppie = VoiceManager::kLimiteTrascrizione;
        scrivi(memo("c.txt"), "a" + QString(coppie, QChar(0xe8)).toUtf8());
        auto m = crea();
        QCOMPARE(m->trascrizioni().size(), 2);
        QCOMPARE(m->transcriptFor(QUrl::fromLocalFile(memo("a.m4a"))), QStringLiteral("ciao a tutti"));
        QVERIFY(m->transcriptFor(QUrl::fromLocalFile(memo("b.m4a"))).isEmpty());
        QCOMPARE(m->transcriptFor(QUrl::fromLocalFile(memo("c.m4a"))), "a" + QString((coppie - 1) / 2, QChar(0xe8)));
    }

    void missingFolderIsCreatedAndListsNothing()
    {
        QDir(documenti()).removeRecursively();
        auto m = crea();
        QVERIFY(m->recordings().isEmpty());
        QVERIFY(QDir(documenti() + "/VoiceMemos").exists());
    }

    void rename_data()
    {
        QTest::addColumn<QString>("nuovo");
        QTest::addColumn<QStringList>("attesi"); // files in the folder afterwards
        const QStringList invariati{"Memo 8 Dec 14.05.m4a", "Memo 8 Dec 14.05.txt", "altro.m4a", "orfano.txt"};
        QTest::newRow("name with blanks and upper-case extension")
            << "  Shopping list.M4A " << QStringList{"Shopping list.m4a", "Shopping list.txt", "altro.m4a", "orfano.txt"};
        QTest::newRow("own name") << "Memo 8 Dec 14.05" << invariati;
        QTest::newRow("taken by a memo") << "altro" << invariati;
        QTest::newRow("taken by an orphan transcript") << "orfano.m4a" << invariati;
    }
    void rename()
    {
        QFETCH(QString, nuovo);
        QFETCH(QStringList, attesi);
        scrivi(memo("Memo 8 Dec 14.05.m4a"));
        scrivi(memo("Memo 8 Dec 14.05.txt"), "la trascrizione");
        scrivi(memo("altro.m4a"), "altro audio");
        scrivi(memo("orfano.txt"), "di nessuno");
        auto m = crea();
        m->renameMemo(QUrl::fromLocalFile(memo("Memo 8 Dec 14.05.m4a")), nuovo);
        svuotaCoda();
        QStringList atteso = attesi;
        atteso.sort();
        QCOMPARE(fileMemo(), atteso);
        // Nothing was overwritten.
        QFile altro(memo("altro.m4a")), orfano(memo("orfano.txt"));
        QVERIFY(altro.open(QIODevice::ReadOnly) && orfano.open(QIODevice::ReadOnly));
        QCOMPARE(altro.readAll(), QByteArray("altro audio"));
        QCOMPARE(orfano.readAll(), QByteArray("di nessuno"));
        // The list and the transcripts follow the files.
        QCOMPARE(m->recordings().size(), 2);
        QCOMPARE(m->trascrizioni().size(), 1);
        QCOMPARE(m->trascrizioni().begin().value(), QStringLiteral("la trascrizione"));
    }

    void renameStopsThePlayingMemo()
    {
        scrivi(memo("a.m4a"));
        auto m = crea();
        const QUrl a = QUrl::fromLocalFile(memo("a.m4a"));
        m->playMemo(a);
        svuotaCoda();
        QCOMPARE(m->playingURL(), a);
        m->renameMemo(a, "b");
        svuotaCoda();
        QVERIFY(m->playingURL().isEmpty());
        QVERIFY(audio_.lettori.last().isNull() || !audio_.lettori.last()->suona);
        QCOMPARE(nomi(m->recordings()), QStringList{"b.m4a"});
    }

    void deleteRemovesMemoAndTranscript()
    {
        scrivi(memo("a.m4a"), "x", 1);
        scrivi(memo("a.txt"), "testo");
        scrivi(memo("b.m4a"), "x", 2);
        auto m = crea();
        const QUrl a = QUrl::fromLocalFile(memo("a.m4a"));
        m->playMemo(a);
        m->deleteMemo(a);
        // The deletion waits for the next turn of the event loop.
        QVERIFY(QFile::exists(memo("a.m4a")));
        svuotaCoda();
        QCOMPARE(fileMemo(), QStringList{"b.m4a"});
        QCOMPARE(nomi(m->recordings()), QStringList{"b.m4a"});
        QVERIFY(m->trascrizioni().isEmpty());
        QVERIFY(m->playingURL().isEmpty());
    }

    void deleteOfAMissingFileKeepsTheList()
    {
        scrivi(memo("a.m4a"));
        auto m = crea();
        QSignalSpy lista(m.get(), &VoiceManager::recordingsChanged);
        m->deleteMemo(QUrl::fromLocalFile(memo("sparito.m4a")));
        svuotaCoda();
        QCOMPARE(lista.count(), 0);
        QCOMPARE(nomi(m->recordings()), QStringList{"a.m4a"});
    }

    void looseMemosMoveIntoTheFolderOnce()
    {
        scrivi(documenti() + "/sciolto.m4a");
        scrivi(documenti() + "/VECCHIO.M4A");
        scrivi(documenti() + "/note.txt");
        scrivi(documenti() + "/doppio.m4a", "documenti");
        scrivi(memo("doppio.m4a"), "memo");
        scrivi(documenti() + "/orfano.m4a");
        scrivi(memo("orfano.txt"), "di un altro");
        QDir().mkpath(documenti() + "/sotto");
        scrivi(documenti() + "/sotto/annidato.m4a");
        scrivi(dir_->filePath("fuori.m4a")); // beside Documents: not ours to move
        auto m = crea();
        QCOMPARE(fileMemo(), (QStringList{"VECCHIO.M4A", "doppio.m4a", "orfano.txt", "sciolto.m4a"}));
        QCOMPARE(QDir(documenti()).entryList(QDir::Files, QDir::Name),
                 (QStringList{"doppio.m4a", "note.txt", "orfano.m4a"}));
        QVERIFY(QFile::exists(documenti() + "/sotto/annidato.m4a"));
        QVERIFY(QFile::exists(dir_->filePath("fuori.m4a")));
        QFile doppio(memo("doppio.m4a"));
        QVERIFY(doppio.open(QIODevice::ReadOnly));
        QCOMPARE(doppio.readAll(), QByteArray("memo"));
        QCOMPARE(m->recordings().size(), 3);
    }

    void defaultNameUsesTheClock()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        clock_.setNow(QDateTime(QDate(2026, 12, 8), QTime(14, 5)));
        auto m = crea();
        QCOMPARE(m->defaultMemoName(), QStringLiteral("Memo 8 Dec 14.05"));
        QLocale::setDefault(QLocale::system());
    }
};

QTEST_GUILESS_MAIN(TestVoiceManager)
#include "tst_VoiceManager.moc"
