#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct archive_entry;

// What an update package may hold: regular files and folders under plain
// relative names, nothing else. The unpacking helper and its fuzz target
// judge every entry with these rules.
namespace VociZip {

// Bounds of one package: far above a real bundle, far below a full disk.
struct Limiti {
    std::int64_t voci = 20000;
    std::int64_t byte = std::int64_t(1) << 30; // unpacked, all entries together
};

inline constexpr std::size_t kNomeMassimo = 1024; // whole name, bytes
inline constexpr std::size_t kParteMassima = 255; // one component
inline constexpr int kProfonditaMassima = 32;

// An entry as the archive describes it.
struct Voce {
    std::optional<std::string> nome; // none when the archive gave no usable name
    mode_t modo = 0;                 // type and permission bits
    std::int64_t dimensione = 0;     // as declared; the data is counted apart
    bool collegamento = false;       // names a hard or symbolic link target
};

// An entry that may be written: its components, whether it is a folder,
// and the permissions it gets.
struct Accettata {
    std::vector<std::string> parti;
    bool cartella = false;
    mode_t modo = 0;
};

Voce daEntry(archive_entry* e);

// None when the entry must not be written: a link, anything but a regular
// file or a folder, a setuid, setgid or sticky mode, an empty, absolute or
// over-long name, a "." or ".." component, an empty component, a backslash
// or a control character. Folders and files that run get 0755, other
// files 0644.
std::optional<Accettata> controlla(const Voce& v);

// The running totals of one package against its bounds.
class Conteggio {
public:
    explicit Conteggio(Limiti l) : limiti_(l) {}
    // False once there are too many entries.
    bool voce() { return ++voci_ <= limiti_.voci; }
    // False once the data written so far, or declared, passes the bound.
    bool byte(std::int64_t n)
    {
        if (n < 0 || n > limiti_.byte - byte_)
            return false;
        byte_ += n;
        return true;
    }
    std::int64_t totale() const { return byte_; }

private:
    Limiti limiti_;
    std::int64_t voci_ = 0;
    std::int64_t byte_ = 0;
};

} // namespace VociZip
