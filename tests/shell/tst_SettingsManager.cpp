#include "AvvioAlLoginXdg.h"
#include "SettingsManager.h"
#include "UserDefaults.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Preferenza = SettingsManager::Preferenza;

class TestSettingsManager : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    int n = 0;

    QString nuovoFile() { return dir.filePath(QStringLiteral("s%1.ini").arg(++n)); }
    QString nuovaCartella() { return dir.filePath(QStringLiteral("autostart%1").arg(++n)); }
    static NotchGeometry::Posizione posizione(const QString& bundle = QStringLiteral("/opt/halvora"))
    {
        NotchGeometry::Posizione p;
        p.bundle = bundle;
        p.eseguibile = bundle + QStringLiteral("/halvora");
        return p;
    }

private slots:
    void firstStartWritesEveryPreferenceWithItsDefault_data()
    {
        QTest::addColumn<int>("preferenza");
        QTest::addColumn<bool>("atteso");
        const std::pair<Preferenza, bool> casi[] = {
            {Preferenza::mostraSchedaMedia, true},      {Preferenza::annunciaFileScaricati, true},
            {Preferenza::mostraSchedaTimer, true},      {Preferenza::trascrizioneSoloSulMac, false},
            {Preferenza::mostraProssimoImpegno, true},  {Preferenza::mostraUsoIA, true},
            {Preferenza::scorciatoiaTaccaAttiva, true}, {Preferenza::taccaDiscreta, false},
        };
        for (auto [p, v] : casi)
            QTest::newRow(qPrintable(SettingsManager::chiave(p))) << static_cast<int>(p) << v;
    }
    void firstStartWritesEveryPreferenceWithItsDefault()
    {
        QFETCH(int, preferenza);
        QFETCH(bool, atteso);
        const QString file = nuovoFile();
        AvvioAlLoginXdg login(nuovaCartella(), "/opt/halvora/halvora");
        {
            UserDefaults d(file);
            SettingsManager s(d, login, posizione());
            QCOMPARE(s.valore(Preferenza(preferenza)), atteso);
        }
        // On disk, readable by anyone who reads the store rather than the model.
        QSettings letto(file, QSettings::IniFormat);
        const QString k = SettingsManager::chiave(Preferenza(preferenza));
        QVERIFY(letto.contains(k));
        QCOMPARE(letto.value(k).toBool(), atteso);
    }

    void storedValuesAreReadThenWrittenBack_data()
    {
        QTest::addColumn<QString>("chiave");
        QTest::addColumn<QVariant>("salvato");
        QTest::addColumn<bool>("atteso");
        QTest::newRow("a stored false stays false") << "mostraSchedaMedia" << QVariant(false) << false;
        QTest::newRow("a stored true off by default") << "taccaDiscreta" << QVariant(true) << true;
        QTest::newRow("hot key: a string reads true") << "scorciatoiaTaccaAttiva" << QVariant("acceso") << true;
        QTest::newRow("hot key: a stored false") << "scorciatoiaTaccaAttiva" << QVariant(false) << false;
        QTest::newRow("other key: a string reads false") << "mostraUsoIA" << QVariant("acceso") << false;
        QTest::newRow("a number reads as Boolean") << "trascrizioneSoloSulMac" << QVariant(1) << true;
    }
    void storedValuesAreReadThenWrittenBack()
    {
        QFETCH(QString, chiave);
        QFETCH(QVariant, salvato);
        QFETCH(bool, atteso);
        UserDefaults d(nuovoFile());
        d.setValue(chiave, salvato);
        AvvioAlLoginXdg login(nuovaCartella(), "/opt/halvora/halvora");
        SettingsManager s(d, login, posizione());
        QCOMPARE(s.property(qPrintable(chiave)).toBool(), atteso);
        // The stored object is now a Boolean equal to the property.
        QCOMPARE(d.boolValue(chiave), std::optional<bool>(atteso));
    }

    void everyAssignmentWritesAndNotifies()
    {
        UserDefaults d(nuovoFile());
        AvvioAlLoginXdg login(nuovaCartella(), "/opt/halvora/halvora");
        SettingsManager s(d, login, posizione());
        QSignalSpy scritture(&d, &UserDefaults::changed);
        QSignalSpy notifica(&s, &SettingsManager::taccaDiscretaChanged);
        QSignalSpy altra(&s, &SettingsManager::mostraUsoIAChanged);
        s.setTaccaDiscreta(false); // already false
        s.setTaccaDiscreta(true);
        QCOMPARE(scritture.count(), 2);
        QCOMPARE(scritture.at(0).at(0).toString(), QStringLiteral("taccaDiscreta"));
        QCOMPARE(notifica.count(), 2);
        QCOMPARE(altra.count(), 0);
        QCOMPARE(d.boolValue("taccaDiscreta"), std::optional<bool>(true));
        // The model never reads the store again after construction.
        d.setValue("taccaDiscreta", false);
        QVERIFY(s.taccaDiscreta());
    }

    void autostartEntryFollowsTheSwitch()
    {
        UserDefaults d(nuovoFile());
        const QString eseguibile = QStringLiteral("/opt/Hal vora/bin$1/halvora");
        AvvioAlLoginXdg login(nuovaCartella(), eseguibile);
        SettingsManager s(d, login, posizione());
        QVERIFY(!s.launchAtLogin());
        QVERIFY(s.avvioAlLoginDisponibile());
        // A clean first start neither creates nor reports anything.
        QVERIFY(!QFile::exists(login.percorsoVoce()));
        QVERIFY(s.erroreAvvioAlLogin().isEmpty());

        s.setLaunchAtLogin(true);
        QVERIFY(s.launchAtLogin());
        QVERIFY(s.erroreAvvioAlLogin().isEmpty());
        QVERIFY(login.registrato());
        QFile f(login.percorsoVoce());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString voce = QString::fromUtf8(f.readAll());
        QVERIFY(voce.startsWith("[Desktop Entry]\n"));
        QVERIFY2(voce.contains(R"(Exec="/opt/Hal vora/bin\\$1/halvora")"), qPrintable(voce));

        // A later start mirrors the entry.
        SettingsManager riaperto(d, login, posizione());
        QVERIFY(riaperto.launchAtLogin());

        s.setLaunchAtLogin(false);
        QVERIFY(!QFile::exists(login.percorsoVoce()));
        QVERIFY(!s.launchAtLogin());
        QVERIFY(s.erroreAvvioAlLogin().isEmpty());
    }

    void aDisabledEntryReadsOffAndIsLeftAlone_data()
    {
        QTest::addColumn<QString>("riga");
        QTest::newRow("hidden") << "Hidden=true";
        QTest::newRow("disabled") << "X-GNOME-Autostart-enabled=false";
    }
    void aDisabledEntryReadsOffAndIsLeftAlone()
    {
        QFETCH(QString, riga);
        const QString cartella = nuovaCartella();
        QVERIFY(QDir().mkpath(cartella));
        AvvioAlLoginXdg login(cartella, "/opt/halvora/halvora");
        const QByteArray contenuto = "[Desktop Entry]\nType=Application\nExec=halvora\n" + riga.toUtf8() + "\n";
        QFile f(login.percorsoVoce());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contenuto);
        f.close();
        UserDefaults d(nuovoFile());
        SettingsManager s(d, login, posizione());
        QVERIFY(!s.launchAtLogin());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), contenuto);
    }

    void unwritableAutostartFolderShowsTheErrorAndPutsTheSwitchBack()
    {
        // A file where the folder should be: unwritable even for root.
        QFile blocco(dir.filePath("bloccato"));
        QVERIFY(blocco.open(QIODevice::WriteOnly));
        blocco.close();
        AvvioAlLoginXdg login(blocco.fileName() + "/autostart", "/opt/halvora/halvora");
        UserDefaults d(nuovoFile());
        SettingsManager s(d, login, posizione());
        QSignalSpy interruttore(&s, &SettingsManager::launchAtLoginChanged);

        s.setLaunchAtLogin(true);
        QVERIFY(!s.launchAtLogin());
        QCOMPARE(interruttore.count(), 2); // on, then back off
        QVERIFY(!s.erroreAvvioAlLogin().isEmpty());

        // The next success clears the text.
        QVERIFY(QFile::remove(blocco.fileName()));
        s.setLaunchAtLogin(true);
        QVERIFY(s.launchAtLogin());
        QVERIFY(s.erroreAvvioAlLogin().isEmpty());
    }

    void temporaryLocationNeverTouchesTheSystem_data()
    {
        QTest::addColumn<QString>("bundle");
        QTest::newRow("mounted volume") << "/Volumes/Halvora";
        QTest::newRow("translocated") << "/private/var/AppTranslocation/X/d/Halvora";
    }
    void temporaryLocationNeverTouchesTheSystem()
    {
        QFETCH(QString, bundle);
        UserDefaults d(nuovoFile());
        AvvioAlLoginXdg login(nuovaCartella(), "/opt/halvora/halvora");
        SettingsManager s(d, login, posizione(bundle));
        QVERIFY(!s.avvioAlLoginDisponibile());
        s.setLaunchAtLogin(true);
        QVERIFY(s.launchAtLogin());
        QVERIFY(!QFile::exists(login.percorsoVoce()));
        QVERIFY(s.erroreAvvioAlLogin().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettingsManager)
#include "tst_SettingsManager.moc"
