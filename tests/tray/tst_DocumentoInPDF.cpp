#include "DocumentoInPDF.h"
#include "DocumentoWord.h"
#include "Interruzione.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString scrivi(const QString& percorso, const QByteArray& dati)
{
    QFile f(percorso);
    if (f.open(QIODevice::WriteOnly))
        f.write(dati);
    return percorso;
}

QImage tinta(QRgb colore)
{
    QImage im(40, 40, QImage::Format_RGB32);
    im.fill(colore);
    return im;
}

bool bianca(const QImage& im)
{
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            if (qAlpha(im.pixel(x, y)) != 0 && (im.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                return false;
    return true;
}

bool contieneColore(const QImage& im, QRgb colore)
{
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            if (qAbs(qRed(im.pixel(x, y)) - qRed(colore)) < 16 && qAbs(qGreen(im.pixel(x, y)) - qGreen(colore)) < 16
                && qAbs(qBlue(im.pixel(x, y)) - qBlue(colore)) < 16)
                return true;
    return false;
}

} // namespace

class TestDocumentoInPDF : public QObject {
    Q_OBJECT
    QTemporaryDir d;
    Interruzione mai;

private slots:
    void tipo_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<DocumentoInPDF::Tipo>("tipo");
        using T = DocumentoInPDF::Tipo;
        QTest::newRow("txt") << "note.txt" << T::testo;
        QTest::newRow("no extension") << "note" << T::testo;
        QTest::newRow("md") << "leggimi.md" << T::testo;
        QTest::newRow("upper-case HTM") << "page.HTM" << T::html;
        QTest::newRow("html") << "a.b.html" << T::html;
        QTest::newRow("rtf") << "x.Rtf" << T::rtf;
        QTest::newRow("rtfd") << "x.rtfd" << T::rtfd;
        QTest::newRow("doc") << "vecchio.doc" << T::doc;
        QTest::newRow("docx") << "nuovo.DOCX" << T::docx;
    }
    void tipo()
    {
        QFETCH(QString, nome);
        QFETCH(DocumentoInPDF::Tipo, tipo);
        QCOMPARE(DocumentoInPDF::tipoDocumento(nome), tipo);
    }

    // Every readable kind becomes A4 pages holding its text, under its stem.
    void converte_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("dati");
        QTest::addColumn<QString>("parola");
        TestoFormattato word;
        word.paragrafi << TestoFormattato::Paragrafo{{{QStringLiteral("Parola di Word"), true}}};
        QTest::newRow("txt") << "note.txt" << QByteArray("Una nota semplice\nsu due righe") << "semplice";
        QTest::newRow("md as written") << "leggimi.md" << QByteArray("# Titolo\n\n*corsivo*") << "# Titolo";
        QTest::newRow("html") << "pagina.htm" << QByteArray("<h1>Intestazione</h1><p>Paragrafo <b>forte</b></p>") << "Intestazione";
        QTest::newRow("rtf") << "lettera.rtf" << QByteArray("{\\rtf1\\ansi {\\b Gentile} cliente\\par}") << "Gentile cliente";
        QTest::newRow("docx") << "relazione.docx" << DocumentoWord::pacchetto(word) << "Parola di Word";
    }
    void converte()
    {
        QFETCH(QString, nome);
        QFETCH(QByteArray, dati);
        QFETCH(QString, parola);
        QTemporaryDir uscita;
        const auto pdf = DocumentoInPDF::converti(scrivi(d.filePath(nome), dati), uscita.path(), mai);
        QCOMPARE(pdf, uscita.filePath(QFileInfo(nome).completeBaseName() + QStringLiteral(".pdf")));
        QPdfDocument letto;
        QCOMPARE(letto.load(*pdf), QPdfDocument::Error::None);
        QCOMPARE(letto.pageCount(), 1);
        QCOMPARE(letto.pagePointSize(0).toSize(), QSize(595, 842));
        QVERIFY2(letto.getAllText(0).text().contains(parola), qPrintable(letto.getAllText(0).text()));
        QCOMPARE(QDir(uscita.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // A long document runs over as many pages as it needs, each inside the
    // 72-point margins, with every line on one page only: short lines and a
    // paragraph wrapping across page breaks, or table rows split by them.
    void paginato_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("dati");
        QTest::addColumn<QStringList>("pezzi");
        QStringList righe, parole, celle;
        for (int i = 1; i <= 150; ++i)
            righe << QStringLiteral("Riga%1").arg(i, 3, 10, QLatin1Char('0'));
        for (int i = 1; i <= 900; ++i)
            parole << QStringLiteral("parola%1").arg(i, 3, 10, QLatin1Char('0'));
        QByteArray tabella = "<table border=1>";
        for (int r = 0; r < 60; ++r) {
            QStringList riga;
            for (int i = 0; i < 20; ++i)
                riga << QStringLiteral("c%1x%2").arg(r, 2, 10, QLatin1Char('0')).arg(i, 2, 10, QLatin1Char('0'));
            celle << QStringLiteral("capo%1").arg(r, 2, 10, QLatin1Char('0')) << riga;
            tabella += "<tr><td>" + celle[celle.size() - 21].toUtf8() + "</td><td>" + riga.join(QLatin1Char(' ')).toUtf8() + "</td></tr>";
        }
        QTest::newRow("text") << "lungo.txt" << QByteArray(righe.join(QLatin1Char('\n')).toUtf8() + '\n' + parole.join(QLatin1Char(' ')).toUtf8())
                              << righe + parole;
        QTest::newRow("table") << "tabella.html" << tabella + "</table>" << celle;
    }
    void paginato()
    {
        QFETCH(QString, nome);
        QFETCH(QByteArray, dati);
        QFETCH(QStringList, pezzi);
        QTemporaryDir uscita;
        const auto pdf = DocumentoInPDF::converti(scrivi(d.filePath(nome), dati), uscita.path(), mai);
        QVERIFY(pdf);
        QPdfDocument letto;
        letto.load(*pdf);
        QVERIFY(letto.pageCount() >= 3);
        QString tutto;
        for (int p = 0; p < letto.pageCount(); ++p) {
            // Nothing is drawn in the margins.
            const QImage pagina = letto.render(p, QSize(595, 842));
            QVERIFY(bianca(pagina.copy(0, 0, 595, 70)));
            QVERIFY(bianca(pagina.copy(0, 842 - 70, 595, 70)));
            QVERIFY(bianca(pagina.copy(0, 0, 70, 842)));
            tutto += letto.getAllText(p).text() + QLatin1Char(' ');
        }
        for (const QString& pezzo : pezzi)
            QVERIFY2(tutto.count(pezzo) == 1, qPrintable(pezzo));
    }

    // An HTML page shows pictures of its own folder, and no other file.
    void risorseHtml()
    {
        QTemporaryDir fuori;
        QVERIFY(tinta(qRgb(220, 0, 0)).save(d.filePath(QStringLiteral("rosso.png"))));
        QVERIFY(tinta(qRgb(0, 0, 220)).save(fuori.filePath(QStringLiteral("blu.png"))));
        QFile::link(fuori.filePath(QStringLiteral("blu.png")), d.filePath(QStringLiteral("verso-fuori.png")));
        const QByteArray html = "<p>Figure</p><img src=\"rosso.png\"><img src=\"" + fuori.filePath(QStringLiteral("blu.png")).toUtf8()
            + "\"><img src=\"verso-fuori.png\"><img src=\"../" + QFileInfo(fuori.path()).fileName().toUtf8() + "/blu.png\">";
        QTemporaryDir uscita;
        const auto pdf = DocumentoInPDF::converti(scrivi(d.filePath(QStringLiteral("figure.html")), html), uscita.path(), mai);
        QVERIFY(pdf);
        QPdfDocument letto;
        letto.load(*pdf);
        const QImage pagina = letto.render(0, QSize(595, 842));
        QVERIFY(contieneColore(pagina, qRgb(220, 0, 0)));
        QVERIFY(!contieneColore(pagina, qRgb(0, 0, 220)));
    }

    void nienteDaLeggere_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("dati");
        QTest::newRow("legacy doc") << "vecchio.doc" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
        QTest::newRow("corrupt docx") << "rotto.docx" << QByteArray("PK\x03\x04 rotto");
        QTest::newRow("not rtf") << "finto.rtf" << QByteArray("solo testo");
        QTest::newRow("too large") << "enorme.txt" << QByteArray(DocumentoInPDF::kMassimoTesto + 1, 'a');
    }
    void nienteDaLeggere()
    {
        QFETCH(QString, nome);
        QFETCH(QByteArray, dati);
        QTemporaryDir uscita;
        QVERIFY(!DocumentoInPDF::converti(scrivi(d.filePath(nome), dati), uscita.path(), mai));
        QVERIFY(!DocumentoInPDF::converti(d.filePath(QStringLiteral("assente.txt")), uscita.path(), mai));
        QVERIFY(QDir(uscita.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
};

QTEST_MAIN(TestDocumentoInPDF)
#include "tst_DocumentoInPDF.moc"
