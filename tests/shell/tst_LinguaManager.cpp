#include "LinguaManager.h"
#include "Traduzioni.h"
#include "UserDefaults.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Records what a relaunch asks of the application, in order, and holds
// the start's answer until the test gives it.
struct RiavvioFinto {
    QStringList passi;
    std::function<void(bool)> esito;

    LinguaManager::Riavvio riavvio()
    {
        LinguaManager::Riavvio r;
        r.rilasciaIstanza = [this] { passi << "rilascia"; };
        r.riprendiIstanza = [this] { passi << "riprendi"; };
        r.avviaIstanza = [this](std::function<void(bool)> e) {
            passi << "avvia";
            esito = std::move(e);
        };
        r.esci = [this] { passi << "esci"; };
        return r;
    }
};

class TestLinguaManager : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    int n = 0;
    QString nuovoFile() { return dir.filePath(QStringLiteral("l%1.ini").arg(++n)); }

private slots:
    void creationReadsTheChoiceAndWritesNothing_data()
    {
        QTest::addColumn<QVariant>("salvato");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("nothing stored") << QVariant() << "sistema";
        QTest::newRow("english") << QVariant("en") << "en";
        QTest::newRow("spanish") << QVariant("es") << "es";
        QTest::newRow("italian") << QVariant("it") << "it";
        QTest::newRow("unknown") << QVariant("de") << "sistema";
        QTest::newRow("empty") << QVariant("") << "sistema";
        QTest::newRow("wrong case") << QVariant("EN") << "sistema";
    }
    void creationReadsTheChoiceAndWritesNothing()
    {
        QFETCH(QVariant, salvato);
        QFETCH(QString, atteso);
        UserDefaults d(nuovoFile());
        if (salvato.isValid())
            d.setValue(LinguaManager::kChiaveLingua, salvato);
        QSignalSpy scritture(&d, &UserDefaults::changed);
        RiavvioFinto finto;
        LinguaManager m(d, finto.riavvio());
        QCOMPARE(m.sceltaRaw(), atteso);
        QVERIFY(!m.riavvioInCorso());
        QCOMPARE(scritture.count(), 0);
        QVERIFY(finto.passi.isEmpty());
        // An unknown value stays until the next change.
        QCOMPARE(d.value(LinguaManager::kChiaveLingua), salvato);
    }

    void choosingTheCurrentLanguageDoesNothing()
    {
        UserDefaults d(nuovoFile());
        d.setValue(LinguaManager::kChiaveLingua, "es");
        RiavvioFinto finto;
        LinguaManager m(d, finto.riavvio());
        QSignalSpy scritture(&d, &UserDefaults::changed);
        m.setScelta(LinguaInterfaccia::spagnolo);
        QCOMPARE(scritture.count(), 0);
        QVERIFY(finto.passi.isEmpty());
        QVERIFY(!m.riavvioInCorso());
    }

    void aChangeStoresItAndRelaunchesBeforeQuitting_data()
    {
        QTest::addColumn<QString>("prima");
        QTest::addColumn<int>("scelta");
        QTest::addColumn<QStringList>("lingueAvvio");
        QTest::newRow("it to en") << "it" << int(LinguaInterfaccia::inglese) << QStringList{"en"};
        QTest::newRow("system to es") << "" << int(LinguaInterfaccia::spagnolo) << QStringList{"es"};
        QTest::newRow("en to system") << "en" << int(LinguaInterfaccia::sistema) << QStringList{};
    }
    void aChangeStoresItAndRelaunchesBeforeQuitting()
    {
        QFETCH(QString, prima);
        QFETCH(int, scelta);
        QFETCH(QStringList, lingueAvvio);
        const QString file = nuovoFile();
        UserDefaults d(file);
        if (!prima.isEmpty()) {
            d.setValue(LinguaManager::kChiaveLingua, prima);
            d.setValue(LinguaManager::kChiaveLingueAvvio, QStringList{prima});
        }
        RiavvioFinto finto;
        LinguaManager m(d, finto.riavvio());
        m.setScelta(LinguaInterfaccia(scelta));

        // Stored on disk before the new instance starts, which reads the file.
        QSettings letto(file, QSettings::IniFormat);
        QCOMPARE(letto.value(LinguaManager::kChiaveLingua).toString(), Lingue::rawValue(LinguaInterfaccia(scelta)));
        if (lingueAvvio.isEmpty())
            QVERIFY(!letto.contains(LinguaManager::kChiaveLingueAvvio)); // removed, not an empty list
        QCOMPARE(d.stringList(LinguaManager::kChiaveLingueAvvio), lingueAvvio);
        QCOMPARE(LinguaManager::linguaAllAvvio(d), lingueAvvio.value(0));

        // The lock is let go, the new instance asked for, and nothing quits yet.
        QCOMPARE(finto.passi, (QStringList{"rilascia", "avvia"}));
        QVERIFY(m.riavvioInCorso());
        finto.esito(true);
        QCOMPARE(finto.passi, (QStringList{"rilascia", "avvia", "esci"}));
        QVERIFY(m.riavvioInCorso());
    }

    void aFailedStartKeepsThisInstance()
    {
        UserDefaults d(nuovoFile());
        d.setValue(LinguaManager::kChiaveLingua, "it");
        RiavvioFinto finto;
        LinguaManager m(d, finto.riavvio());
        QSignalSpy riavvio(&m, &LinguaManager::riavvioInCorsoChanged);
        m.setScelta(LinguaInterfaccia::inglese);
        finto.esito(false);
        QCOMPARE(finto.passi, (QStringList{"rilascia", "avvia", "riprendi"}));
        QVERIFY(!m.riavvioInCorso());
        QCOMPARE(riavvio.count(), 2);
        // The choice stays stored and takes effect at the next start.
        QCOMPARE(m.scelta(), LinguaInterfaccia::inglese);
        QCOMPARE(d.value(LinguaManager::kChiaveLingua).toString(), QStringLiteral("en"));
        QCOMPARE(LinguaManager::linguaAllAvvio(d), QStringLiteral("en"));
        // A later choice tries again.
        m.setScelta(LinguaInterfaccia::spagnolo);
        QCOMPARE(finto.passi.mid(3), (QStringList{"rilascia", "avvia"}));
    }

    void anAnswerAfterTheManagerIsGoneIsIgnored()
    {
        UserDefaults d(nuovoFile());
        RiavvioFinto finto;
        auto m = std::make_unique<LinguaManager>(d, finto.riavvio());
        m->setScelta(LinguaInterfaccia::inglese);
        m.reset();
        finto.esito(false);
        QCOMPARE(finto.passi, (QStringList{"rilascia", "avvia"}));
    }

    void theProcessLauncherAnswersLaterOnTheEventLoop_data()
    {
        QTest::addColumn<QString>("programma");
        QTest::addColumn<QStringList>("passi");
        QTest::newRow("started") << "/bin/true" << QStringList{"rilascia", "esci"};
        QTest::newRow("missing") << dir.filePath("non-esiste") << QStringList{"rilascia", "riprendi"};
    }
    void theProcessLauncherAnswersLaterOnTheEventLoop()
    {
        QFETCH(QString, programma);
        QFETCH(QStringList, passi);
        UserDefaults d(nuovoFile());
        QStringList fatti;
        LinguaManager::Riavvio r = LinguaManager::Riavvio::processoCorrente(programma);
        r.rilasciaIstanza = [&] { fatti << "rilascia"; };
        r.riprendiIstanza = [&] { fatti << "riprendi"; };
        auto esci = std::move(r.esci);
        QVERIFY(esci);
        r.esci = [&] { fatti << "esci"; };
        LinguaManager m(d, r);
        m.setScelta(LinguaInterfaccia::inglese);
        QCOMPARE(fatti, QStringList{"rilascia"}); // never inside the setter
        QTRY_COMPARE(fatti, passi);
        QCOMPARE(m.riavvioInCorso(), passi.contains("esci"));
    }

    void rawValuesAndLabels()
    {
        QCOMPARE(Lingue::tutte().size(), 4);
        for (LinguaInterfaccia l : Lingue::tutte())
            QCOMPARE(Lingue::daRawValue(Lingue::rawValue(l)), std::optional(l));
        QCOMPARE(Lingue::daRawValue("sistema "), std::nullopt);
        Traduzioni::installa("en");
        QCOMPARE(Lingue::etichetta(LinguaInterfaccia::sistema), QStringLiteral("System language"));
        QCOMPARE(Lingue::etichetta(LinguaInterfaccia::italiano), QStringLiteral("Italiano"));
        Traduzioni::installa("es");
        QCOMPARE(Lingue::etichetta(LinguaInterfaccia::sistema), QStringLiteral("Idioma del sistema"));
        QCOMPARE(Lingue::etichetta(LinguaInterfaccia::inglese), QStringLiteral("English"));
    }

    void nameOfTheDesktopLanguageIsInTheInterfaceLanguage()
    {
        // The desktop speaks Spanish; the interface shows English.
        qputenv("LANGUAGE", "es");
        qputenv("LC_ALL", "es_ES.UTF-8");
        qputenv("LANG", "es_ES.UTF-8");
        QLocale::setDefault(QLocale(QLocale::Spanish));
        if (Traduzioni::linguaEffettiva({}) != QLatin1String("es"))
            QSKIP("the system locale cannot be switched in this environment");
        Traduzioni::installa("en");
        QCOMPARE(LinguaManager::nomeLinguaDelSistema(), QStringLiteral("Spanish"));
        Traduzioni::installa("es");
        QCOMPARE(LinguaManager::nomeLinguaDelSistema(), QStringLiteral("Español"));
    }
};

QTEST_GUILESS_MAIN(TestLinguaManager)
#include "tst_LinguaManager.moc"
