// Signs a built bundle, checks one, or prints the public key of a signing key:
//   halvora-firma firma <bundle> <private-key.pem>
//   halvora-firma verifica <bundle> <public-key-hex>
//   halvora-firma chiave <private-key.pem>   (the value of HALVORA_CHIAVE_FIRMA)
#include "FirmaBundle.h"

#include <QFile>
#include <cstdio>

namespace {

QByteArray leggi(const char* percorso)
{
    QFile f(QFile::decodeName(percorso));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int uso()
{
    std::fputs("usage: halvora-firma firma <bundle> <private-key.pem>\n"
               "       halvora-firma verifica <bundle> <public-key-hex>\n"
               "       halvora-firma chiave <private-key.pem>\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    const QByteArray comando = argc > 1 ? argv[1] : "";
    if (comando == "chiave" && argc == 3) {
        const QByteArray pubblica = FirmaBundle::chiavePubblica(leggi(argv[2]));
        if (pubblica.isEmpty()) {
            std::fputs("not an Ed25519 private key in PEM form\n", stderr);
            return 1;
        }
        std::printf("%s\n", pubblica.toHex().constData());
        return 0;
    }
    if (comando == "firma" && argc == 4) {
        if (const auto errore = FirmaBundle::firma(QFile::decodeName(argv[2]), leggi(argv[3]))) {
            std::fprintf(stderr, "%s\n", qPrintable(*errore));
            return 1;
        }
        return 0;
    }
    if (comando == "verifica" && argc == 4) {
        const auto esito = FirmaBundle::verifica(QFile::decodeName(argv[2]), QByteArray::fromHex(argv[3]));
        std::printf("%s\n", qPrintable(FirmaBundle::descrizione(esito)));
        return esito.valida() ? 0 : 1;
    }
    return uso();
}
