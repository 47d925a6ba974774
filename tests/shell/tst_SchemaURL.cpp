#include "AttivitaManager.h"
#include "Colori.h"
#include "FakeClock.h"
#include "SchemaURL.h"

#include <QTest>

using namespace SchemaURL;

namespace {
Contesto contesto(const QString& frontale = {})
{
    return Contesto{[frontale] { return frontale; }, [](const QString&) { return std::optional<QImage>(); }};
}
QString b64(const QByteArray& testo) { return QString::fromLatin1(testo.toBase64()); }
QUrl url(const QString& testo) { return QUrl(testo, QUrl::StrictMode); }

// Routes one URL and checks the notice it shows (none when `titolo` is
// empty) and that it lasts exactly `durata` seconds.
void verificaAvviso(const QString& indirizzo, const Contesto& c, const QString& titolo, const QString& simbolo,
                    double durata, const QString& dettaglio)
{
    FakeClock clock;
    AttivitaManager m(clock);
    instradaURL(urlDaTesti({indirizzo}), m, c);
    if (titolo.isEmpty()) {
        QVERIFY(!m.corrente());
        return;
    }
    QVERIFY(m.corrente());
    QCOMPARE(m.corrente()->titolo, titolo);
    QCOMPARE(m.corrente()->simbolo, simbolo);
    QCOMPARE(m.corrente()->dettaglio.value_or(QString()), dettaglio);
    QCOMPARE(m.corrente()->dettaglio.has_value(), !dettaglio.isEmpty());
    clock.advance(durata - 0.01);
    QVERIFY(m.corrente());
    clock.advance(0.01);
    QVERIFY(!m.corrente());
}
} // namespace

class TestSchemaURL : public QObject {
    Q_OBJECT

private slots:
    void agentEvents_data()
    {
        QTest::addColumn<QString>("indirizzo");
        QTest::addColumn<QString>("frontale");
        QTest::addColumn<QString>("titolo"); // empty: nothing shown
        QTest::addColumn<QString>("simbolo");
        QTest::addColumn<double>("durata");
        QTest::addColumn<QString>("dettaglio");
        QTest::newRow("claude finished") << "halvora://agente?fornitore=claude&evento=finito" << ""
                                         << "Claude ha finito" << "checkmark.circle.fill" << 6.0 << "";
        QTest::newRow("codex waits") << "halvora://agente?fornitore=codex&evento=attesa" << ""
                                     << "ChatGPT ti aspetta" << "hand.raised.fill" << 10.0 << "";
        QTest::newRow("finished in front app is dropped")
            << "halvora://agente?fornitore=claude&evento=finito&origine=org.gnome.Terminal" << "org.gnome.Terminal"
            << "" << "" << 0.0 << "";
        QTest::newRow("finished with another front app")
            << "halvora://agente?fornitore=claude&evento=finito&origine=org.gnome.Terminal" << "code"
            << "Claude ha finito" << "checkmark.circle.fill" << 6.0 << "";
        QTest::newRow("empty origin never filters")
            << "halvora://agente?fornitore=claude&evento=finito&origine=" << "" << "Claude ha finito"
            << "checkmark.circle.fill" << 6.0 << "";
        QTest::newRow("waiting ignores origin")
            << "halvora://agente?fornitore=claude&evento=attesa&origine=org.gnome.Terminal" << "org.gnome.Terminal"
            << "Claude ti aspetta" << "hand.raised.fill" << 10.0 << "";
        QTest::newRow("capital provider") << "halvora://agente?fornitore=Claude&evento=finito" << "" << "" << ""
                                          << 0.0 << "";
        QTest::newRow("unknown event") << "halvora://agente?fornitore=claude&evento=fatto" << "" << "" << "" << 0.0
                                       << "";
        QTest::newRow("missing event") << "halvora://agente?fornitore=claude" << "" << "" << "" << 0.0 << "";
        QTest::newRow("capital scheme and host") << "HALVORA://AGENTE?fornitore=claude&evento=finito" << ""
                                                 << "Claude ha finito" << "checkmark.circle.fill" << 6.0 << "";
        QTest::newRow("capital parameter name") << "halvora://agente?Fornitore=claude&evento=finito" << "" << ""
                                                << "" << 0.0 << "";
        QTest::newRow("first of repeated parameters")
            << "halvora://agente?fornitore=codex&fornitore=claude&evento=attesa" << "" << "ChatGPT ti aspetta"
            << "hand.raised.fill" << 10.0 << "";
        QTest::newRow("project with basename newline")
            << "halvora://agente?fornitore=claude&evento=finito&progetto=" + b64("notch-app\n") << ""
            << "Claude ha finito" << "checkmark.circle.fill" << 6.0 << "notch-app";
        QTest::newRow("project slash") << "halvora://agente?fornitore=claude&evento=finito&progetto=" + b64("/\n")
                                       << "" << "Claude ha finito" << "checkmark.circle.fill" << 6.0 << "";
        QTest::newRow("project dot") << "halvora://agente?fornitore=claude&evento=finito&progetto=" + b64(".")
                                     << "" << "Claude ha finito" << "checkmark.circle.fill" << 6.0 << "";
        QTest::newRow("project cut to 40")
            << "halvora://agente?fornitore=claude&evento=finito&progetto=" + b64(QByteArray(50, 'x')) << ""
            << "Claude ha finito" << "checkmark.circle.fill" << 6.0 << QString(40, 'x');
        QTest::newRow("project without padding")
            << "halvora://agente?fornitore=claude&evento=finito&progetto=YWJjZA" << "" << "Claude ha finito"
            << "checkmark.circle.fill" << 6.0 << "";
        QTest::newRow("project not utf8")
            << "halvora://agente?fornitore=claude&evento=finito&progetto=" + b64("\xff\xfe") << ""
            << "Claude ha finito" << "checkmark.circle.fill" << 6.0 << "";
        QTest::newRow("wrong scheme") << "notch://agente?fornitore=claude&evento=finito" << "" << "" << "" << 0.0
                                      << "";
    }
    void agentEvents()
    {
        QFETCH(QString, indirizzo);
        QFETCH(QString, frontale);
        QFETCH(QString, titolo);
        QFETCH(QString, simbolo);
        QFETCH(double, durata);
        QFETCH(QString, dettaglio);
        verificaAvviso(indirizzo, contesto(frontale), titolo, simbolo, durata, dettaglio);
    }

    void agentTints()
    {
        auto tinta = [](const char* u) {
            auto e = eventoAgenteDaURL(url(u), contesto());
            return avvisoEventoAgente(*e, contesto())->attivita.tinta;
        };
        QCOMPARE(tinta("halvora://agente?fornitore=claude&evento=finito"), std::optional(coloreClaude()));
        QCOMPARE(coloreClaude().toRgb(), QColor(217, 119, 87));
        QCOMPARE(tinta("halvora://agente?fornitore=codex&evento=finito"), std::optional(Colori::grigio()));
        QCOMPARE(tinta("halvora://agente?fornitore=claude&evento=attesa"), std::optional(Colori::arancione()));
    }

    void agentIconComesFromTheDesktopApp()
    {
        // Installed under its Linux desktop id only, as packaged here.
        QStringList chiesti;
        Contesto c{{}, [&](const QString& id) {
                       chiesti << id;
                       if (id != QLatin1String("claude-desktop"))
                           return std::optional<QImage>();
                       QImage i(8, 8, QImage::Format_ARGB32);
                       i.fill(Qt::red);
                       return std::optional<QImage>(i);
                   }};
        auto e = eventoAgenteDaURL(url("halvora://agente?fornitore=claude&evento=attesa"), c);
        QVERIFY(avvisoEventoAgente(*e, c)->attivita.anteprima.has_value());
        QCOMPARE(chiesti, (QStringList{"com.anthropic.claudefordesktop", "claude-desktop"}));
        chiesti.clear();
        e = eventoAgenteDaURL(url("halvora://agente?fornitore=codex&evento=finito"), c);
        QVERIFY(!avvisoEventoAgente(*e, c)->attivita.anteprima.has_value());
        QCOMPARE(chiesti, idApplicazione(FornitoreIA::codex));
    }

    void plainNotices_data()
    {
        QTest::addColumn<QString>("indirizzo");
        QTest::addColumn<QString>("titolo"); // empty: nothing shown
        QTest::addColumn<QString>("simbolo");
        QTest::addColumn<double>("durata");
        QTest::addColumn<QString>("dettaglio");
        QTest::newRow("title only") << "halvora://attivita?titolo=Ciao" << "Ciao" << "bell.fill" << 4.0 << "";
        QTest::newRow("all fields") << "halvora://attivita?titolo=Build%20ok&simbolo=checkmark.circle.fill&durata=3&dettaglio=main"
                                    << "Build ok" << "checkmark.circle.fill" << 3.0 << "main";
        QTest::newRow("short duration raised") << "halvora://attivita?titolo=A&durata=0.2" << "A" << "bell.fill" << 1.0 << "";
        QTest::newRow("long duration lowered") << "halvora://attivita?titolo=A&durata=60" << "A" << "bell.fill" << 10.0 << "";
        QTest::newRow("text duration") << "halvora://attivita?titolo=A&durata=tre" << "A" << "bell.fill" << 4.0 << "";
        QTest::newRow("nan duration") << "halvora://attivita?titolo=A&durata=nan" << "A" << "bell.fill" << 4.0 << "";
        QTest::newRow("inf duration") << "halvora://attivita?titolo=A&durata=inf" << "A" << "bell.fill" << 10.0 << "";
        QTest::newRow("comma decimal") << "halvora://attivita?titolo=A&durata=2,5" << "A" << "bell.fill" << 4.0 << "";
        QTest::newRow("grouped thousand") << "halvora://attivita?titolo=A&durata=1,000" << "A" << "bell.fill" << 4.0 << "";
        QTest::newRow("grouped small") << "halvora://attivita?titolo=A&durata=12,500.5" << "A" << "bell.fill" << 4.0 << "";
        QTest::newRow("spaced duration") << "halvora://attivita?titolo=A&durata=%203" << "A" << "bell.fill" << 4.0 << "";
        QTest::newRow("unknown symbol") << "halvora://attivita?titolo=A&simbolo=no.such.symbol" << "A" << "bell.fill" << 4.0 << "";
        QTest::newRow("blank title") << "halvora://attivita?titolo=%20%20%20" << "" << "" << 0.0 << "";
        QTest::newRow("missing title") << "halvora://attivita?dettaglio=x" << "" << "" << 0.0 << "";
        QTest::newRow("newlines joined") << "halvora://attivita?titolo=%20riga%0Adue%20&dettaglio=%0A" << "riga due" << "bell.fill" << 4.0 << "";
        QTest::newRow("title cut to 40 characters")
            << "halvora://attivita?titolo=" + QString(60, 'a') << QString(40, 'a') << "bell.fill" << 4.0 << "";
        QTest::newRow("grapheme clusters kept whole")
            << "halvora://attivita?titolo=" + QString::fromLatin1(QByteArray("e\xcc\x81").repeated(45).toPercentEncoding())
            << QString::fromUtf8(QByteArray("e\xcc\x81").repeated(40)) << "bell.fill" << 4.0 << "";
        QTest::newRow("markup is plain text") << "halvora://attivita?titolo=%3Cb%3Eciao%3C/b%3E" << "<b>ciao</b>"
                                              << "bell.fill" << 4.0 << "";
        QTest::newRow("nul bytes removed") << "halvora://attivita?titolo=ci%00ao" << "ciao" << "bell.fill" << 4.0 << "";
        QTest::newRow("bad percent escape") << "halvora://attivita?titolo=100%zz" << "" << "" << 0.0 << "";
        QTest::newRow("plus stays plus") << "halvora://attivita?titolo=a+b" << "a+b" << "bell.fill" << 4.0 << "";
        QTest::newRow("unknown host") << "halvora://altro?titolo=A" << "" << "" << 0.0 << "";
        QTest::newRow("no host") << "halvora:attivita?titolo=A" << "" << "" << 0.0 << "";
        QTest::newRow("capital host") << "halvora://ATTIVITA?titolo=A" << "A" << "bell.fill" << 4.0 << "";
        QTest::newRow("overlong url") << "halvora://attivita?titolo=A&dettaglio=" + QString(20000, 'x') << "" << ""
                                      << 0.0 << "";
    }
    void plainNotices()
    {
        QFETCH(QString, indirizzo);
        QFETCH(QString, titolo);
        QFETCH(QString, simbolo);
        QFETCH(double, durata);
        QFETCH(QString, dettaglio);
        verificaAvviso(indirizzo, contesto(), titolo, simbolo, durata, dettaglio);
        // Plain notices carry neither tint nor image.
        FakeClock clock;
        AttivitaManager m(clock);
        instradaURL(urlDaTesti({indirizzo}), m, contesto());
        QVERIFY(!m.corrente() || (!m.corrente()->tinta && !m.corrente()->anteprima));
    }

    void severalUrlsAreEachHandled()
    {
        FakeClock clock;
        AttivitaManager m(clock);
        instradaURL(urlDaTesti({"halvora://attivita?titolo=Uno", "halvora://nulla", "halvora://attivita?titolo=Due"}), m,
                    contesto());
        QCOMPARE(m.corrente()->titolo, QStringLiteral("Uno"));
        QCOMPARE(m.coda().size(), 1);
        QCOMPARE(m.coda().first().attivita.titolo, QStringLiteral("Due"));
    }

    void cleanText()
    {
        QCOMPARE(testoPulito(std::nullopt, 40), std::nullopt);
        QCOMPARE(testoPulito(QString("\n\n"), 40), std::nullopt);
        QCOMPARE(testoPulito(QString(" a\nb\n"), 40), std::optional<QString>("a b"));
        QCOMPARE(testoPulito(QString("abcdef"), 3), std::optional<QString>("abc"));
        // A flag is one user-perceived character of four code units.
        const QString bandiera = QString::fromUtf8("\xf0\x9f\x87\xae\xf0\x9f\x87\xb9");
        QCOMPARE(testoPulito(bandiera + bandiera, 1), std::optional<QString>(bandiera));
    }

    void parameterLookup()
    {
        const QUrlQuery q(QStringLiteral("a=1&b&a=2&c=%2B"));
        QCOMPARE(valoreParametro("a", q), std::optional<QString>("1"));
        QCOMPARE(valoreParametro("b", q).value_or("x"), QString());
        QCOMPARE(valoreParametro("c", q), std::optional<QString>("+"));
        QCOMPARE(valoreParametro("A", q), std::nullopt);
    }
};

QTEST_MAIN(TestSchemaURL)
#include "tst_SchemaURL.moc"
