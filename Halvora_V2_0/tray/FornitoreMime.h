#pragma once

#include "DropManager.h"

class QMimeData;

// The providers of a Qt drop: one per dropped URL (files and links), or,
// when the drop carries no URL, one for its whole content (text, image,
// other documents). The data is copied at once, because Qt discards it
// when the drop event ends; the providers answer on worker threads.
DropManager::Fornitori fornitoriDaMime(const QMimeData& dati);
