// Adding and removing surrounding double quotes or angle brackets.
#pragma once

#include <QString>

// The text with every space and double quote removed from both ends.
QString stringByRemovingQuotes(const QString &text);

// The text trimmed as by stringByRemovingQuotes, then wrapped in one pair of double quotes.
QString stringByAddingQuotes(const QString &text);

// The text with every space, "<" and ">" removed from both ends.
QString stringByRemovingAngleBrackets(const QString &text);

// The text wrapped in "<" and ">" unless it already begins with "<"; nothing is trimmed.
QString stringByAddingAngleBrackets(const QString &text);
