#include "BundleProva.h"
#include "Colori.h"
#include "FakeClock.h"
#include "Installazione.h"
#include "InstallazioneCardView.h"
#include "TestOutput.h"
#include "Traduzioni.h"
#include "UserDefaults.h"

#include <QAbstractButton>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

using Tipo = InstallazioneCardView::Fase::Tipo;

// The card over a real installation whose service and relaunch are stood in for.
class TestInstallazioneCardView : public QObject {
    Q_OBJECT
    QTemporaryDir casa;
    FakeClock clock;
    QStringList richieste;

    std::unique_ptr<Installazione> installazione(const QString& bundle, UserDefaults& impostazioni)
    {
        return std::make_unique<Installazione>(Installazione::Dipendenze{
            clock, impostazioni,
            {bundle, bundle + QStringLiteral("/halvora"), casa.path(), casa.filePath(QStringLiteral("Applications"))},
            [this](const QString& b, std::function<void(bool)> r) {
                richieste << QStringLiteral("rilancia ") + b;
                r(false);
            },
            [](const QString&, std::function<void(bool)> r) { r(true); },
            [this](const QString& cartella, const QString& voce) {
                richieste << QStringLiteral("mostra %1 %2").arg(cartella, voce);
            }});
    }
    static void render(InstallazioneCardView& v, const QString& nome)
    {
        v.completaTransizione();
        QImage img(v.size(), QImage::Format_ARGB32);
        img.fill(QColor(20, 20, 20));
        QPainter p(&img);
        v.render(&p, {}, {}, QWidget::DrawChildren);
        p.end();
        salvaImmagine(img, nome);
    }

private slots:
    // What the default Italian user sees.
    void initTestCase() { Traduzioni::installa(QStringLiteral("it")); }
    void init() { richieste.clear(); }

    void installingLeadsToOpenOrToTheFileManager_data()
    {
        QTest::addColumn<bool>("riesce");
        QTest::newRow("copied, not switched") << true;
        QTest::newRow("the copy fails") << false;
    }
    void installingLeadsToOpenOrToTheFileManager()
    {
        QFETCH(bool, riesce);
        const QString bundle = casa.filePath(riesce ? QStringLiteral("build/Halvora.app") : QStringLiteral("Assente.app"));
        if (riesce)
            QVERIFY(BundleProva::crea(bundle));
        UserDefaults impostazioni(casa.filePath(QStringLiteral("d.ini")));
        auto inst = installazione(bundle, impostazioni);
        int chiusure = 0;
        InstallazioneCardView v(*inst, [&] { ++chiusure; }, clock);
        v.show();
        QCOMPARE(v.fase().tipo, Tipo::daFare);
        QCOMPARE(v.titolo(), QStringLiteral("Installami in ~/Applications"));
        QCOMPARE(v.pulsanteAzione()->toolTip(), QStringLiteral("Copiami in ~/Applications e riavviami da lì"));
        QCOMPARE(v.colore(), Colori::blu());
        render(v, QStringLiteral("installazione-daFare"));

        v.pulsanteAzione()->click();
        QCOMPARE(v.fase().tipo, Tipo::inCorso);
        QCOMPARE(v.titolo(), QStringLiteral("Installazione in corso…"));
        QVERIFY(!v.pulsanteAzione()->isEnabled() && v.etichettaAzione().isEmpty());
        render(v, QStringLiteral("installazione-inCorso"));
        // Closing is offered even while it copies.
        v.pulsanteChiudi()->click();
        QCOMPARE(chiusure, 1);

        QTRY_VERIFY_WITH_TIMEOUT(v.fase().tipo != Tipo::inCorso, 20000);
        const QString installata = casa.filePath(QStringLiteral("Applications/") + QFileInfo(bundle).fileName());
        if (riesce) {
            QCOMPARE(v.fase().tipo, Tipo::daAprire);
            QCOMPARE(v.titolo(), QStringLiteral("Fatto: sono in ~/Applications"));
            QCOMPARE(v.sottotitolo(), QStringLiteral("APRIMI DA LÌ PER FINIRE"));
            QCOMPARE(v.colore(), Colori::verde());
            render(v, QStringLiteral("installazione-daAprire"));
            richieste.clear();
            v.pulsanteAzione()->click();
            QCOMPARE(richieste, QStringList{"rilancia " + installata});
        } else {
            QCOMPARE(v.fase().tipo, Tipo::fallita);
            QCOMPARE(v.titolo(), QStringLiteral("Trascinami tu nella cartella"));
            QCOMPARE(v.sottotitolo(), QStringLiteral("TE LA MOSTRO NEL GESTORE DEI FILE"));
            QCOMPARE(v.etichettaAzione(), QStringLiteral("Mostra"));
            QCOMPARE(v.pulsanteAzione()->toolTip(), QString::fromLocal8Bit(std::strerror(ENOENT)));
            QCOMPARE(v.colore(), Colori::arancione());
            render(v, QStringLiteral("installazione-fallita"));
            v.pulsanteAzione()->click();
            QCOMPARE(richieste,
                     QStringList{QStringLiteral("mostra %1 %2").arg(casa.filePath(QStringLiteral("Applications")), bundle)});
        }
        const auto fase = v.fase();
        v.pulsanteChiudi()->click();
        QCOMPARE(chiusure, 2);
        QCOMPARE(v.fase(), fase);
    }
};

QTEST_MAIN(TestInstallazioneCardView)
#include "tst_InstallazioneCardView.moc"
