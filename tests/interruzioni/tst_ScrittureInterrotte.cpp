// A writer killed with SIGKILL at random moments of a burst of writes
// through each store: afterwards every write reported saved is on disk
// whole, whatever else is there is whole too, nothing half-made is where
// the application looks, and what the kill left behind is gone (to its
// place, to the trash or away) once the store is next used.
#include "ArchivioCalendario.h"
#include "DropManager.h"
#include "Ical.h"
#include "NomiMemo.h"
#include "UserDefaults.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kGiri = 12;

QByteArray leggi(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
QString impronta(const QString& percorso)
{
    return QString::fromLatin1(QCryptographicHash::hash(leggi(percorso), QCryptographicHash::Sha256).toHex());
}
// The hidden entries of a folder: work files of the stores.
QStringList nascosti(const QString& cartella)
{
    return QDir(cartella).entryList({QStringLiteral(".*")}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// What a killed writer announced: each line split at its first blank.
struct Resoconto {
    QList<QStringList> iniziati, salvati;
};

} // namespace

class TestScrittureInterrotte : public QObject {
    Q_OBJECT
    QRandomGenerator caso;

    // Starts the writer on `cartella`, kills it at a random moment within
    // `massimoMs` of its first saved write, and returns what it had
    // announced by then.
    Resoconto interrompi(const QString& negozio, const QString& cartella, int massimoMs)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral(SCRITTORE), {negozio, cartella});
        QByteArray uscita;
        QDeadlineTimer scadenza(20000);
        while (!uscita.contains("\nsalvato ") && !scadenza.hasExpired() && p.waitForReadyRead(10000))
            uscita += p.readAllStandardOutput();
        QTest::qWait(int(caso.bounded(massimoMs)));
        p.kill();
        p.waitForFinished();
        uscita += p.readAllStandardOutput();
        Resoconto r;
        for (const QByteArray& riga : uscita.split('\n')) {
            const QString t = QString::fromUtf8(riga);
            const QString tipo = t.section(QLatin1Char(' '), 0, 0);
            const QStringList resto = t.section(QLatin1Char(' '), 1).split(QLatin1Char(' '));
            if (tipo == QLatin1String("inizio"))
                r.iniziati << resto;
            else if (tipo == QLatin1String("salvato"))
                r.salvati << resto;
        }
        if (p.exitStatus() != QProcess::CrashExit || r.salvati.isEmpty())
            qFatal("the writer saved nothing before the kill, or ended by itself");
        return r;
    }

private slots:
    void initTestCase()
    {
        const quint32 seme = QRandomGenerator::global()->generate();
        caso.seed(seme);
        qInfo("kill times drawn with seed %u", seme);
    }

    void tray()
    {
        QTemporaryDir cartella;
        const QString tray = cartella.filePath(QStringLiteral("Tray"));
        QSet<QString> possibili;
        for (int giro = 0; giro < kGiri; ++giro) {
            const Resoconto r = interrompi(QStringLiteral("vassoio"), cartella.path(), 400);
            for (const QStringList& i : r.iniziati)
                possibili << i[0];
            for (const QStringList& s : r.salvati)
                QCOMPARE(impronta(s.mid(1).join(QLatin1Char(' '))), s[0]);
            // The next start sends what never took its place to the trash.
            DropManager::ripulisciAvanzi(tray);
            QCOMPARE(nascosti(tray), QStringList());
            // Every item the tray holds is one whole file: in its own UUID
            // folder, or a link or image lying directly in the tray.
            for (const QFileInfo& voce : QDir(tray).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
                QString file = voce.absoluteFilePath();
                if (voce.isDir()) {
                    const QStringList dentro = QDir(file).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
                    QCOMPARE(dentro.size(), 1);
                    file += QLatin1Char('/') + dentro[0];
                }
                QVERIFY2(possibili.contains(impronta(file)), qPrintable(file));
            }
        }
    }

    void calendarAndReminders()
    {
        QTemporaryDir radice;
        // A folder the store makes itself, with its default reminder list.
        const QDir cartella(radice.filePath(QStringLiteral("calendario")));
        QStringList salvati;
        for (int giro = 0; giro < kGiri; ++giro) {
            const Resoconto r = interrompi(QStringLiteral("calendario"), cartella.path(), 600);
            for (const QStringList& s : r.salvati)
                salvati << s.join(QLatin1Char(' '));
            ArchivioCalendario archivio(cartella.path());
            // A save cut off after its calendar was whole counts: it takes its place.
            QVERIFY(archivio.promemoria(QDateTime(QDate(2030, 1, 1), QTime())).messiDaParte.isEmpty());
            QCOMPARE(nascosti(cartella.path()), QStringList());
            QVERIFY(archivio.elencoPredefinito());
            // Only the calendar itself is listed, and it reads whole.
            QCOMPARE(archivio.fileCalendari(), QStringList{cartella.filePath(QStringLiteral("Promemoria.ics"))});
            const Ical::Componente radice = Ical::leggi(leggi(archivio.fileCalendari()[0]));
            QVERIFY(radice && Ical::integro(radice.get()));
            QStringList letti;
            for (const Promemoria& p : archivio.promemoria(QDateTime(QDate(2030, 1, 1), QTime())).elementi)
                letti << p.titolo;
            for (const QString& s : salvati)
                QVERIFY2(letti.contains(s), qPrintable(s));
        }
    }

    void memoRenames()
    {
        QTemporaryDir cartella;
        const QString memo = cartella.filePath(QStringLiteral("VoiceMemos"));
        QDir().mkpath(memo);
        QHash<QString, QString> nomi; // memo number -> its name, as last known
        for (int k = 0; k < 4; ++k) {
            nomi.insert(QString::number(k), QStringLiteral("Memo %1").arg(k));
            for (const auto& [estensione, contenuto] : {std::pair{".m4a", "audio "}, std::pair{".txt", "testo "}}) {
                QFile f(memo + QStringLiteral("/Memo %1").arg(k) + QLatin1String(estensione));
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(QByteArray(contenuto) + QByteArray::number(k));
            }
        }
        for (int giro = 0; giro < kGiri; ++giro) {
            const Resoconto r = interrompi(QStringLiteral("memo"), cartella.path(), 300);
            QHash<QString, QString> possibili = nomi;
            for (const QStringList& s : r.salvati)
                nomi[s[0]] = possibili[s[0]] = s.mid(1).join(QLatin1Char(' '));
            const QStringList& ultimo = r.iniziati.last();
            // The rename under way at the kill may or may not have happened.
            const QString inCorso = ultimo.mid(1).join(QLatin1Char(' '));
            // Each memo is there once, under its last name or the one it was
            // being given, and its transcript is beside it.
            QStringList trovati;
            for (const QFileInfo& f : QDir(memo).entryInfoList({QStringLiteral("*.m4a")}, QDir::Files)) {
                const QString k = QString::fromLatin1(leggi(f.absoluteFilePath()).mid(6));
                trovati << k;
                QVERIFY2(f.completeBaseName() == nomi[k] || (k == ultimo[0] && f.completeBaseName() == inCorso),
                         qPrintable(f.fileName()));
                QCOMPARE(leggi(NomiMemo::percorsoTrascrizione(f.absoluteFilePath())), "testo " + k.toLatin1());
                nomi[k] = f.completeBaseName();
            }
            trovati.sort();
            QCOMPARE(trovati, QStringList({"0", "1", "2", "3"}));
        }
    }

    void settings()
    {
        QTemporaryDir cartella;
        const QString file = cartella.filePath(QStringLiteral("Halvora.ini"));
        for (int giro = 0; giro < kGiri; ++giro) {
            const Resoconto r = interrompi(QStringLiteral("impostazioni"), cartella.path(), 300);
            const int salvato = r.salvati.last()[0].toInt();
            {
                // The file is the one of a whole write: the counter and every key of that moment.
                UserDefaults letti(file);
                QCOMPARE(nascosti(cartella.path()), QStringList());
                const int contatore = letti.value(QStringLiteral("contatore")).toInt();
                QVERIFY(contatore == salvato || contatore == salvato + 1);
                for (int j = std::max(0, contatore - 9); j <= contatore; ++j)
                    QVERIFY(letti.value(QStringLiteral("chiave%1").arg(j % 10))
                                .toString()
                                .startsWith(QStringLiteral("valore %1 ").arg(j)));
                // And it takes writes again at once: no lock is left behind.
                letti.setValue(QStringLiteral("giro"), giro);
                letti.sync();
            }
            QCOMPARE(UserDefaults(file).value(QStringLiteral("giro")).toInt(), giro);
        }
    }
};

QTEST_GUILESS_MAIN(TestScrittureInterrotte)
#include "tst_ScrittureInterrotte.moc"
