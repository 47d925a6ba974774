#pragma once

#include <QStringList>

// Every entry below `radice`, sorted: path from `radice`, type and permission
// bits, content hash (or link target) and whether it carries the download
// mark. Two trees are alike when their lists are equal.
QStringList alberoProva(const QString& radice);
