#include "RiconoscimentoTesto.h"

#include "Interruzione.h"
#include "NomeLibero.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

namespace {

// Where the installed data lies: TESSDATA_PREFIX as Tesseract itself
// reads it, else the folder of Debian's packages.
QString cartellaDati()
{
    const QString prefisso = qEnvironmentVariable("TESSDATA_PREFIX");
    if (!prefisso.isEmpty())
        return QDir(prefisso + QStringLiteral("/tessdata")).exists() ? prefisso + QStringLiteral("/tessdata") : prefisso;
    return QStringLiteral("/usr/share/tesseract-ocr/5/tessdata");
}

// Grey, flattened on white, and at a size where body text has the height
// the engine reads best: small pictures are enlarged, huge ones reduced.
QImage preparata(const QImage& sorgente)
{
    constexpr double kLatoMinimo = 1600;
    constexpr double kPixelMassimi = 40e6;
    const double lato = qMax(sorgente.width(), sorgente.height());
    const double pixel = double(sorgente.width()) * sorgente.height();
    double scala = lato < kLatoMinimo ? qMin(3.0, kLatoMinimo / lato) : 1.0;
    if (pixel * scala * scala > kPixelMassimi)
        scala = std::sqrt(kPixelMassimi / pixel);
    const QSize dimensione(qMax(1, qRound(sorgente.width() * scala)), qMax(1, qRound(sorgente.height() * scala)));
    QImage tela(dimensione, QImage::Format_RGB32);
    tela.fill(Qt::white);
    QPainter p(&tela);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(QPoint(0, 0), dimensione), sorgente);
    p.end();
    return tela.convertToFormat(QImage::Format_Grayscale8);
}

bool annulla(void* stop, int) { return static_cast<const Interruzione*>(stop)->richiesta(); }

} // namespace

QStringList RiconoscimentoTesto::lingueRiconoscimento(const QStringList& preferite)
{
    if (preferite.isEmpty())
        return {QStringLiteral("it-IT"), QStringLiteral("en-US")};
    return preferite.mid(0, 2) << QStringLiteral("en-US");
}

QStringList RiconoscimentoTesto::lingueRiconoscimento()
{
    // The default locale follows the interface's language, chosen or the system's.
    return lingueRiconoscimento(QLocale().uiLanguages());
}

QStringList RiconoscimentoTesto::lingueTesseract(const QStringList& lingue, const QStringList& installate)
{
    QStringList r;
    for (const QString& l : lingue) {
        const QLocale::Language lingua = QLocale(l).language();
        if (lingua == QLocale::C || lingua == QLocale::AnyLanguage)
            continue;
        const QString codice = QLocale::languageToCode(lingua, QLocale::ISO639Part2);
        if (installate.contains(codice) && !r.contains(codice))
            r << codice;
    }
    return r;
}

QStringList RiconoscimentoTesto::lingueInstallate()
{
    QStringList r;
    for (const QString& f : QDir(cartellaDati()).entryList({QStringLiteral("*.traineddata")}, QDir::Files, QDir::Name)) {
        const QString nome = f.chopped(int(qstrlen(".traineddata")));
        if (nome != QLatin1String("osd"))
            r << nome;
    }
    return r;
}

std::optional<QString> RiconoscimentoTesto::riconosciTesto(const QImage& immagine, const Interruzione& stop)
{
    // Below a few pixels there is nothing to read, and the engine refuses it anyway.
    if (immagine.width() < 8 || immagine.height() < 8 || stop.richiesta())
        return std::nullopt;
    const QStringList lingue = lingueTesseract(lingueRiconoscimento(), lingueInstallate());
    if (lingue.isEmpty())
        return std::nullopt;
    const QImage grigia = preparata(immagine);

    tesseract::TessBaseAPI api;
    // Its diagnostics ("Estimating resolution…") say nothing to our users.
    api.SetVariable("debug_file", "/dev/null");
    if (api.Init(QFile::encodeName(cartellaDati()).constData(), lingue.join(QLatin1Char('+')).toUtf8().constData(),
                 tesseract::OEM_DEFAULT)
        != 0)
        return std::nullopt;
    api.SetPageSegMode(tesseract::PSM_AUTO);
    api.SetImage(grigia.constBits(), grigia.width(), grigia.height(), 1, int(grigia.bytesPerLine()));
    api.SetSourceResolution(300);
    tesseract::ETEXT_DESC monitor;
    monitor.cancel = annulla;
    monitor.cancel_this = const_cast<Interruzione*>(&stop);
    if (api.Recognize(&monitor) != 0 || stop.richiesta())
        return std::nullopt;

    QStringList righe;
    std::unique_ptr<tesseract::ResultIterator> it(api.GetIterator());
    if (it) {
        do {
            if (it->Confidence(tesseract::RIL_TEXTLINE) < kConfidenzaMinima)
                continue;
            const std::unique_ptr<char[]> testo(it->GetUTF8Text(tesseract::RIL_TEXTLINE));
            const QString riga = testo ? QString::fromUtf8(testo.get()).trimmed() : QString();
            if (std::any_of(riga.cbegin(), riga.cend(), [](QChar c) { return c.isLetterOrNumber(); }))
                righe << riga;
        } while (it->Next(tesseract::RIL_TEXTLINE));
    }
    api.End();
    if (righe.isEmpty())
        return std::nullopt;
    return righe.join(QLatin1Char('\n'));
}

std::optional<QString> RiconoscimentoTesto::salvaTesto(const QString& testo, const QString& stem, const QString& cartella)
{
    auto nome = NomeLibero::riserva(cartella, stem + QStringLiteral("-testo"), QStringLiteral("txt"));
    if (!nome || !nome->scrivi(testo.toUtf8()))
        return std::nullopt;
    return nome->conferma();
}
