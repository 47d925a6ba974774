#include "Impegno.h"
#include "ImpostazioniCalendari.h"
#include "SceltePromemoria.h"
#include "SupportoAgenda.h"
#include "Traduzioni.h"

#include <QTest>

namespace {
QDateTime t(int giorno, int ora, int minuto = 0, int secondo = 0)
{
    return QDateTime(QDate(2026, 3, giorno), QTime(ora, minuto, secondo), Qt::LocalTime);
}
Impegno imp(const QString& id, const QDateTime& inizio, bool interaGiornata = false)
{
    return Impegno{id, id, inizio, inizio.addSecs(3600), std::nullopt, interaGiornata, Qt::blue};
}
Promemoria prom(const QString& id, std::optional<QDateTime> scadenza)
{
    return Promemoria{id, id, scadenza, false};
}
} // namespace

using Prova::ids;

// The agenda's rules as plain functions: order, next event, due check,
// texts and the composer's choices.
class TestRegoleAgenda : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Prova::usaFusoDiProva();
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    }

    void eventsAllDayFirstThenByStartKeepingStoreOrder()
    {
        QList<Impegno> l{imp("b", t(2, 10)), imp("giorno", t(2, 0), true), imp("a", t(2, 9)), imp("b2", t(2, 10)),
                         imp("giorno2", t(1, 0), true)};
        Agenda::ordinaImpegni(l);
        QCOMPARE(ids(l), (QStringList{"giorno2", "giorno", "a", "b", "b2"}));
    }

    void remindersDatedFirstThenUndatedInStoreOrder()
    {
        QList<Promemoria> l{prom("x", std::nullopt), prom("oggi", t(2, 17)), prom("y", std::nullopt),
                            prom("ieri", t(1, 10))};
        Agenda::ordinaPromemoria(l);
        QCOMPARE(ids(l), (QStringList{"ieri", "oggi", "x", "y"}));
    }

    void nextEventWithinFifteenMinutes_data()
    {
        QTest::addColumn<int>("traSecondi");
        QTest::addColumn<bool>("interaGiornata");
        QTest::addColumn<bool>("prossimo");
        QTest::newRow("900 s ahead") << 900 << false << true;
        QTest::newRow("901 s ahead") << 901 << false << false;
        QTest::newRow("1 s ahead") << 1 << false << true;
        QTest::newRow("starting now") << 0 << false << false;
        QTest::newRow("started a second ago") << -1 << false << false;
        QTest::newRow("all-day in five minutes") << 300 << true << false;
    }
    void nextEventWithinFifteenMinutes()
    {
        QFETCH(int, traSecondi);
        QFETCH(bool, interaGiornata);
        QFETCH(bool, prossimo);
        const QDateTime ora = t(2, 9);
        const auto p = Agenda::prossimo({imp("e", ora.addSecs(traSecondi), interaGiornata)}, ora);
        QCOMPARE(p.has_value(), prossimo);
    }

    void theEarliestOfSeveralAndTheFirstOfEqualStarts()
    {
        const QDateTime ora = t(2, 9);
        QList<Impegno> l{imp("tardi", ora.addSecs(600)), imp("primo", ora.addSecs(300)), imp("pari", ora.addSecs(300))};
        Agenda::ordinaImpegni(l);
        QCOMPARE(Agenda::prossimo(l, ora)->id, QStringLiteral("primo"));
    }

    void dueWithinTheLastHalfHour_data()
    {
        QTest::addColumn<int>("scadutoDaSecondi"); // negative: in the future
        QTest::addColumn<bool>("annunciato");
        QTest::newRow("due now") << 0 << true;
        QTest::newRow("due 1799 s ago") << 1799 << true;
        QTest::newRow("due 1800 s ago") << 1800 << false;
        QTest::newRow("due yesterday") << 86400 << false;
        QTest::newRow("due in a second") << -1 << false;
    }
    void dueWithinTheLastHalfHour()
    {
        QFETCH(int, scadutoDaSecondi);
        QFETCH(bool, annunciato);
        const QDateTime ora = t(2, 9);
        const auto p = Agenda::daAnnunciare({prom("p", ora.addSecs(-scadutoDaSecondi))}, ora, {});
        QCOMPARE(p.has_value(), annunciato);
    }

    void theDueCheckSkipsUndatedAndAnnouncedOnes()
    {
        const QDateTime ora = t(2, 9);
        QList<Promemoria> l{prom("vecchio", ora.addSecs(-4000)), prom("gia", ora.addSecs(-60)),
                            prom("questo", ora.addSecs(-30)), prom("senza", std::nullopt)};
        QCOMPARE(Agenda::daAnnunciare(l, ora, {"gia"})->id, QStringLiteral("questo"));
        QCOMPARE(Agenda::daAnnunciare(l, ora, {"gia", "questo"}), std::nullopt);
    }

    void timeTexts()
    {
        Impegno i = imp("e", t(2, 9));
        i.fine = t(2, 10, 30);
        QCOMPARE(i.orario(), QString("09:00") + QChar(0x2013) + "10:30");
        i.interaGiornata = true;
        QCOMPARE(i.orario(), QStringLiteral("tutto il giorno"));

        const QDateTime ora = t(2, 8);
        QCOMPARE(prom("p", std::nullopt).scadenzaTesto(ora), std::nullopt);
        QCOMPARE(*prom("p", t(2, 17, 5)).scadenzaTesto(ora), QStringLiteral("17:05"));
        const QString altroGiorno = *prom("p", t(5, 9, 30)).scadenzaTesto(ora);
        QVERIFY2(altroGiorno.startsWith("5 mar") && altroGiorno.endsWith("09:30"), qPrintable(altroGiorno));

        // One clock in a tab: where the locale counts twelve hours, events and reminders alike.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        i.interaGiornata = false;
        const QString evento = i.orario(), promemoria = *prom("p", t(2, 17, 5)).scadenzaTesto(ora);
        const QString domani = *prom("p", t(3, 9, 30)).scadenzaTesto(ora);
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        QVERIFY2(evento.count("AM") == 2 && promemoria.endsWith("PM") && domani.startsWith("Mar 3")
                     && domani.endsWith("AM"),
                 qPrintable(evento + " / " + promemoria + " / " + domani));
    }

    void quickDueDates_data()
    {
        QTest::addColumn<int>("scelta");
        QTest::addColumn<QDateTime>("ora");
        QTest::addColumn<QDateTime>("attesa");
        const auto q = [](QuandoRicordare x) { return int(x); };
        QTest::newRow("in 15 minutes") << q(QuandoRicordare::fraUnQuartoDOra) << t(2, 9, 0, 30) << t(2, 9, 15, 30);
        QTest::newRow("in an hour") << q(QuandoRicordare::fraUnOra) << t(2, 23, 30) << t(3, 0, 30);
        QTest::newRow("tonight before six") << q(QuandoRicordare::stasera) << t(2, 17, 59, 59) << t(2, 18);
        QTest::newRow("tonight at six") << q(QuandoRicordare::stasera) << t(2, 18) << t(3, 18);
        QTest::newRow("tonight after six") << q(QuandoRicordare::stasera) << t(2, 21) << t(3, 18);
        QTest::newRow("tomorrow at half past eleven pm") << q(QuandoRicordare::domaniMattina) << t(2, 23, 30) << t(3, 9);
        QTest::newRow("tomorrow just after midnight") << q(QuandoRicordare::domaniMattina) << t(3, 0, 10) << t(4, 9);
        // The night summer time starts (29 March 2026 in Rome) still gives 18:00 and 09:00.
        QTest::newRow("tonight on a short day") << q(QuandoRicordare::stasera) << t(29, 10) << t(29, 18);
        QTest::newRow("tomorrow after a short night") << q(QuandoRicordare::domaniMattina) << t(28, 22) << t(29, 9);
    }
    void quickDueDates()
    {
        QFETCH(int, scelta);
        QFETCH(QDateTime, ora);
        QFETCH(QDateTime, attesa);
        QCOMPARE(Scelte::data(QuandoRicordare(scelta), ora), attesa);
    }

    void choicesInOrderWithTheirLabelsAndOffsets()
    {
        QStringList etichette;
        for (auto q : Scelte::tuttiQuando())
            etichette.append(Scelte::etichetta(q));
        QCOMPARE(etichette, (QStringList{"Fra 15 minuti", "Fra un'ora", "Stasera alle 18", "Domani alle 9"}));
        etichette.clear();
        for (auto r : Scelte::tutteRipetizioni())
            etichette.append(Scelte::etichetta(r));
        QCOMPARE(etichette, (QStringList{"Non si ripete", "Ogni giorno", "Ogni settimana", "Ogni mese", "Ogni anno"}));
        QList<int> offsets;
        etichette.clear();
        for (auto a : Scelte::tuttiAnticipi()) {
            etichette.append(Scelte::etichetta(a));
            offsets.append(Scelte::offset(a));
        }
        QCOMPARE(etichette, (QStringList{"All'ora esatta", "5 minuti prima", "15 minuti prima", "Un'ora prima",
                                         "Un giorno prima"}));
        QCOMPARE(offsets, (QList<int>{0, -300, -900, -3600, -86400}));
    }

    void creationMessages_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("messaggio"); // empty: none
        using T = EsitoCreazione::Tipo;
        QTest::newRow("created") << int(T::creato) << "";
        QTest::newRow("empty title") << int(T::titoloVuoto) << "";
        QTest::newRow("no access") << int(T::accessoNegato) << "Accesso ai Promemoria non concesso.";
        QTest::newRow("no list") << int(T::nessunElenco) << "Nessun elenco predefinito nell'app Promemoria.";
        QTest::newRow("not saved") << int(T::nonSalvato) << "Promemoria non salvato: disco pieno";
    }
    void creationMessages()
    {
        QFETCH(int, tipo);
        QFETCH(QString, messaggio);
        const EsitoCreazione e(EsitoCreazione::Tipo(tipo), "disco pieno");
        QCOMPARE(e.messaggio().value_or(QString()), messaggio);
        QCOMPARE(e.messaggio().has_value(), !messaggio.isEmpty());
    }

    void textsFollowTheInterfaceLanguage_data()
    {
        QTest::addColumn<QString>("lingua");
        QTest::addColumn<QString>("etichetta");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("en") << "en" << "In an hour" << "Reminder not saved: x";
        QTest::newRow("es") << "es" << "En una hora" << "Recordatorio no guardado: x";
        QTest::newRow("it") << "it" << "Fra un'ora" << "Promemoria non salvato: x";
    }
    void textsFollowTheInterfaceLanguage()
    {
        QFETCH(QString, lingua);
        QFETCH(QString, etichetta);
        QFETCH(QString, messaggio);
        Traduzioni::installa(lingua);
        QCOMPARE(Scelte::etichetta(QuandoRicordare::fraUnOra), etichetta);
        QCOMPARE(*EsitoCreazione::nonSalvato("x").messaggio(), messaggio);
    }

    // "Apri Impostazioni" with the desktop's store: the session's own
    // desktop's accounts first, then the other's, then a calendar program.
    void whereCalendarsAreSetUp_data()
    {
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QStringList>("installate");
        QTest::addColumn<bool>("accountKde");
        QTest::addColumn<QString>("aperto");
        const QStringList tutte = {"gnome-online-accounts-panel", "org.gnome.Evolution", "org.kde.korganizer"};
        QTest::newRow("GNOME") << "ubuntu:GNOME" << tutte << true << "gnome-online-accounts-panel";
        QTest::newRow("KDE") << "KDE" << tutte << true << "kcm_kaccounts";
        QTest::newRow("KDE without its accounts") << "KDE" << tutte << false << "gnome-online-accounts-panel";
        QTest::newRow("sway, KDE's accounts") << "sway" << QStringList{"org.gnome.Evolution"} << true << "kcm_kaccounts";
        QTest::newRow("sway, programs") << "sway" << QStringList{"org.kde.korganizer", "org.gnome.Evolution"} << false
                                        << "org.gnome.Evolution";
        QTest::newRow("KDE, programs") << "KDE" << QStringList{"org.kde.korganizer", "org.gnome.Evolution"} << false
                                       << "org.kde.korganizer";
        QTest::newRow("nothing") << "sway" << QStringList{"org.gnome.Nautilus"} << false << "";
    }
    void whereCalendarsAreSetUp()
    {
        QFETCH(QString, desktop);
        QFETCH(QStringList, installate);
        QFETCH(bool, accountKde);
        QFETCH(QString, aperto);
        ImpostazioniCalendari::Computer c;
        c.desktop = desktop.split(':');
        c.voce = [&](const QString& id) {
            return installate.contains(id) ? std::optional<QStringList>(QStringList{id}) : std::nullopt;
        };
        if (accountKde)
            c.accountKde = QStringList{"systemsettings", "kcm_kaccounts"};
        const QStringList comando = ImpostazioniCalendari::comando(c).value_or(QStringList());
        QCOMPARE(comando.isEmpty() ? QString() : comando.last(), aperto);
    }
};

QTEST_GUILESS_MAIN(TestRegoleAgenda)
#include "tst_RegoleAgenda.moc"
