#include "FakeClock.h"
#include "FakePasteboard.h"
#include "FormaTacca.h"
#include "GuidaView.h"
#include "IstruzioniHook.h"
#include "TestOutput.h"
#include "Traduzioni.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

// The open notch's background under the guide, as the root view draws it.
class FondoTacca : public QWidget {
public:
    static constexpr QRect kTacca{20, 0, 460, 310};
    FondoTacca() { resize(500, 340); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(70, 80, 96));
        FormaTacca::disegna(p, kTacca, kTacca.height(), false);
    }
};

void clic(GuidaView& g, const QRectF& r)
{
    QTest::mouseClick(&g, Qt::LeftButton, {}, r.center().toPoint());
}

// 'a' presses the main button, 'i' "Indietro", 's' "Salta".
void premi(GuidaView& g, const QString& sequenza)
{
    for (QChar c : sequenza) {
        if (c == 'a')
            clic(g, g.rettangoloPrincipale());
        else if (c == 'i')
            clic(g, g.rettangoloIndietro());
        else if (c == 's')
            clic(g, g.rettangoloSalta());
    }
}

} // namespace

class TestGuidaView : public QObject {
    Q_OBJECT
    FakeClock clock;
    FakePasteboard appunti;

private slots:
    void initTestCase() { Traduzioni::installa(QStringLiteral("it")); }

    void navigation_data()
    {
        QTest::addColumn<QString>("pressioni");
        QTest::addColumn<int>("passo");
        QTest::addColumn<bool>("avanti");
        QTest::addColumn<int>("fini");
        QTest::newRow("back on the first page") << "i" << 0 << true << 0;
        QTest::newRow("forward") << "aaa" << 3 << true << 0;
        QTest::newRow("forward then back") << "aaai" << 2 << false << 0;
        QTest::newRow("back to the start and past it") << "aiii" << 0 << false << 0;
        QTest::newRow("to the last page") << "aaaaaaaaaa" << 10 << true << 0;
        QTest::newRow("start on the last page") << "aaaaaaaaaaa" << 10 << true << 1;
        QTest::newRow("start pressed twice") << "aaaaaaaaaaaa" << 10 << true << 1;
        QTest::newRow("skip on the first page") << "s" << 0 << true << 1;
        QTest::newRow("skip twice mid-way") << "aaaaiss" << 3 << false << 1;
        QTest::newRow("nothing moves once ended") << "asai" << 1 << true << 1;
    }
    void navigation()
    {
        QFETCH(QString, pressioni);
        QFETCH(int, passo);
        QFETCH(bool, avanti);
        QFETCH(int, fini);
        GuidaView g(appunti, clock);
        g.show();
        QSignalSpy fine(&g, &GuidaView::onFine);
        premi(g, pressioni);
        QCOMPARE(g.passo(), passo);
        QCOMPARE(g.avanti(), avanti);
        QCOMPARE(fine.count(), fini);
        QCOMPARE(g.finita(), fini > 0);
        QCOMPARE(g.etichettaPrincipale(), passo == 10 ? QStringLiteral("Inizia") : QStringLiteral("Avanti"));
    }

    void pagesAndTheirModules()
    {
        const QList<std::optional<NotchTab>> attesi = {
            std::nullopt,        NotchTab::tray,  NotchTab::clipboard, NotchTab::calendario,
            NotchTab::pomodoro,  NotchTab::memo,  NotchTab::media,     NotchTab::mirror,
            std::nullopt,        std::nullopt,    std::nullopt};
        for (int i = 0; i < GuidaView::kPagine; ++i)
            QCOMPARE(GuidaView::paginaModulo(i), attesi[i]);
        QCOMPARE(GuidaView::paginaModulo(-1), std::nullopt);
        QCOMPARE(GuidaView::paginaModulo(11), std::nullopt);
        // The row highlights all on the welcome page, one on a module's page.
        const auto tutte = IllustrazioneGuida::evidenzaPagina(0, std::nullopt);
        QVERIFY(std::all_of(tutte.begin(), tutte.end(), [](double e) { return e == 1; }));
        const auto una = IllustrazioneGuida::evidenzaPagina(2, NotchTab::clipboard);
        QCOMPARE(std::count(una.begin(), una.end(), 1.0), 1);
        QCOMPARE(una[3], 1.0); // clipboard is fourth in declaration order
        QCOMPARE(QString::fromUtf8(GuidaView::pagina(10).titolo), QStringLiteral("Impostazioni e pulsante rosso"));
    }

    void copyButtonsOnlyOnTheAgentsPage_data()
    {
        QTest::addColumn<int>("pagina");
        for (int i = 0; i < GuidaView::kPagine; ++i)
            QTest::addRow("page %d", i) << i;
    }
    void copyButtonsOnlyOnTheAgentsPage()
    {
        QFETCH(int, pagina);
        GuidaView g(appunti, clock);
        g.show();
        premi(g, QString(pagina, 'a'));
        const bool agenti = pagina == GuidaView::kPaginaAgenti;
        QCOMPARE(g.rettangoloCopia(FornitoreIA::claude).has_value(), agenti);
        QCOMPARE(g.rettangoloCopia(FornitoreIA::codex).has_value(), agenti);

        // Where the agents' page has its Claude button, no other page copies.
        GuidaView nove(appunti, clock);
        nove.show();
        premi(nove, QString(GuidaView::kPaginaAgenti, 'a'));
        const int scritture = appunti.scritture.size();
        clic(g, *nove.rettangoloCopia(FornitoreIA::claude));
        QCOMPARE(appunti.scritture.size(), scritture + (agenti ? 1 : 0));
    }

    void copyWritesTheRequestAndConfirmsForTwoSeconds_data()
    {
        QTest::addColumn<FornitoreIA>("fornitore");
        QTest::addColumn<QString>("etichetta");
        QTest::newRow("claude") << FornitoreIA::claude << "Copia per Claude Code";
        QTest::newRow("codex") << FornitoreIA::codex << "Copia per ChatGPT";
    }
    void copyWritesTheRequestAndConfirmsForTwoSeconds()
    {
        QFETCH(FornitoreIA, fornitore);
        QFETCH(QString, etichetta);
        const FornitoreIA altro = fornitore == FornitoreIA::claude ? FornitoreIA::codex : FornitoreIA::claude;
        GuidaView g(appunti, clock);
        g.show();
        premi(g, QString(GuidaView::kPaginaAgenti, 'a'));
        appunti.copia(QStringLiteral("vecchio"), {QStringLiteral("image/png")}, {{"image/png", "png"}});
        QCOMPARE(g.etichettaCopia(fornitore), etichetta);

        clic(g, *g.rettangoloCopia(fornitore));
        const QString richiesta = IstruzioniHook::promptInstallazioneHook(fornitore);
        QVERIFY(!richiesta.isEmpty());
        QCOMPARE(appunti.testo, richiesta);
        QCOMPARE(appunti.tipi, QStringList{QStringLiteral("text/plain")}); // the old image is gone
        QCOMPARE(g.copiato(), fornitore);
        QCOMPARE(g.etichettaCopia(fornitore), QStringLiteral("Copiato"));
        QCOMPARE(g.etichettaCopia(altro) == QStringLiteral("Copiato"), false);

        clock.advance(1.99);
        QCOMPARE(g.copiato(), fornitore);
        clock.advance(0.01);
        QCOMPARE(g.copiato(), std::nullopt);
        QCOMPARE(g.etichettaCopia(fornitore), etichetta);
    }

    void secondAgentWithinTwoSecondsKeepsItsConfirmation()
    {
        GuidaView g(appunti, clock);
        g.show();
        premi(g, QString(GuidaView::kPaginaAgenti, 'a'));
        clic(g, *g.rettangoloCopia(FornitoreIA::claude));
        clock.advance(1);
        clic(g, *g.rettangoloCopia(FornitoreIA::codex));
        QCOMPARE(appunti.testo, IstruzioniHook::promptInstallazioneHook(FornitoreIA::codex));
        QCOMPARE(g.etichettaCopia(FornitoreIA::claude), QStringLiteral("Copia per Claude Code"));
        QCOMPARE(g.etichettaCopia(FornitoreIA::codex), QStringLiteral("Copiato"));
        clock.advance(1); // the Claude copy's expiry leaves ChatGPT's in place
        QCOMPARE(g.copiato(), FornitoreIA::codex);
        clock.advance(0.99);
        QCOMPARE(g.copiato(), FornitoreIA::codex);
        clock.advance(0.01);
        QCOMPARE(g.copiato(), std::nullopt);
    }

    void copyingTheSameAgainKeepsTheFirstExpiry()
    {
        GuidaView g(appunti, clock);
        g.show();
        premi(g, QString(GuidaView::kPaginaAgenti, 'a'));
        clic(g, *g.rettangoloCopia(FornitoreIA::claude));
        clock.advance(1.5);
        clic(g, *g.rettangoloCopia(FornitoreIA::claude));
        clock.advance(0.49);
        QCOMPARE(g.copiato(), FornitoreIA::claude);
        clock.advance(0.01);
        QCOMPARE(g.copiato(), std::nullopt);
        // Once expired, a new copy runs a full 2 s of its own.
        clic(g, *g.rettangoloCopia(FornitoreIA::claude));
        clock.advance(1.99);
        QCOMPARE(g.copiato(), FornitoreIA::claude);
        clock.advance(0.01);
        QCOMPARE(g.copiato(), std::nullopt);
    }

    void pendingConfirmationDiesWithTheGuide()
    {
        auto g = std::make_unique<GuidaView>(appunti, clock);
        premi(*g, QString(GuidaView::kPaginaAgenti, 'a'));
        g->copia(FornitoreIA::codex);
        const int prima = clock.pending();
        g.reset();
        QCOMPARE(clock.pending(), prima - 1);
        clock.advance(3);
    }

    void rendersEveryPage_data()
    {
        QTest::addColumn<QString>("lingua");
        QTest::newRow("it") << "it";
        QTest::newRow("en") << "en";
        QTest::newRow("es") << "es";
    }
    void rendersEveryPage()
    {
        QFETCH(QString, lingua);
        Traduzioni::installa(lingua);
        for (int pagina = 0; pagina < GuidaView::kPagine; ++pagina) {
            FondoTacca fondo;
            GuidaView g(appunti, clock, &fondo);
            fondo.show();
            QCOMPARE(g.size(), NotchStateManager::kDimensioneGuida.toSize());
            g.setGeometry(FondoTacca::kTacca);
            premi(g, QString(pagina, 'a'));
            if (pagina == GuidaView::kPaginaAgenti)
                g.copia(FornitoreIA::codex);
            g.completaAnimazioni();
            const QImage img =
                salvaRender(fondo, QStringLiteral("guida-%1-%2").arg(lingua).arg(pagina, 2, 10, QLatin1Char('0')));
            // The title, the text and the footer all lie inside the guide.
            const QRectF titolo = g.rettangoloTitolo().translated(g.pos());
            bool chiaro = false;
            for (int x = int(titolo.left()); x < titolo.left() + 60 && !chiaro; ++x)
                for (int y = int(titolo.top()); y < titolo.bottom() && !chiaro; ++y)
                    chiaro = qGray(img.pixel(x, y)) > 200;
            QVERIFY2(chiaro, qPrintable(QStringLiteral("no title on page %1").arg(pagina)));
            QVERIFY(QRectF(g.rect()).contains(g.rettangoloPrincipale()));
            QVERIFY(g.rettangoloIndietro().right() < g.rettangoloPrincipale().left());
            if (auto copia = g.rettangoloCopia(FornitoreIA::codex))
                QVERIFY2(copia->bottom() + 20 < g.rettangoloPrincipale().top(), "copy row runs into the footer");
        }
        Traduzioni::installa(QStringLiteral("it"));
    }
};

QTEST_MAIN(TestGuidaView)
#include "tst_GuidaView.moc"
