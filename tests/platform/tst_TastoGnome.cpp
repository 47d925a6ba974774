#include "TastoGnome.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

// GNOME's custom shortcut for the hot key, in the desktop's own settings
// store (dconf, started on this test's private bus), read back with the
// desktop's own tool.
class TestTastoGnome : public QObject {
    Q_OBJECT
    const QString lista = QStringLiteral("org.gnome.settings-daemon.plugins.media-keys");
    const QString voce = lista + QStringLiteral(".custom-keybinding:") + TastoGnome::kPercorso;
    const QStringList comando = {QStringLiteral("/opt/Halvora.app/halvora"), QStringLiteral("--apri-chiudi")};

    static QString gsettings(const QStringList& argomenti)
    {
        QProcess p;
        p.start(QStringLiteral("gsettings"), argomenti);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    bool inElenco() { return gsettings({"get", lista, "custom-keybindings"}).contains(TastoGnome::kPercorso); }
    QString legata() { return gsettings({"get", voce, "binding"}); }
    // What a run that was killed left: our entry, listed, with our combination.
    void lasciatoDaUnaRunMorta()
    {
        gsettings({"set", voce, "name", "'Halvora'"});
        gsettings({"set", voce, "binding", "'<Control><Alt>n'"});
        gsettings({"set", lista, "custom-keybindings", "['/altra/', '" + TastoGnome::kPercorso + "']"});
        QVERIFY(inElenco());
    }
    static bool registra(TastoGnome& t)
    {
        QSignalSpy accettata(&t, &TastoGlobale::accettata);
        QSignalSpy rifiutata(&t, &TastoGlobale::rifiutata);
        t.registra();
        t.aspetta();
        QCoreApplication::processEvents();
        return accettata.count() == 1 && rifiutata.isEmpty();
    }

private slots:
    void listedWhileRunningAndTakenOutAtQuit()
    {
        lasciatoDaUnaRunMorta();
        TastoGnome t(comando);
        QVERIFY(registra(t));
        QCOMPARE(gsettings({"get", lista, "custom-keybindings"}),
                 QStringLiteral("['/altra/', '%1']").arg(TastoGnome::kPercorso));
        QCOMPARE(gsettings({"get", voce, "name"}), QStringLiteral("'Halvora'"));
        QCOMPARE(gsettings({"get", voce, "command"}), QStringLiteral("\"'/opt/Halvora.app/halvora' '--apri-chiudi'\""));
        QCOMPARE(legata(), QStringLiteral("'<Control><Alt>n'"));
        QCOMPARE(t.combinazione(), QStringLiteral("Ctrl+Alt+N"));

        t.liberaEAttendi(5000);
        QVERIFY(!inElenco());
        QCOMPARE(gsettings({"get", lista, "custom-keybindings"}), QStringLiteral("['/altra/']"));
        QCOMPARE(legata(), QStringLiteral("''")); // nothing of ours is worth keeping
        QCOMPARE(gsettings({"get", voce, "name"}), QStringLiteral("''"));

        // Switched off at the next start: a run that died leaves nothing behind.
        lasciatoDaUnaRunMorta();
        TastoGnome spenta(comando);
        spenta.rilascia();
        spenta.aspetta();
        QVERIFY(!inElenco());
        QCOMPARE(legata(), QStringLiteral("''"));
    }

    void theUsersOwnCombinationWaitsOutOfTheListForTheNextRun()
    {
        TastoGnome t(comando);
        QVERIFY(registra(t));
        gsettings({"set", voce, "binding", "'<Super>h'"}); // set in GNOME's keyboard settings
        t.liberaEAttendi(5000);
        QVERIFY(!inElenco());
        QCOMPARE(legata(), QStringLiteral("'<Super>h'"));

        TastoGnome dopo(comando);
        QVERIFY(registra(dopo));
        QVERIFY(inElenco());
        QCOMPARE(dopo.combinazione(), QStringLiteral("Super+H"));
        dopo.rilascia();
        dopo.aspetta();
        QVERIFY(!inElenco());
        QCOMPARE(legata(), QStringLiteral("''"));
    }

    void takenByOneOfGnomesOwnShortcuts()
    {
        lasciatoDaUnaRunMorta();
        gsettings({"set", "org.gnome.desktop.wm.keybindings", "minimize", "['<Primary><Alt>N']"});
        TastoGnome t(comando);
        QVERIFY(!registra(t));
        QVERIFY(!inElenco()); // the dead run's entry clashed as well
        gsettings({"reset", "org.gnome.desktop.wm.keybindings", "minimize"});
        QVERIFY(registra(t));
        t.rilascia();
        t.aspetta();
    }
};

QTEST_GUILESS_MAIN(TestTastoGnome)
#include "tst_TastoGnome.moc"
