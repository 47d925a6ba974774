#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The parsing code of the usage readers builds without the GUI module (it
// is fuzzed on its own), so the two GUI helpers below come only with it.
#ifdef QT_GUI_LIB
#include <QColor>
#include <QImage>
#include <functional>
#endif

// The AI provider, in this order.
enum class FornitoreIA { claude, codex };

inline constexpr FornitoreIA kFornitoriIA[] = {FornitoreIA::claude, FornitoreIA::codex};

// From the raw texts "claude" and "codex", exactly; anything else is none.
std::optional<FornitoreIA> fornitoreDaTesto(const QString& testo);
QString testoFornitore(FornitoreIA f); // "claude" / "codex"
QString nomeFornitore(FornitoreIA f);  // "Claude" / "ChatGPT"

// The provider's own application id ("com.anthropic.claudefordesktop",
// "com.openai.codex").
QString bundleID(FornitoreIA f);
// Every id the provider's desktop application goes by: its own id first,
// then the desktop-file ids it is installed under on Linux.
QStringList idApplicazione(FornitoreIA f);
// The first provider whose application goes by exactly this id; none for
// an absent, empty or unknown id.
std::optional<FornitoreIA> fornitoreDaBundle(const std::optional<QString>& id);

#ifdef QT_GUI_LIB
// The Claude colour, sRGB (217, 119, 87).
const QColor& coloreClaude();

// The icon of an installed application by its id, or none. Answers are
// cached for the whole run, misses included.
std::optional<QImage> iconaApp(const QString& id);
// The icon of the provider's desktop application under the first of its
// ids that `icona` knows, or none.
using IconaPerId = std::function<std::optional<QImage>(const QString&)>;
std::optional<QImage> iconaFornitore(FornitoreIA f, const IconaPerId& icona = &iconaApp);
#endif
