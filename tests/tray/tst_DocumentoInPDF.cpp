#include "DocumentoInPDF.h"
#include "DocumentoWord.h"
#include "Interruzione.h"
#include "LettoreDoc.h"
#include "TestOutput.h"
#include "TestoPdf.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QElapsedTimer>
#include <QStringEncoder>
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

// The PDF a conversion gave, loaded into `letto`; false when there is none to read.
bool leggiPdf(const std::optional<QString>& pdf, QPdfDocument& letto)
{
    return pdf && letto.load(*pdf) == QPdfDocument::Error::None;
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

// The first word whose text is `testo` (punctuation after it aside), with its page.
std::optional<std::pair<int, TestoPdf::Parola>> parola(const QList<QList<TestoPdf::Parola>>& pagine, const QString& testo)
{
    for (int p = 0; p < pagine.size(); ++p)
        for (const TestoPdf::Parola& w : pagine[p])
            if (w.testo == testo || (w.testo.startsWith(testo) && w.testo.size() == testo.size() + 1 && w.testo.back().isPunct()))
                return std::pair(p, w);
    return std::nullopt;
}

QString eseguibile(const QString& percorso, const QByteArray& script)
{
    scrivi(percorso, "#!/bin/sh\n" + script + "\n");
    QFile::setPermissions(percorso, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return percorso;
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
        QVERIFY(leggiPdf(pdf, letto));
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
        QPdfDocument letto;
        QVERIFY(leggiPdf(pdf, letto));
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
        QPdfDocument letto;
        QVERIFY(leggiPdf(pdf, letto));
        const QImage pagina = letto.render(0, QSize(595, 842));
        QVERIFY(contieneColore(pagina, qRgb(220, 0, 0)));
        QVERIFY(!contieneColore(pagina, qRgb(0, 0, 220)));
    }

    // Documents as LibreOffice writes them (documenti/README.md), as .docx,
    // .doc and .rtf: every text once (a text box's too), bold runs in a bold
    // font, the largest run in its size, the cells of a table row side by
    // side in order, a coloured run in its colour, list markers before their
    // items and the items of both lists starting where their text hangs from.
    void documentiDiLibreOffice_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QStringList>("unaVolta");
        QTest::addColumn<QStringList>("grassetti");
        QTest::addColumn<QString>("grande");
        QTest::addColumn<double>("punti");
        QTest::addColumn<QStringList>("riga");
        QTest::addColumn<QString>("rossa");
        QTest::addColumn<QStringList>("allineate");
        for (const char* e : {"docx", "doc", "rtf"}) {
            const QString tipo = QString::fromLatin1(e);
            QTest::addRow("letter %s", e) << "lettera." + tipo
                                         << QStringList{"LOGO", "Company Name", "Yours sincerely", "forward to hearing"}
                                         << QStringList{"LOGO"} << "LOGO" << 18.0 << QStringList{} << QString()
                                         << QStringList{};
            QTest::addRow("agenda %s", e) << "agenda." + tipo
                                         << QStringList{"<meeting-type>", "#topicheader#", "<bring>", "#minutes-for#"}
                                         << QStringList{"#topics#", "<meeting-type>"} << "<title>" << 16.0
                                         << QStringList{"#num.#", "#topicheader#", "#responsibleheader#", "#timeheader#"}
                                         << QString() << QStringList{};
            QTest::addRow("lists %s", e) << "elenchi." + tipo
                                        << QStringList{"Capitolo primo", "Pere Williams", "Secondo passo", "così"}
                                        << QStringList{"Capitolo", "grassetto"} << "Capitolo" << 24.0
                                        << QStringList{"2.", "Secondo"} << "rosso" << QStringList{"Mele", "Primo", "Secondo"};
        }
    }
    void documentiDiLibreOffice()
    {
        QFETCH(QString, nome);
        QFETCH(QStringList, unaVolta);
        QFETCH(QStringList, grassetti);
        QFETCH(QString, grande);
        QFETCH(double, punti);
        QFETCH(QStringList, riga);
        QFETCH(QString, rossa);
        QFETCH(QStringList, allineate);
        QTemporaryDir uscita;
        const auto pdf = DocumentoInPDF::converti(QStringLiteral(HALVORA_DOCUMENTI_PROVA "/") + nome, uscita.path(), mai);
        QPdfDocument letto;
        QVERIFY(leggiPdf(pdf, letto));
        const QString nomeUscita = QFileInfo(nome).fileName().replace('.', '-');
        const QImage prima = salvaImmagine(letto.render(0, QSize(595, 842) * 2), nomeUscita);
        QFile::remove(QDir(cartellaOutputTest()).filePath(nomeUscita + QStringLiteral(".pdf")));
        QFile::copy(*pdf, QDir(cartellaOutputTest()).filePath(nomeUscita + QStringLiteral(".pdf")));
        QString tutto;
        for (int p = 0; p < letto.pageCount(); ++p)
            tutto += letto.getAllText(p).text() + QLatin1Char('\n');
        for (const QString& t : unaVolta)
            QVERIFY2(tutto.count(t) == 1, qPrintable(t + QStringLiteral(" in ") + tutto));
        const auto pagine = TestoPdf::parole(*pdf);
        QVERIFY(pagine);
        for (const QString& g : grassetti) {
            const auto w = parola(*pagine, g);
            QVERIFY2(w && w->second.grassetto(), qPrintable(g));
        }
        const auto maggiore = parola(*pagine, grande);
        QVERIFY(maggiore);
        QVERIFY2(qAbs(maggiore->second.punti - punti) < 0.6, qPrintable(QString::number(maggiore->second.punti)));
        for (qsizetype i = 1; i < riga.size(); ++i) {
            const auto a = parola(*pagine, riga[i - 1]), b = parola(*pagine, riga[i]);
            QVERIFY2(a && b && a->first == b->first, qPrintable(riga[i]));
            QVERIFY2(qAbs(a->second.riquadro.center().y() - b->second.riquadro.center().y()) < 3,
                     qPrintable(QStringLiteral("%1 %2").arg(a->second.riquadro.center().y()).arg(b->second.riquadro.center().y())));
            QVERIFY(a->second.riquadro.right() <= b->second.riquadro.left());
        }
        if (!rossa.isEmpty()) {
            const auto w = parola(*pagine, rossa);
            QVERIFY(w && w->first == 0);
            const QRect r = QRectF(w->second.riquadro.topLeft() * 2, w->second.riquadro.size() * 2).toRect();
            QVERIFY(contieneColore(prima.copy(r), qRgb(200, 0, 0)) || contieneColore(prima.copy(r), qRgb(255, 0, 0)));
        }
        for (const QString& t : allineate) {
            const auto a = parola(*pagine, allineate[0]), b = parola(*pagine, t);
            QVERIFY2(a && b && qAbs(a->second.riquadro.left() - b->second.riquadro.left()) < 1,
                     qPrintable(t + QStringLiteral(" at ") + (b ? QString::number(b->second.riquadro.left()) : QString())));
        }
    }

    // Text and HTML files come out with their own letters whatever they were saved in.
    void codifiche_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("dati");
        QTest::addColumn<QString>("atteso");
        const QString nomeProprio = QString::fromUtf8("Saúl Ibarra Corretgé");
        QTest::newRow("Latin-1") << "nome.txt" << nomeProprio.toLatin1() << nomeProprio;
        QStringEncoder w1252("windows-1252");
        const QString virgolette = QString::fromUtf8("«Perché» costa 5€ – “sì”");
        QTest::newRow("Windows-1252") << "prezzo.txt" << QByteArray(w1252(virgolette)) << virgolette;
        QTest::newRow("UTF-8 with its mark") << "segno.md" << QByteArray("\xEF\xBB\xBF") + nomeProprio.toUtf8() << nomeProprio;
        QStringEncoder w1251("windows-1251");
        const QString russo = QString::fromUtf8("Привет, мир! Это простой текст на русском языке.");
        QTest::newRow("HTML by its meta charset")
            << "pagina.html"
            << QByteArray("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\"></head><body><p>")
                   + QByteArray(w1251(russo)) + "</p></body></html>"
            << russo;
        QTest::newRow("HTML declared Latin-1 reads as Windows-1252")
            << "vecchia.htm" << QByteArray("<meta charset=\"iso-8859-1\"><p>") + QByteArray(w1252(virgolette)) << virgolette;
    }
    void codifiche()
    {
        QFETCH(QString, nome);
        QFETCH(QByteArray, dati);
        QFETCH(QString, atteso);
        QTemporaryDir uscita;
        const auto pdf = DocumentoInPDF::converti(scrivi(d.filePath(nome), dati), uscita.path(), mai);
        QPdfDocument letto;
        QVERIFY(leggiPdf(pdf, letto));
        QCOMPARE(letto.getAllText(0).text().simplified(), atteso);
    }

    // The Word 97 helper is not trusted: one that crashes, answers without
    // end, hangs past its limit or is stopped gives nothing.
    void aiutanteWord97_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("ferma");
        QTest::addColumn<int>("limite");
        const int normale = LettoreDoc::kSecondiMassimi * 1000;
        QTest::newRow("crashes") << QByteArray("cat > /dev/null; kill -SEGV $$") << false << normale;
        QTest::newRow("answers without end") << QByteArray("yes '<w:p/>'") << false << normale;
        QTest::newRow("not well-formed") << QByteArray("echo '<w:document><w:body><w:p>'") << false << normale;
        QTest::newRow("hangs past its limit") << QByteArray("exec sleep 100") << false << 500;
        QTest::newRow("stopped") << QByteArray("exec sleep 100") << true << normale;
    }
    void aiutanteWord97()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, ferma);
        QFETCH(int, limite);
        Interruzione stop;
        if (ferma)
            stop.richiedi();
        QElapsedTimer t;
        t.start();
        const QString documento = QStringLiteral(HALVORA_DOCUMENTI_PROVA "/lettera.doc");
        QVERIFY(LettoreDoc::leggi(documento, mai));
        QVERIFY(!LettoreDoc::leggi(documento, stop, eseguibile(d.filePath(QStringLiteral("finto")), script), limite));
        QVERIFY(t.elapsed() < 10000);
    }

    void nienteDaLeggere_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("dati");
        QTest::newRow("doc that is not Word") << "vecchio.doc" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
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
