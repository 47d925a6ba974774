#include "ClipboardManager.h"
#include "ClipboardView.h"
#include "ElencoAppunti.h"
#include "FakeClock.h"
#include "FakeFrontApplication.h"
#include "FakePasteboard.h"
#include "TestOutput.h"
#include "Traduzioni.h"
#include "UserDefaults.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {
// The notch panel is black; the tab draws over it.
class Pannello final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
};
} // namespace

class TestClipboardView : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clock;
    FakePasteboard pb;
    FakeFrontApplication front;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<ClipboardManager> m;
    std::unique_ptr<Pannello> pannello;
    ClipboardView* vista = nullptr;

    void copia(const QString& t)
    {
        pb.copia(t);
        clock.advance(0.75);
        QTRY_VERIFY(!m->leggendo());
    }
    QAbstractButton* pulsante(const char* nome) { return vista->findChild<QAbstractButton*>(nome); }
    ElencoAppunti* elenco() { return vista->findChild<ElencoAppunti*>(); }
    QWidget* vuoto() { return vista->findChild<QWidget*>("statoVuoto"); }
    void salva(const QString& nome)
    {
        QCoreApplication::processEvents(); // let the layout follow the last change
        salvaRender(*pannello, nome);
    }
    void cerca(const QString& t)
    {
        auto* campo = vista->findChild<QLineEdit*>("ricerca");
        campo->clear();
        QTest::keyClicks(campo, t);
    }

private slots:
    void init()
    {
        pb.scritture.clear();
        defaults = std::make_unique<UserDefaults>(dir.filePath("d.ini"));
        m = std::make_unique<ClipboardManager>(pb, front, *defaults, clock);
        pannello = std::make_unique<Pannello>();
        pannello->resize(620, 420);
        vista = new ClipboardView(*m, pannello.get());
        vista->setGeometry(pannello->rect().adjusted(10, 12, -10, -10));
        pannello->show();
        QVERIFY(QTest::qWaitForWindowExposed(pannello.get()));
    }
    void cleanup()
    {
        pannello.reset();
        m.reset();
    }

    void emptyHistoryInvitesACopyAndDisablesBothButtons()
    {
        QVERIFY(vuoto()->isVisible());
        QCOMPARE(vuoto()->accessibleName(), QStringLiteral("Copia un testo per iniziare"));
        QVERIFY(!pulsante("copiaTutto")->isEnabled());
        QVERIFY(!pulsante("svuota")->isEnabled());
        salva("clipboard_vuoto");
    }

    void rowsShowTheHistoryAndTheirButtonCopiesBack()
    {
        copia("Prima nota");
        copia(QStringLiteral("Un testo lungo che continua ben oltre lo spazio di tre righe della riga: ").repeated(4));
        copia("riga uno\nriga due\nriga tre\nriga quattro");
        copia("https://example.org/percorso?q=1");
        QVERIFY(elenco()->isVisible());
        QVERIFY(!vuoto()->isVisible());
        QCOMPARE(testiDi(elenco()->voci()), m->copiedItems());
        QVERIFY(pulsante("copiaTutto")->isEnabled());
        QVERIFY(pulsante("svuota")->isEnabled());

        // Hover the second row, as the picture shows it.
        QTest::mouseMove(elenco(), elenco()->rettangoloRiga(1).center());
        QTRY_COMPARE(elenco()->rigaSottoIlMouse(), std::optional<QString>(m->copiedItems().at(1)));
        QTest::qWait(250);
        salva("clipboard_elenco");

        const QStringList prima = m->copiedItems();
        QTest::mouseClick(elenco(), Qt::LeftButton, {}, elenco()->rettangoloPulsante(3).center());
        QCOMPARE(pb.scritture, QStringList{"Prima nota"});
        clock.advance(2);
        QCOMPARE(m->copiedItems(), prima);
    }

    void longTextsShowAtMostThreeLinesEndingInAnEllipsis_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("righe");
        QTest::addColumn<bool>("puntini");
        QTest::newRow("short") << "breve" << 1 << false;
        QTest::newRow("wrapped") << QString("parola ").repeated(60) << 3 << true;
        QTest::newRow("four lines") << "a\nb\nc\nd" << 3 << true;
        QTest::newRow("three lines") << "a\nb\nc" << 3 << false;
        QTest::newRow("unbroken") << QString("x").repeated(400) << 3 << true;
        // Only the start is laid out: the lines are still the first three.
        QTest::newRow("a megabyte") << QString("parola ").repeated(150000) << 3 << true;
        QTest::newRow("marks of no width") << QString(QChar(0x0301)).repeated(3000) << 1 << true;
    }
    void longTextsShowAtMostThreeLinesEndingInAnEllipsis()
    {
        QFETCH(QString, testo);
        QFETCH(int, righe);
        QFETCH(bool, puntini);
        const QStringList r = ElencoAppunti::righeVisibili(testo, ElencoAppunti::fontTesto(), 300);
        QCOMPARE(r.size(), righe);
        QCOMPARE(r.last().endsWith(QChar(0x2026)), puntini);
        for (const QString& l : r)
            QVERIFY(QFontMetrics(ElencoAppunti::fontTesto()).horizontalAdvance(l) <= 300);
    }

    void searchFiltersAndNoResultKeepsCopyAllEnabled()
    {
        copia("Riunione alle 10 in sala verde");
        copia("lista della spesa");
        copia("riunione annullata");
        cerca("RIUNIONE");
        QCOMPARE(testiDi(vista->filtered()), (QStringList{"riunione annullata", "Riunione alle 10 in sala verde"}));
        QCOMPARE(elenco()->voci(), vista->filtered());
        salva("clipboard_ricerca");

        cerca("nessuna corrispondenza");
        QVERIFY(vuoto()->isVisible());
        QCOMPARE(vuoto()->accessibleName(), QStringLiteral("Nessun risultato"));
        QVERIFY(!pulsante("svuota")->isEnabled());
        QVERIFY(pulsante("copiaTutto")->isEnabled());
        salva("clipboard_nessun_risultato");
        QTest::mouseClick(pulsante("copiaTutto"), Qt::LeftButton);
        QCOMPARE(pb.scritture, QStringList{ClipboardManager::unisci(m->copiedItems())});
        QCOMPARE(m->copiedItems().size(), 3);
    }

    void clearingEmptiesTheHistoryOnly()
    {
        copia("uno");
        copia("due");
        QTest::mouseClick(pulsante("svuota"), Qt::LeftButton);
        QVERIFY(m->copiedItems().isEmpty());
        QVERIFY(vuoto()->isVisible());
        QVERIFY(pb.scritture.isEmpty());
        QCOMPARE(pb.testo, std::optional<QString>("due"));
    }

    void textsFollowTheInterfaceLanguage_data()
    {
        QTest::addColumn<QString>("lingua");
        QTest::addColumn<QString>("vuoto");
        QTest::addColumn<QString>("segnaposto");
        QTest::newRow("en") << "en" << "Copy some text to get started" << "Search clipboard...";
        QTest::newRow("es") << "es" << "Copia un texto para empezar" << "Buscar en el portapapeles...";
    }
    void textsFollowTheInterfaceLanguage()
    {
        QFETCH(QString, lingua);
        QFETCH(QString, vuoto);
        QFETCH(QString, segnaposto);
        Traduzioni tabelle;
        QVERIFY(tabelle.carica(lingua));
        QCoreApplication::installTranslator(&tabelle);
        ClipboardView tradotta(*m);
        QCoreApplication::removeTranslator(&tabelle);
        QCOMPARE(tradotta.findChild<QWidget*>("statoVuoto")->accessibleName(), vuoto);
        QCOMPARE(tradotta.findChild<QLineEdit*>("ricerca")->placeholderText(), segnaposto);
    }
};

QTEST_MAIN(TestClipboardView)
#include "tst_ClipboardView.moc"
