#include "ImmagineTesto.h"
#include "Interruzione.h"
#include "LettoreDocx.h"
#include "PdfInWord.h"
#include "TestOutput.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

// A PDF whose page i is drawn by `pagina(painter, i)`.
QString pdf(const QString& percorso, int pagine, const std::function<void(QPainter&, int)>& pagina)
{
    QPdfWriter w(percorso);
    w.setPageSize(QPageSize(QPageSize::A4));
    QPainter p(&w);
    for (int i = 0; i < pagine; ++i) {
        if (i > 0)
            w.newPage();
        pagina(p, i);
    }
    p.end();
    return percorso;
}

TestoFormattato letto(const std::optional<QString>& docx)
{
    QFile f(docx.value_or(QString()));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return LettoreDocx::leggi(f.readAll()).value_or(TestoFormattato{});
}

} // namespace

class TestPdfInWord : public QObject {
    Q_OBJECT
    QTemporaryDir d;
    Interruzione mai;

private slots:
    // Each page's own text, a blank line between pages (none after the last),
    // under the PDF's stem and then the next free name.
    void testoDellePagine()
    {
        const QString sorgente = pdf(d.filePath(QStringLiteral("Relazione.pdf")), 3, [](QPainter& p, int i) {
            p.setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
            if (i != 1)
                p.drawText(QPointF(500, 800), i == 0 ? QStringLiteral("Prima pagina") : QStringLiteral("Terza pagina"));
        });
        const auto uno = PdfInWord::converti(sorgente, d.path(), mai);
        QCOMPARE(uno, d.filePath(QStringLiteral("Relazione.docx")));
        QCOMPARE(letto(uno).testoSemplice(), QStringLiteral("Prima pagina\n\n\n\nTerza pagina"));
        QCOMPARE(PdfInWord::converti(sorgente, d.path(), mai), d.filePath(QStringLiteral("Relazione-2.docx")));
    }

    // A PDF as LibreOffice writes it (documenti/README.md): each paragraph's
    // lines joined again and no further, runs in their size and weight.
    void paginaConTesto()
    {
        const auto docx = PdfInWord::converti(QStringLiteral(HALVORA_DOCUMENTI_PROVA "/lettera.pdf"), d.path(), mai);
        const QString copia = QDir(cartellaOutputTest()).filePath(QStringLiteral("lettera-da-pdf.docx"));
        QFile::remove(copia);
        QFile::copy(docx.value_or(QString()), copia);
        const TestoFormattato t = letto(docx);
        QStringList paragrafi;
        std::optional<TestoFormattato::Tratto> logo;
        for (const auto& p : t.paragrafi) {
            paragrafi << TestoFormattato{{p}}.testoSemplice();
            for (const auto& r : p.tratti)
                if (r.testo.contains(QLatin1String("LOGO")))
                    logo = r;
        }
        const QStringList lorem = paragrafi.filter(QStringLiteral("Lorem ipsum"));
        QCOMPARE(lorem.size(), 2);
        QVERIFY2(lorem[0].contains(QLatin1String("incididunt ut labore")) && lorem[0].endsWith(QLatin1String("laborum.")),
                 qPrintable(lorem[0]));
        QVERIFY(paragrafi.contains(QStringLiteral("We are looking forward to hearing from you soon.")));
        QVERIFY(logo && logo->grassetto && logo->punti == 18);
        QVERIFY(!t.paragrafi.isEmpty() && t.paragrafi.last().tratti.value(0).punti == 10);
    }

    // A scanned page has its text recognised, set in 12 points.
    void paginaScansionata()
    {
        const QImage scansione = immagineTesto({"Documento scansionato", "Seconda riga"}, 40);
        const QString sorgente = pdf(d.filePath(QStringLiteral("scan.pdf")), 1, [&](QPainter& p, int) {
            p.drawImage(QRectF(QPointF(0, 0), QSizeF(scansione.size()) * 4), scansione);
        });
        const TestoFormattato t = letto(PdfInWord::converti(sorgente, d.path(), mai));
        QVERIFY2(t.testoSemplice().contains(QStringLiteral("scansionato")), qPrintable(t.testoSemplice()));
        QCOMPARE(t.paragrafi.size(), 2);
        QCOMPARE(t.paragrafi[0].tratti[0].punti, 12.0);
    }

    void nienteDaScrivere()
    {
        QTemporaryDir vuota;
        const QString bianco = pdf(d.filePath(QStringLiteral("bianco.pdf")), 2, [](QPainter&, int) {});
        QVERIFY(!PdfInWord::converti(bianco, vuota.path(), mai));
        QFile rotto(d.filePath(QStringLiteral("rotto.pdf")));
        QVERIFY(rotto.open(QIODevice::WriteOnly));
        rotto.write("%PDF-1.4 non proprio");
        rotto.close();
        QVERIFY(!PdfInWord::converti(rotto.fileName(), vuota.path(), mai));
        QVERIFY(QDir(vuota.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
};

QTEST_MAIN(TestPdfInWord)
#include "tst_PdfInWord.moc"
