// Reads the XML form of a property list from its decoded text.
//
// Done with a streaming XML reader rather than the property-list library: the library looks up
// every key it adds to a dictionary (quadratic in the number of entries, minutes for a large
// template file) and frees what it built recursively (a crash for deep nesting). Here nesting
// past PropertyListLimits::maximumDepth stops the reading before anything recursive goes deeper.
#pragma once

#include "PropertyListValue.h"

#include <QXmlStreamReader>

class XmlPropertyListParser
{
public:
    explicit XmlPropertyListParser(const QString &text);
    Q_DISABLE_COPY_MOVE(XmlPropertyListParser)

    // The first value of the document, inside <plist> or standing alone; what follows it is not
    // read, as the property-list library does not read it either.
    PropertyListParse parse();

private:
    bool readValue(PropertyListValue &value, int depth);
    bool readDictionary(PropertyListValue &dictionary, int depth);
    bool readArray(int depth);
    bool readText(QString &text);
    bool nextElementBoundary();

    QXmlStreamReader mReader;
    bool mTooDeep = false;
};
