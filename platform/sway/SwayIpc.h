#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QString>

#include <cstdint>
#include <optional>

// sway's IPC ($SWAYSOCK): messages of a magic string, a payload length and
// a type, both 32-bit in the machine's order, then a JSON payload.
namespace SwayIpc {

enum Tipo : uint32_t {
    comando = 0,
    iscrizione = 2,
    albero = 4,
    configurazione = 9,
    // Events have the high bit set.
    eventoSpazio = 0x80000000,
    eventoFinestra = 0x80000003,
};

// The socket of the running sway; empty outside a sway session.
QString socket();

QByteArray messaggio(uint32_t tipo, const QByteArray& corpo = {});
// Takes one whole message off the front of `buffer`: its type and payload;
// none while the message is incomplete.
std::optional<std::pair<uint32_t, QByteArray>> estrai(QByteArray& buffer);

// One request and its reply on a connection of its own, waiting up to `ms`
// in all: for worker threads only.
std::optional<QJsonDocument> chiedi(const QString& socket, uint32_t tipo, const QByteArray& corpo, int ms = 2000);

} // namespace SwayIpc
