#include "TastoGnome.h"
#include "TastoSway.h"

#include <QTest>

// How the desktops' own settings are read for Control+Alt+N: whether it is
// bound already, and in what words the settings page shows a combination.
class TestCombinazioniDesktop : public QObject {
    Q_OBJECT
private slots:
    void swayConfiguration_data()
    {
        QTest::addColumn<QString>("configurazione");
        QTest::addColumn<bool>("legata");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("plain") << "bindsym Ctrl+Mod1+n exec foo" << true;
        QTest::newRow("other names and order") << "bindsym Alt+Control+n kill" << true;
        QTest::newRow("flags first") << "bindsym --release --to-code Ctrl+Alt+n exec foo" << true;
        QTest::newRow("variable") << "set $mod Mod1\nset $mods Ctrl+Mod1\nbindsym $mods+n exec foo" << true;
        QTest::newRow("variable, another key") << "set $mod Mod4\nbindsym Ctrl+$mod+n exec foo" << false;
        QTest::newRow("shift too") << "bindsym Ctrl+Alt+Shift+n exec foo" << false;
        QTest::newRow("another key") << "bindsym Ctrl+Alt+m exec foo" << false;
        QTest::newRow("capital N is Shift+n") << "bindsym Ctrl+Alt+N exec foo" << false;
        QTest::newRow("commented") << "# bindsym Ctrl+Alt+n exec foo" << false;
        QTest::newRow("bindsym block") << "bindsym {\n  Ctrl+Alt+n exec foo\n}" << true;
        QTest::newRow("inside a mode") << "mode \"resize\" {\n  bindsym Ctrl+Alt+n exec foo\n}" << false;
        QTest::newRow("after a mode") << "mode \"resize\" {\n  bindsym Left resize\n}\nbindsym Ctrl+Alt+n exec foo"
                                      << true;
    }
    void swayConfiguration()
    {
        QFETCH(QString, configurazione);
        QFETCH(bool, legata);
        QCOMPARE(TastoSway::combinazioneLegata(configurazione), legata);
    }

    void swayCommandQuotesThePathOrRefuses()
    {
        QVERIFY(TastoSway::comandoLegame({"/home/io/a b;c,d/halvora"}).endsWith(QStringLiteral(" exec '/home/io/a b;c,d/halvora'")));
        for (const char* p : {"/home/l'altro/halvora", "/home/$HOME/halvora", "/a\\b/halvora", "/a\"b/halvora"})
            QVERIFY2(TastoSway::comandoLegame({QString::fromUtf8(p)}).isEmpty(), p);
    }

    void gnomeAccelerators_data()
    {
        QTest::addColumn<QString>("acceleratore");
        QTest::addColumn<bool>("nostra");
        QTest::addColumn<QString>("parole");
        QTest::newRow("ours") << "<Control><Alt>n" << true << "Ctrl+Alt+N";
        QTest::newRow("primary, other order") << "<Alt><Primary>N" << true << "Ctrl+Alt+N";
        QTest::newRow("shift too") << "<Primary><Shift><Alt>n" << false << "Ctrl+Alt+Shift+N";
        QTest::newRow("super") << "<Super>h" << false << "Super+H";
        QTest::newRow("named key") << "<Ctrl><Alt>Delete" << false << "Ctrl+Alt+Delete";
    }
    void gnomeAccelerators()
    {
        QFETCH(QString, acceleratore);
        QFETCH(bool, nostra);
        QFETCH(QString, parole);
        QCOMPARE(TastoGnome::eNostra(acceleratore), nostra);
        QCOMPARE(TastoGnome::descrivi(acceleratore), parole);
    }
};

QTEST_GUILESS_MAIN(TestCombinazioniDesktop)
#include "tst_CombinazioniDesktop.moc"
