#include "LettoreImmagine.h"

#include <QFile>
#include <QImageReader>
#include <QtMath>

#include <limits>

#include <libheif/heif.h>
#include <memory>

namespace {

template <typename T, void (*libera)(T*)>
struct Liberatore {
    void operator()(T* p) const { libera(p); }
};
using ContestoHeif = std::unique_ptr<heif_context, Liberatore<heif_context, heif_context_free>>;
using ManigliaHeif = std::unique_ptr<heif_image_handle, Liberatore<const heif_image_handle, heif_image_handle_release>>;
using ImmagineHeif = std::unique_ptr<heif_image, Liberatore<const heif_image, heif_image_release>>;

constexpr qint64 kBytePerPixel = 4;

// MemAvailable of /proc/meminfo, in bytes; unknown counts as plenty.
qint64 memoriaDisponibile()
{
    QFile f(QStringLiteral("/proc/meminfo"));
    if (!f.open(QIODevice::ReadOnly))
        return std::numeric_limits<qint64>::max();
    for (QByteArray riga = f.readLine(); !riga.isEmpty(); riga = f.readLine()) {
        if (riga.startsWith("MemAvailable:")) {
            bool ok = false;
            const qint64 kb = riga.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? kb * 1024 : std::numeric_limits<qint64>::max();
        }
    }
    return std::numeric_limits<qint64>::max();
}

bool eHeif(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray testa = f.read(64);
    const heif_filetype_result r =
        heif_check_filetype(reinterpret_cast<const uint8_t*>(testa.constData()), int(testa.size()));
    return r == heif_filetype_yes_supported;
}

// libheif decodes at full size only: the picture must fit the limit whatever is asked.
std::optional<QImage> leggiHeif(const QString& percorso)
{
    ContestoHeif ctx(heif_context_alloc());
    if (!ctx || heif_context_read_from_file(ctx.get(), QFile::encodeName(percorso).constData(), nullptr).code)
        return std::nullopt;
    heif_image_handle* m = nullptr;
    if (heif_context_get_primary_image_handle(ctx.get(), &m).code)
        return std::nullopt;
    ManigliaHeif maniglia(m);
    const qint64 w = heif_image_handle_get_width(m), h = heif_image_handle_get_height(m);
    // Twice: libheif's own planes, then the copy.
    if (w <= 0 || h <= 0 || !LettoreImmagine::entraInMemoria(2 * w * h))
        return std::nullopt;
    heif_image* i = nullptr;
    if (heif_decode_image(m, &i, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr).code)
        return std::nullopt;
    ImmagineHeif decodificata(i);
    int passo = 0;
    const uint8_t* dati = heif_image_get_plane_readonly(i, heif_channel_interleaved, &passo);
    const int larga = heif_image_get_width(i, heif_channel_interleaved);
    const int alta = heif_image_get_height(i, heif_channel_interleaved);
    if (!dati || larga <= 0 || alta <= 0)
        return std::nullopt;
    // Copied out: the plane goes with the libheif image.
    QImage img = QImage(dati, larga, alta, passo, QImage::Format_RGBA8888).copy();
    if (img.isNull())
        return std::nullopt;
    return img;
}

// `richiesta(dimensione)` says the size to decode at, from the size the file declares.
template <typename Richiesta>
std::optional<LettoreImmagine::Immagine> leggiCon(const QString& percorso, Richiesta richiesta)
{
    if (eHeif(percorso)) {
        auto img = leggiHeif(percorso);
        if (!img)
            return std::nullopt;
        const QSize voluta = richiesta(img->size());
        if (voluta.isEmpty())
            return std::nullopt;
        if (voluta != img->size())
            *img = img->scaled(voluta, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return LettoreImmagine::Immagine{*img, QByteArrayLiteral("heif")};
    }
    // Qt's allocation limit holds for the whole process: raised once, from
    // its 256 MiB, to ours.
    static const bool limite = [] {
        QImageReader::setAllocationLimit(int(LettoreImmagine::kByteMassimi >> 20));
        return true;
    }();
    (void)limite;
    QImageReader lettore(percorso);
    lettore.setAutoTransform(false);
    const QSize propria = lettore.size();
    // Formats that cannot tell their size first are decoded as they come, within Qt's own limit.
    if (propria.isValid()) {
        const QSize voluta = richiesta(propria);
        if (voluta.isEmpty())
            return std::nullopt;
        // What decoding holds: a JPEG decodes scaled by eighths to at most
        // twice the size asked for; other formats decode whole, then scale.
        const qint64 tutti = qint64(propria.width()) * propria.height();
        const qint64 voluti = qint64(voluta.width()) * voluta.height();
        qint64 tenuti = tutti;
        if (voluta != propria) {
            lettore.setScaledSize(voluta);
            tenuti = lettore.format() == "jpeg" ? qMin(tutti, 4 * voluti) + voluti : tutti + voluti;
        }
        if (!LettoreImmagine::entraInMemoria(tenuti))
            return std::nullopt;
    }
    const QByteArray formato = lettore.format();
    QImage img = lettore.read();
    if (img.isNull() || img.width() <= 0 || img.height() <= 0)
        return std::nullopt;
    return LettoreImmagine::Immagine{img, formato};
}

} // namespace

bool LettoreImmagine::entraInMemoria(qint64 pixel)
{
    const qint64 byte = pixel * kBytePerPixel;
    return pixel > 0 && byte <= kByteMassimi && byte <= memoriaDisponibile() / 2;
}

QSize LettoreImmagine::dimensione(const QString& percorso)
{
    QImageReader lettore(percorso);
    return lettore.size();
}

std::optional<LettoreImmagine::Immagine> LettoreImmagine::leggi(const QString& percorso)
{
    return leggiCon(percorso, [](QSize propria) { return propria; });
}

std::optional<LettoreImmagine::Immagine> LettoreImmagine::leggiEntro(const QString& percorso, qint64 pixel)
{
    return leggiCon(percorso, [pixel](QSize propria) {
        const qint64 tutti = qint64(propria.width()) * propria.height();
        if (tutti <= pixel)
            return propria;
        const double f = qSqrt(double(pixel) / double(tutti));
        return QSize(qMax(1, int(propria.width() * f)), qMax(1, int(propria.height() * f)));
    });
}

std::optional<LettoreImmagine::Immagine> LettoreImmagine::leggiA(const QString& percorso, QSize dimensione)
{
    return leggiCon(percorso, [dimensione](QSize) { return dimensione; });
}
