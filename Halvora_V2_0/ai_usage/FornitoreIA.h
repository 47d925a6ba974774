#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <optional>

// The AI provider, in this order.
enum class FornitoreIA { claude, codex };

// From the raw texts "claude" and "codex", exactly; anything else is none.
std::optional<FornitoreIA> fornitoreDaTesto(const QString& testo);
QString testoFornitore(FornitoreIA f); // "claude" / "codex"
QString nomeFornitore(FornitoreIA f);  // "Claude" / "ChatGPT"

// The Claude colour, sRGB (217, 119, 87).
const QColor& coloreClaude();

// The icon of an installed application by its id, or none. Answers are
// cached for the whole run, misses included.
std::optional<QImage> iconaApp(const QString& id);
