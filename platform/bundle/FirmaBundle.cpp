#include "FirmaBundle.h"

#include "AlberoBundle.h"
#include "InfoBundle.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMap>
#include <fcntl.h>
#include <memory>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <unistd.h>

namespace FirmaBundle {

namespace {

const QByteArray kIntestazione = QByteArrayLiteral("halvora-manifesto 1\n");
constexpr qsizetype kMassimoManifesto = 32 * 1024 * 1024;
constexpr int kByteFirma = 64;
constexpr int kByteChiave = 32;

struct Chiusura {
    void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
    void operator()(BIO* b) const { BIO_free(b); }
};
template <typename T>
using Possesso = std::unique_ptr<T, Chiusura>;

// Closes a descriptor when it goes out of scope.
struct Descrittore {
    int fd = -1;
    explicit Descrittore(int f) : fd(f) {}
    ~Descrittore()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descrittore(const Descrittore&) = delete;
    Descrittore& operator=(const Descrittore&) = delete;
};

const unsigned char* byte(const QByteArray& b)
{
    return reinterpret_cast<const unsigned char*>(b.constData());
}

// A link may only climb out of its own folders and then name entries: it
// cannot leave the bundle, and no "." or ".." after a name can make the
// kernel's resolution differ from the text.
bool collegamentoInterno(const QByteArray& meta, int profondita)
{
    if (meta.isEmpty() || meta.startsWith('/'))
        return false;
    int salite = 0;
    bool nomi = false;
    for (const QByteArray& parte : meta.split('/')) {
        if (parte == "..") {
            if (nomi || ++salite > profondita)
                return false;
        } else if (parte.isEmpty() || parte == ".") {
            return false;
        } else {
            nomi = true;
        }
    }
    return nomi;
}

std::optional<QByteArray> sha256(int cartella, const AlberoBundle::Voce& v)
{
    Descrittore fd(::openat(cartella, v.nome.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.fd < 0 || ::fstat(fd.fd, &st) != 0 || st.st_dev != v.info.st_dev || st.st_ino != v.info.st_ino)
        return std::nullopt;
    QCryptographicHash h(QCryptographicHash::Sha256);
    char buf[65536];
    ssize_t n = 0;
    qint64 letti = 0;
    while ((n = ::read(fd.fd, buf, sizeof buf)) > 0) {
        h.addData(QByteArrayView(buf, n));
        letti += n;
    }
    if (n < 0 || letti != st.st_size)
        return std::nullopt;
    return h.result().toHex();
}

// One line per entry, in the walk's order: type, mode, size, SHA-256 of the
// content (of the target for a link) and the percent-encoded path.
std::optional<QByteArray> calcolaManifesto(int cartella, Verifica& errore)
{
    QByteArray testo = kIntestazione;
    const bool finito = AlberoBundle::percorri(cartella, [&](const AlberoBundle::Voce& v) {
        const QByteArray percorso = QByteArray::fromStdString(v.percorso);
        if (v.profondita == 0 && v.nome == kCartellaFirma)
            return AlberoBundle::Passo::salta;
        const mode_t modo = v.info.st_mode;
        char tipo = 0;
        qint64 dimensione = 0;
        QByteArray impronta = "-";
        if (S_ISDIR(modo)) {
            tipo = 'd';
        } else if (S_ISREG(modo) && !(modo & (S_ISUID | S_ISGID))) {
            tipo = 'f';
            const auto h = sha256(v.cartella, v);
            if (!h) {
                errore = {Esito::illeggibile, QFile::decodeName(percorso)};
                return AlberoBundle::Passo::ferma;
            }
            impronta = *h;
            dimensione = v.info.st_size;
        } else if (S_ISLNK(modo)) {
            tipo = 'l';
            char meta[4096];
            const ssize_t n = ::readlinkat(v.cartella, v.nome.c_str(), meta, sizeof meta);
            if (n <= 0 || n == sizeof meta || !collegamentoInterno(QByteArray(meta, n), v.profondita)) {
                errore = {Esito::voceVietata, QFile::decodeName(percorso)};
                return AlberoBundle::Passo::ferma;
            }
            dimensione = n;
            impronta = QCryptographicHash::hash(QByteArrayView(meta, n), QCryptographicHash::Sha256).toHex();
        } else {
            errore = {Esito::voceVietata, QFile::decodeName(percorso)};
            return AlberoBundle::Passo::ferma;
        }
        testo += QByteArray(1, tipo) + ' ' + QByteArray::number(modo & 07777, 8).rightJustified(4, '0') + ' ' +
                 QByteArray::number(dimensione) + ' ' + impronta + ' ' + percorso.toPercentEncoding("/") + '\n';
        return AlberoBundle::Passo::continua;
    });
    if (!finito) {
        if (errore.esito == Esito::valido)
            errore = {Esito::illeggibile, {}};
        return std::nullopt;
    }
    return testo;
}

// Path of a manifest line (its last field) to the line.
QMap<QByteArray, QByteArray> righe(const QByteArray& manifesto)
{
    QMap<QByteArray, QByteArray> m;
    for (const QByteArray& riga : manifesto.mid(kIntestazione.size()).split('\n')) {
        const qsizetype spazio = riga.lastIndexOf(' ');
        if (spazio > 0)
            m.insert(riga.mid(spazio + 1), riga);
    }
    return m;
}

// Which entry differs first, in path order, and how.
Verifica differenza(const QByteArray& scritto, const QByteArray& trovato)
{
    const auto attese = righe(scritto);
    const auto presenti = righe(trovato);
    auto a = attese.cbegin();
    auto p = presenti.cbegin();
    auto nome = [](const QByteArray& chiave) { return QFile::decodeName(QByteArray::fromPercentEncoding(chiave)); };
    while (a != attese.cend() || p != presenti.cend()) {
        if (p == presenti.cend() || (a != attese.cend() && a.key() < p.key()))
            return {Esito::voceMancante, nome(a.key())};
        if (a == attese.cend() || p.key() < a.key())
            return {Esito::voceInPiu, nome(p.key())};
        if (a.value() != p.value())
            return {Esito::voceDiversa, nome(a.key())};
        ++a;
        ++p;
    }
    return {Esito::voceDiversa, {}}; // same lines, different text: not a manifest we wrote
}

bool verificaEd25519(const QByteArray& chiave, const QByteArray& firma, const QByteArray& dati)
{
    Possesso<EVP_PKEY> k(EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, byte(chiave), chiave.size()));
    Possesso<EVP_MD_CTX> c(EVP_MD_CTX_new());
    return k && c && EVP_DigestVerifyInit(c.get(), nullptr, nullptr, nullptr, k.get()) == 1 &&
           EVP_DigestVerify(c.get(), byte(firma), firma.size(), byte(dati), dati.size()) == 1;
}

Possesso<EVP_PKEY> chiavePrivata(const QByteArray& pem)
{
    Possesso<BIO> bio(BIO_new_mem_buf(pem.constData(), static_cast<int>(pem.size())));
    Possesso<EVP_PKEY> k(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    if (!k || EVP_PKEY_get_id(k.get()) != EVP_PKEY_ED25519)
        return nullptr;
    return k;
}

// Info.json must name this application and an executable file of the bundle.
Verifica controllaInfo(int cartella, const QByteArray& manifesto)
{
    const auto info = InfoBundle::daCartella(cartella);
    if (!info)
        return {Esito::infoNonValida, QString::fromLatin1(InfoBundle::kNomeFile)};
    if (info->identificatore != identificatore())
        return {Esito::identificatoreDiverso, QString::fromLatin1(InfoBundle::kNomeFile)};
    const QByteArray riga = righe(manifesto).value(QFile::encodeName(info->eseguibile).toPercentEncoding("/"));
    const bool eseguibile = riga.startsWith("f ") && (riga.mid(2, 4).toInt(nullptr, 8) & 0111);
    if (!eseguibile)
        return {Esito::infoNonValida, info->eseguibile};
    return {Esito::valido, {}};
}

bool scriviFile(int cartella, const char* nome, const QByteArray& dati)
{
    const QByteArray provvisorio = QByteArray(nome) + ".nuovo";
    ::unlinkat(cartella, provvisorio.constData(), 0);
    Descrittore fd(::openat(cartella, provvisorio.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (fd.fd < 0 || ::write(fd.fd, dati.constData(), dati.size()) != dati.size() || ::fsync(fd.fd) != 0)
        return false;
    return ::renameat(cartella, provvisorio.constData(), cartella, nome) == 0;
}

} // namespace

QString identificatore()
{
    return QStringLiteral(HALVORA_IDENTIFICATORE);
}

QByteArray chiaveDiRilascio()
{
    return QByteArray::fromHex(HALVORA_CHIAVE_FIRMA);
}

Verifica verifica(const QString& bundle, const QByteArray& chiavePubblica)
{
    Descrittore fd(AlberoBundle::apriCartella(QFile::encodeName(bundle).toStdString()));
    if (fd.fd < 0)
        return {Esito::illeggibile, {}};
    return verifica(fd.fd, chiavePubblica);
}

Verifica verifica(int cartella, const QByteArray& chiavePubblica)
{
    if (chiavePubblica.size() != kByteChiave)
        return {Esito::nessunaChiave, {}};
    // The signature folder holds the manifest and its signature, and nothing else.
    Descrittore firme(AlberoBundle::apriCartellaIn(cartella, kCartellaFirma));
    if (firme.fd < 0)
        return {Esito::senzaFirma, QString::fromLatin1(kCartellaFirma)};
    int altre = 0;
    AlberoBundle::percorri(firme.fd, [&](const AlberoBundle::Voce& v) {
        if (v.nome != kManifesto && v.nome != kFirma)
            ++altre;
        return AlberoBundle::Passo::salta;
    });
    const auto scritto = AlberoBundle::leggiFile(firme.fd, kManifesto, kMassimoManifesto);
    const auto firma = AlberoBundle::leggiFile(firme.fd, kFirma, kByteFirma);
    if (altre > 0 || !scritto || !firma || firma->size() != kByteFirma || !scritto->startsWith(kIntestazione))
        return {Esito::senzaFirma, QString::fromLatin1(kCartellaFirma)};
    if (!verificaEd25519(chiavePubblica, *firma, *scritto))
        return {Esito::firmaNonValida, {}};

    Verifica errore{Esito::valido, {}};
    const auto trovato = calcolaManifesto(cartella, errore);
    if (!trovato)
        return errore;
    if (*trovato != *scritto)
        return differenza(*scritto, *trovato);
    return controllaInfo(cartella, *trovato);
}

std::optional<QString> firma(const QString& bundle, const QByteArray& chiavePrivataPem)
{
    const auto chiave = chiavePrivata(chiavePrivataPem);
    if (!chiave)
        return QStringLiteral("the key is not an Ed25519 private key in PEM form");
    Descrittore fd(AlberoBundle::apriCartella(QFile::encodeName(bundle).toStdString()));
    if (fd.fd < 0)
        return QStringLiteral("%1 is not a folder").arg(bundle);
    Verifica errore{Esito::valido, {}};
    const auto manifesto = calcolaManifesto(fd.fd, errore);
    if (!manifesto)
        return descrizione(errore);

    QByteArray firmaFatta(kByteFirma, '\0');
    size_t lunghezza = firmaFatta.size();
    Possesso<EVP_MD_CTX> c(EVP_MD_CTX_new());
    if (!c || EVP_DigestSignInit(c.get(), nullptr, nullptr, nullptr, chiave.get()) != 1 ||
        EVP_DigestSign(c.get(), reinterpret_cast<unsigned char*>(firmaFatta.data()), &lunghezza, byte(*manifesto),
                       manifesto->size()) != 1 ||
        lunghezza != static_cast<size_t>(kByteFirma))
        return QStringLiteral("signing failed");

    if (::mkdirat(fd.fd, kCartellaFirma, 0755) != 0 && errno != EEXIST)
        return QStringLiteral("cannot make the signature folder");
    Descrittore firme(AlberoBundle::apriCartellaIn(fd.fd, kCartellaFirma));
    if (firme.fd < 0 || !scriviFile(firme.fd, kManifesto, *manifesto) || !scriviFile(firme.fd, kFirma, firmaFatta))
        return QStringLiteral("cannot write the signature folder");
    return std::nullopt;
}

QByteArray chiavePubblica(const QByteArray& chiavePrivataPem)
{
    const auto chiave = chiavePrivata(chiavePrivataPem);
    QByteArray pubblica(kByteChiave, '\0');
    size_t lunghezza = pubblica.size();
    if (!chiave ||
        EVP_PKEY_get_raw_public_key(chiave.get(), reinterpret_cast<unsigned char*>(pubblica.data()), &lunghezza) != 1 ||
        lunghezza != static_cast<size_t>(kByteChiave))
        return {};
    return pubblica;
}

QString descrizione(const Verifica& v)
{
    const char* testo = "";
    switch (v.esito) {
    case Esito::valido: testo = "valid"; break;
    case Esito::nessunaChiave: testo = "no trusted key"; break;
    case Esito::illeggibile: testo = "unreadable"; break;
    case Esito::senzaFirma: testo = "not signed"; break;
    case Esito::firmaNonValida: testo = "signature not made by the trusted key"; break;
    case Esito::voceDiversa: testo = "entry differs from the manifest"; break;
    case Esito::voceMancante: testo = "entry missing"; break;
    case Esito::voceInPiu: testo = "entry not in the manifest"; break;
    case Esito::voceVietata: testo = "link leading outside, or a device, FIFO, socket or setuid file"; break;
    case Esito::infoNonValida: testo = "Info.json malformed or naming no executable of the bundle"; break;
    case Esito::identificatoreDiverso: testo = "Info.json names another application"; break;
    }
    return v.voce.isEmpty() ? QString::fromLatin1(testo) : QStringLiteral("%1: %2").arg(v.voce, QLatin1String(testo));
}

} // namespace FirmaBundle
