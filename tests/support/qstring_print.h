#pragma once

#include <QString>

#include <ostream>

// Lets failed expectations show texts as readable UTF-8 instead of bytes.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
