#pragma once

#include <QString>
#include <optional>
#include <string>

// Who may talk to the service: only the application beside it, over the
// socket pair that application started it with. A peer that fails any check
// gets no answer at all, which its side sees as the end of the connection.
namespace Ascoltatore {

inline constexpr int kFd = 3;
// A path is at most this long; a longer request is not one of ours.
inline constexpr int kMassimoRichiesta = 4096;
// The application writes its request before the service starts, so this
// is generous.
inline constexpr int kAttesaMs = 3000;

// The client's executable: "halvora" in this executable's own folder.
std::string clienteAccanto();
// True when `fd` is an AF_UNIX SOCK_SEQPACKET socket whose peer runs as this
// user, is this process's parent and executes the very file `cliente`
// (same device and inode).
bool accetta(int fd, const std::string& cliente);
// The one request: a path of at most kMassimoRichiesta bytes of UTF-8
// without NUL, arriving within `attesaMs`; none otherwise.
std::optional<QString> leggiRichiesta(int fd, int attesaMs = kAttesaMs);
// The one answer byte: 1 when the bundle is clean, 0 when not.
bool rispondi(int fd, bool pulito);

} // namespace Ascoltatore
