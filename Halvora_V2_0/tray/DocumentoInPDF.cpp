#include "DocumentoInPDF.h"

#include "CodificaTesto.h"
#include "Interruzione.h"
#include "LettoreDoc.h"
#include "LettoreDocx.h"
#include "LettoreRtf.h"
#include "NomeLibero.h"
#include "TestoFormattato.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPdfWriter>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>

#include <limits>

// Qt's own: the logical resolution its text layout scales tab stops by.
Q_GUI_EXPORT int qt_defaultDpiY();

namespace {

std::optional<QByteArray> leggiFile(const QString& percorso, qint64 massimo)
{
    // Only regular files: opening a pipe would wait for a writer.
    QFile f(percorso);
    if (!QFileInfo(percorso).isFile() || !f.open(QIODevice::ReadOnly) || f.size() > massimo)
        return std::nullopt;
    QByteArray dati = f.read(massimo + 1);
    if (dati.size() > massimo || f.error() != QFile::NoError)
        return std::nullopt;
    return dati;
}

// An HTML page may use pictures and style sheets lying in its own folder
// (or below it) and nothing else: no other file of the user's is read on
// its behalf, and nothing is fetched from the network.
class PaginaHtml : public QTextDocument {
public:
    explicit PaginaHtml(const QString& cartella) : cartella_(QFileInfo(cartella).canonicalFilePath()) {}

protected:
    QVariant loadResource(int tipo, const QUrl& nome) override
    {
        // A refused picture is an empty one: given nothing, Qt would load the name itself.
        const QVariant rifiutata = tipo == QTextDocument::ImageResource ? QVariant(QImage(1, 1, QImage::Format_ARGB32_Premultiplied))
                                                                        : QVariant();
        if ((tipo != QTextDocument::ImageResource && tipo != QTextDocument::StyleSheetResource) || cartella_.isEmpty())
            return rifiutata;
        const QUrl risolto = baseUrl().resolved(nome);
        if (!risolto.isLocalFile())
            return rifiutata;
        const QString vero = QFileInfo(risolto.toLocalFile()).canonicalFilePath();
        if (vero.isEmpty() || !vero.startsWith(cartella_ + QLatin1Char('/')) || QFileInfo(vero).size() > DocumentoInPDF::kMassimoRisorsa)
            return rifiutata;
        if (tipo == QTextDocument::StyleSheetResource) {
            const auto foglio = leggiFile(vero, DocumentoInPDF::kMassimoTesto);
            return foglio ? QVariant(QString::fromUtf8(*foglio)) : QVariant();
        }
        QImageReader lettore(vero);
        const QImage immagine = lettore.read();
        return immagine.isNull() ? rifiutata : QVariant(immagine);
    }

private:
    QString cartella_;
};

// Qt's text layout counts tab stops, spaces between paragraphs and table
// borders and padding in pixels of the screen's logical resolution,
// whatever the device it lays out for; indents in the device's own.
double pixelLogici() { return qt_defaultDpiY() / 72.0; }

QTextBlockFormat formatoBlocco(const TestoFormattato::Paragrafo& p, double scala)
{
    QTextBlockFormat blocco;
    using A = TestoFormattato::Allineamento;
    blocco.setAlignment(p.allineamento == A::centro ? Qt::AlignHCenter
                        : p.allineamento == A::destra ? Qt::AlignRight
                        : p.allineamento == A::giustificato ? Qt::AlignJustify
                                                            : Qt::AlignLeft);
    blocco.setHeadingLevel(p.titolo);
    blocco.setTopMargin(qBound(0.0, p.spazioPrima, DocumentoInPDF::kRientroMassimo) * pixelLogici());
    blocco.setBottomMargin(qBound(0.0, p.spazioDopo, DocumentoInPDF::kRientroMassimo) * pixelLogici());
    // Indents stay on the page, and a hanging first line at its left edge.
    const double rientro = qBound(0.0, p.rientro, DocumentoInPDF::kRientroMassimo);
    blocco.setLeftMargin(rientro * scala);
    blocco.setTextIndent(qBound(-rientro, p.primaRiga, DocumentoInPDF::kRientroMassimo) * scala);
    // A list marker's tab goes to where the text hangs from.
    if (p.primaRiga < 0)
        blocco.setTabPositions({QTextOption::Tab(-qBound(-rientro, p.primaRiga, 0.0) * pixelLogici(), QTextOption::LeftTab)});
    return blocco;
}

void scriviTratti(QTextCursor& c, const TestoFormattato::Paragrafo& p)
{
    for (const auto& t : p.tratti) {
        QTextCharFormat f;
        f.setFontWeight(t.grassetto ? QFont::Bold : QFont::Normal);
        f.setFontItalic(t.corsivo);
        f.setFontUnderline(t.sottolineato);
        f.setFontStrikeOut(t.barrato);
        if (t.punti > 0)
            f.setFontPointSize(t.punti);
        // The page is white and shading is not kept: text too light to read on it is set in the automatic colour.
        if (t.colore && qGray(QRgb(*t.colore)) < 224)
            f.setForeground(QColor(QRgb(*t.colore)));
        c.insertText(t.testo, f);
    }
}

// The paragraphs as blocks, and those of each table as a table of their cells.
void riempi(QTextDocument& documento, const TestoFormattato& testo, double scala)
{
    QTextCursor c(&documento);
    bool vuoto = true; // the block under the cursor is still to be filled
    const auto& paragrafi = testo.paragrafi;
    for (qsizetype i = 0; i < paragrafi.size();) {
        const auto& p = paragrafi[i];
        qsizetype fine = i;
        int righe = 0, colonne = 0;
        for (; p.cella && fine < paragrafi.size() && paragrafi[fine].cella && paragrafi[fine].cella->tabella == p.cella->tabella;
             ++fine) {
            righe = qMax(righe, paragrafi[fine].cella->riga + 1);
            colonne = qMax(colonne, qMin(paragrafi[fine].cella->colonna, TestoFormattato::kColonneMassime - 1) + 1);
        }
        // A table of more cells than a document holds is laid out as its paragraphs.
        if (!p.cella || qint64(righe) * colonne > DocumentoInPDF::kCelleMassime) {
            for (const qsizetype ultimo = p.cella ? fine : i + 1; i < ultimo; ++i) {
                if (vuoto)
                    c.setBlockFormat(formatoBlocco(paragrafi[i], scala));
                else
                    c.insertBlock(formatoBlocco(paragrafi[i], scala));
                vuoto = false;
                scriviTratti(c, paragrafi[i]);
            }
            continue;
        }
        QTextTableFormat formato;
        formato.setBorder(0.5 * pixelLogici());
        formato.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        formato.setBorderBrush(QColor(160, 160, 160));
        formato.setCellSpacing(0);
        formato.setCellPadding(3 * pixelLogici());
        formato.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        if (!vuoto)
            c.insertBlock();
        QTextTable* tabella = c.insertTable(righe, colonne, formato);
        QSet<std::pair<int, int>> riempite;
        for (; i < fine; ++i) {
            const auto& cella = *paragrafi[i].cella;
            const std::pair<int, int> dove(cella.riga, qMin(cella.colonna, TestoFormattato::kColonneMassime - 1));
            QTextCursor dentro = tabella->cellAt(dove.first, dove.second).lastCursorPosition();
            if (riempite.contains(dove))
                dentro.insertBlock(formatoBlocco(paragrafi[i], scala));
            else
                dentro.setBlockFormat(formatoBlocco(paragrafi[i], scala));
            riempite.insert(dove);
            scriviTratti(dentro, paragrafi[i]);
        }
        c.movePosition(QTextCursor::End);
        vuoto = true;
    }
}

// The document read into `documento`, its indents at `scala` pixels a
// point; false when it cannot be read.
bool leggi(QTextDocument& documento, const QString& percorso, double scala, const Interruzione& stop)
{
    std::optional<TestoFormattato> testo;
    switch (DocumentoInPDF::tipoDocumento(percorso)) {
    case DocumentoInPDF::Tipo::testo: {
        const auto dati = leggiFile(percorso, DocumentoInPDF::kMassimoTesto);
        if (!dati)
            return false;
        documento.setPlainText(CodificaTesto::testo(*dati));
        return true;
    }
    case DocumentoInPDF::Tipo::html: {
        const auto dati = leggiFile(percorso, DocumentoInPDF::kMassimoTesto);
        if (!dati)
            return false;
        documento.setBaseUrl(QUrl::fromLocalFile(QFileInfo(percorso).absolutePath() + QLatin1Char('/')));
        documento.setHtml(CodificaTesto::html(*dati));
        return true;
    }
    case DocumentoInPDF::Tipo::rtf:
    case DocumentoInPDF::Tipo::rtfd: {
        // An RTFD is a folder holding its text as TXT.rtf.
        const bool cartella = DocumentoInPDF::tipoDocumento(percorso) == DocumentoInPDF::Tipo::rtfd;
        const auto dati = leggiFile(cartella ? percorso + QStringLiteral("/TXT.rtf") : percorso, LettoreRtf::kMassimoByte);
        if (dati)
            testo = LettoreRtf::leggi(*dati);
        break;
    }
    case DocumentoInPDF::Tipo::docx: {
        const auto dati = leggiFile(percorso, LettoreDocx::kMassimoPacchetto);
        if (dati)
            testo = LettoreDocx::leggi(*dati);
        break;
    }
    case DocumentoInPDF::Tipo::doc:
        testo = LettoreDoc::leggi(percorso, stop);
        break;
    }
    if (!testo)
        return false;
    riempi(documento, *testo, scala);
    return true;
}

// One page of the laid-out document. Every line belongs to the page where
// its top lies. A block that runs over a page break is drawn line by line
// on each of its pages (and so is any block beside it, as in a table row):
// drawn by the document, clipped, it would also write the text of its lines
// next to the clip. The document draws the rest, between `da` and `a`.
struct Pagina {
    struct Riga {
        QTextLine riga;
        QPointF origine; // of its block
        double cima;
        double fondoBlocco;
    };
    QRectF banda; // the document's lines on this page
    double da = -std::numeric_limits<double>::infinity();
    double a = std::numeric_limits<double>::infinity();
    QList<Riga> righe;

    QRectF disegnata() const
    {
        // Kept off its ends, so that no block beyond them is drawn.
        return QRectF(QPointF(banda.left(), qMax(banda.top(), da) + 0.5), QPointF(banda.right(), qMin(banda.bottom(), a) - 0.5));
    }
    bool aMano(const Riga& r) const { return r.cima < da || r.cima >= a; }

    // No block is left half to the document and half to its lines.
    void separa()
    {
        for (bool mosso = true; mosso;) {
            mosso = false;
            for (const Riga& r : std::as_const(righe)) {
                if (r.cima >= a && r.origine.y() < a) {
                    a = r.origine.y();
                    mosso = true;
                }
                if (r.cima < da && r.fondoBlocco > da) {
                    da = r.fondoBlocco;
                    mosso = true;
                }
            }
        }
    }
};

QList<Pagina> impagina(const QTextDocument& documento, double larghezza, double altezza)
{
    QList<Pagina> pagine(qMax(1, documento.pageCount()));
    const auto paginaDi = [&](double y) {
        return qBound(qsizetype(0), qsizetype(y / altezza), qsizetype(pagine.size() - 1));
    };
    for (QTextBlock b = documento.begin(); b.isValid(); b = b.next()) {
        const QTextLayout* disposizione = b.layout();
        if (!b.isVisible() || !disposizione || disposizione->lineCount() == 0)
            continue;
        const QRectF blocco = documento.documentLayout()->blockBoundingRect(b);
        const auto cima = [&](int i) { return blocco.top() + disposizione->lineAt(i).y(); };
        const qsizetype prima = paginaDi(cima(0));
        const qsizetype ultima = paginaDi(cima(disposizione->lineCount() - 1));
        for (int i = 0; i < disposizione->lineCount(); ++i) {
            const QTextLine riga = disposizione->lineAt(i);
            Pagina& sua = pagine[paginaDi(cima(i))];
            sua.banda |= QRectF(0, cima(i), larghezza, riga.height());
            sua.righe << Pagina::Riga{riga, blocco.topLeft(), cima(i), blocco.bottom()};
        }
        if (prima != ultima) {
            pagine[prima].a = qMin(pagine[prima].a, blocco.top());
            pagine[ultima].da = qMax(pagine[ultima].da, blocco.bottom());
            for (qsizetype p = prima + 1; p < ultima; ++p)
                pagine[p].a = -std::numeric_limits<double>::infinity();
        }
    }
    for (qsizetype i = 0; i < pagine.size(); ++i) {
        if (pagine[i].banda.isEmpty())
            pagine[i].banda = QRectF(0, i * altezza, larghezza, altezza);
        pagine[i].separa();
    }
    return pagine;
}

} // namespace

DocumentoInPDF::Tipo DocumentoInPDF::tipoDocumento(const QString& percorso)
{
    const QString e = QFileInfo(percorso).suffix().toLower();
    if (e == QLatin1String("rtf"))
        return Tipo::rtf;
    if (e == QLatin1String("rtfd"))
        return Tipo::rtfd;
    if (e == QLatin1String("html") || e == QLatin1String("htm"))
        return Tipo::html;
    if (e == QLatin1String("doc"))
        return Tipo::doc;
    if (e == QLatin1String("docx"))
        return Tipo::docx;
    return Tipo::testo;
}

std::optional<QString> DocumentoInPDF::converti(const QString& percorso, const QString& cartella, const Interruzione& stop)
{
    PaginaHtml documento(QFileInfo(percorso).absolutePath());
    QFont carattere = documento.defaultFont();
    carattere.setPointSizeF(12);
    documento.setDefaultFont(carattere);
    // Tab stops every half inch, as word processors set them.
    QTextOption opzioni = documento.defaultTextOption();
    opzioni.setTabStopDistance(36 * pixelLogici());
    documento.setDefaultTextOption(opzioni);
    if (!leggi(documento, percorso, kRisoluzione / 72.0, stop) || stop.richiesta())
        return std::nullopt;

    auto nome = NomeLibero::riserva(cartella, QFileInfo(percorso).completeBaseName(), QStringLiteral("pdf"));
    if (!nome)
        return std::nullopt;
    {
        QPdfWriter pdf(nome->temporaneo());
        pdf.setResolution(kRisoluzione);
        pdf.setCreator(QStringLiteral("Halvora"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(kMargine, kMargine, kMargine, kMargine), QPageLayout::Point));
        // The page is split here, not by QTextDocument::print, which adds margins of its own.
        documento.documentLayout()->setPaintDevice(&pdf);
        documento.setDocumentMargin(0);
        const QSizeF area = pdf.pageLayout().paintRectPixels(pdf.resolution()).size();
        documento.setPageSize(area);
        QPainter pittore;
        if (!pittore.begin(&pdf))
            return std::nullopt;
        const QList<Pagina> pagine = impagina(documento, area.width(), area.height());
        for (qsizetype i = 0; i < pagine.size(); ++i) {
            if (stop.richiesta())
                return std::nullopt;
            if (i > 0 && !pdf.newPage())
                return std::nullopt;
            const Pagina& p = pagine[i];
            pittore.save();
            pittore.translate(0, -i * area.height());
            // In reading order, as the page's text is read back: a broken
            // block ending here, the rest, a broken block starting here.
            const QRectF resto = p.disegnata();
            const auto righe = [&](bool sopra) {
                for (const Pagina::Riga& r : p.righe)
                    if (p.aMano(r) && (r.cima < resto.top()) == sopra)
                        r.riga.draw(&pittore, r.origine);
            };
            righe(true);
            if (resto.height() > 0)
                documento.drawContents(&pittore, resto);
            righe(false);
            pittore.restore();
        }
        if (!pittore.end())
            return std::nullopt;
    }
    if (QFileInfo(nome->temporaneo()).size() == 0)
        return std::nullopt;
    return nome->conferma();
}
